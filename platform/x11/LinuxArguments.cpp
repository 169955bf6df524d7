#include "platform/x11/LinuxArguments.h"

#include <cstdint>
#include <cstring>

namespace {

// The white space that the program's splitter and trimmer act on.
bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\r' || c == '\f';
}

int digitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

bool isWindowIdOption(const char* argument) {
    return std::strcmp(argument, "-window-id") == 0 || std::strcmp(argument, "--window-id") == 0;
}

} // namespace

std::string joinArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; i++) {
        std::string argument;
        bool needsQuotes = argv[i][0] == '\0';
        for (const char* c = argv[i]; *c; c++) {
            if (*c == '"') {
                continue;
            }
            needsQuotes = needsQuotes || isWhiteSpace(*c);
            argument += *c;
        }
        if (i > 1) {
            line += ' ';
        }
        line += needsQuotes ? '"' + argument + '"' : argument;
    }
    return line;
}

unsigned long parseWindowId(const char* text) {
    if (!text) {
        return 0;
    }
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0') {
        return 0;
    }
    uint64_t value = 0;
    for (const char* c = text; *c; c++) {
        const int digit = digitValue(*c, base);
        if (digit < 0) {
            return 0;
        }
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > UINT32_MAX) {
            return 0;
        }
    }
    return static_cast<unsigned long>(value);
}

TargetWindowChoice chooseTargetWindow(int argc, const char* const* argv, const char* environment) {
    TargetWindowChoice choice{0, 0};
    for (int i = 1; i < argc; i++) {
        if (isWindowIdOption(argv[i])) {
            choice.requested = 1;
            choice.window = i + 1 < argc ? parseWindowId(argv[i + 1]) : 0;
        }
    }
    if (!choice.requested && environment && environment[0] != '\0') {
        choice.requested = 1;
        choice.window = parseWindowId(environment);
    }
    return choice;
}
