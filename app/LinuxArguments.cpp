#include "app/LinuxArguments.h"

#include "app/LaunchDecision.h"

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

// The option's name without its one or two leading hyphens; null for an argument that is none.
const char* optionName(const char* argument) {
    if (argument[0] != '-') {
        return nullptr;
    }
    return argument[1] == '-' ? argument + 2 : argument + 1;
}

bool isOption(const char* argument, const char* name) {
    const char* given = optionName(argument);
    return given && std::strcmp(given, name) == 0;
}

bool isWindowIdOption(const char* argument) {
    return isOption(argument, "window-id");
}

// The options that take the next argument as their value, whatever it holds.
struct ValueOption {
    const char* name;
    const char* value; // what the value is, for the message when it is missing
};
const ValueOption VALUE_OPTIONS[] = {
    {"delay", "a number of microseconds"},
    {"window-id", "a window id"},
    {"visual", "a visual"},
};

const ValueOption* findValueOption(const char* argument) {
    for (const ValueOption& option : VALUE_OPTIONS) {
        if (isOption(argument, option.name)) {
            return &option;
        }
    }
    return nullptr;
}

// The screensaver switches keep their meaning when written with a hyphen, as the command line's
// own rules read them, and so does -s, which Windows screensaver hosts write for "run".
bool isProgramSwitch(const char* argument) {
    return decideLaunch({argument}).noRun || std::strcmp(argument, "-s") == 0 ||
           std::strcmp(argument, "-S") == 0;
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
    TargetWindowChoice choice{0, 0, nullptr, nullptr};
    for (int i = 1; i < argc; i++) {
        if (isWindowIdOption(argv[i])) {
            choice.requested = 1;
            choice.source = argv[i];
            choice.text = i + 1 < argc ? argv[i + 1] : nullptr;
            choice.window = parseWindowId(choice.text);
        }
    }
    if (!choice.requested && environment && environment[0] != '\0') {
        choice.requested = 1;
        choice.source = "XSCREENSAVER_WINDOW";
        choice.text = environment;
        choice.window = parseWindowId(environment);
    }
    return choice;
}

long parseDelay(const char* text) {
    if (!text || *text == '\0') {
        return -1;
    }
    long value = 0;
    for (const char* c = text; *c; c++) {
        const int digit = digitValue(*c, 10);
        if (digit < 0) {
            return -1;
        }
        // Saturating keeps any number of digits from overflowing.
        value = value * 10 + digit;
        if (value > LINUX_MAXIMUM_DELAY_MICROSECONDS) {
            value = LINUX_MAXIMUM_DELAY_MICROSECONDS + 1;
        }
    }
    return value > LINUX_MAXIMUM_DELAY_MICROSECONDS ? LINUX_MAXIMUM_DELAY_MICROSECONDS : value;
}

LinuxOptions readLinuxOptions(int argc, const char* const* argv, const char* environment) {
    LinuxOptions options{};
    options.target = chooseTargetWindow(argc, argv, environment);
    options.delayMicroseconds = LINUX_DEFAULT_DELAY_MICROSECONDS;
    for (int i = 1; i < argc && options.refusal.empty(); i++) {
        const char* argument = argv[i];
        if (argument[0] != '-' || isProgramSwitch(argument)) {
            continue;
        }
        const ValueOption* withValue = findValueOption(argument);
        if (withValue && i + 1 == argc) {
            options.refusal = std::string("option '") + argument + "' needs " + withValue->value;
        } else if (withValue) {
            const long delay = isOption(argument, "delay") ? parseDelay(argv[i + 1]) : -1;
            if (delay >= 0) {
                options.delayMicroseconds = delay;
            }
            i++;
        } else if (isOption(argument, "fps")) {
            options.showFrameRate = 1;
        } else if (isOption(argument, "window")) {
            options.windowed = 1;
        } else if (isOption(argument, "help")) {
            options.help = 1;
        } else if (isOption(argument, "x11")) {
            options.backend = LINUX_BACKEND_X11;
        } else if (isOption(argument, "wayland")) {
            options.backend = LINUX_BACKEND_WAYLAND;
        } else if (!isOption(argument, "root") && !isOption(argument, "install")) {
            options.refusal = std::string("unknown option '") + argument + "'";
        }
    }
    return options;
}

const char LINUX_USAGE[] =
    "Usage: quellmoor [OPTION]...\n"
    "Flies a camera over an endless, lit, textured landscape; any key, mouse button or mouse\n"
    "movement ends it. Without arguments it shows its about box. It runs on Wayland when\n"
    "WAYLAND_DISPLAY names a compositor that answers and no X window is given to draw into,\n"
    "otherwise on X11.\n"
    "\n"
    "  -root             full screen at 640x480 (or the window in XSCREENSAVER_WINDOW);\n"
    "                    on Wayland, full screen on every monitor at its own size\n"
    "  -window           a 640x480 window, no change of the display mode\n"
    "  -window-id ID     draw into the window ID (decimal or 0x hex) at its size\n"
    "  -delay US         pause US microseconds after every frame, 0 to 1000000\n"
    "                    (default 30000)\n"
    "  -fps              show the frame rate in the lower left corner\n"
    "  -visual, -install accepted for XScreenSaver and ignored\n"
    "  --x11             run on X11 (DISPLAY) even where Wayland is there\n"
    "  --wayland         run on Wayland (WAYLAND_DISPLAY), or fail\n"
    "  -help             show this text\n"
    "\n"
    "Options may start with one hyphen or two; any other argument starting with a hyphen is\n"
    "refused. /s or -s runs; /c or -c shows the about box; /p, /a and /l (or -p, -a, -l) end at\n"
    "once. The two pictures quellmoorMap.tga and quellmoorTex.tga are read from the\n"
    "working directory, else from the installed data folder.\n";
