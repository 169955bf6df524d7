#include "CommandLine.h"

#include <algorithm>

namespace {

const char WHITE_SPACE[] = " \n\t\v\r\f";

} // namespace

void split(std::vector<std::string>& tokens, const std::string& input, std::string delimiters) {
    std::string current;
    unsigned quotes = 0;
    for (char c : input) {
        if (c == '"') {
            quotes++;
        } else if (quotes % 2 == 1) {
            current += c;
        } else if (delimiters.find(c) != std::string::npos) {
            tokens.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        tokens.push_back(current);
    }
}

void trimEach(std::vector<std::string>& tokens) {
    for (std::string& token : tokens) {
        std::string::size_type first = token.find_first_not_of(WHITE_SPACE);
        if (first == std::string::npos) {
            token.clear();
        } else {
            token = token.substr(first, token.find_last_not_of(WHITE_SPACE) - first + 1);
        }
    }
}

void removeEmpty(std::vector<std::string>& tokens) {
    tokens.erase(std::remove_if(tokens.begin(), tokens.end(),
                                [](const std::string& token) { return token.empty(); }),
                 tokens.end());
}

std::string toLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 0x20);
        }
    }
    return text;
}
