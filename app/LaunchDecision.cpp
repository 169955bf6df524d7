#include "LaunchDecision.h"

#include "CommandLine.h"

namespace {

struct Switch {
    char text[2];
    int showAbout;
};

const Switch SWITCHES[] = {
    {{'\\', 'p'}, 0}, {{'\\', 'l'}, 0}, {{'\\', 'c'}, 1}, {{'\\', 'a'}, 0},
    {{'-', 'p'}, 0},  {{'-', 'l'}, 0},  {{'-', 'c'}, 1},  {{'-', 'a'}, 0},
    {{'/', 'p'}, 0},  {{'/', 'l'}, 0},  {{'/', 'c'}, 1},  {{'/', 'a'}, 0},
};

} // namespace

std::vector<std::string> commandLineTokens(const char* commandLine) {
    std::vector<std::string> tokens;
    if (commandLine) {
        split(tokens, commandLine, " \t\n");
        trimEach(tokens);
        removeEmpty(tokens);
    }
    return tokens;
}

LaunchDecision decideLaunch(const std::vector<std::string>& tokens) {
    LaunchDecision decision = {0, 0};
    if (tokens.empty()) {
        decision.noRun = 1;
        decision.showAbout = 1;
    }
    for (const std::string& token : tokens) {
        // A one-character token is padded with NUL, which no switch holds.
        std::string head = toLower(token.substr(0, 2));
        head.resize(2, '\0');
        for (const Switch& candidate : SWITCHES) {
            if (head[0] == candidate.text[0] && head[1] == candidate.text[1]) {
                decision.noRun = 1;
                if (candidate.showAbout) {
                    decision.showAbout = 1;
                }
            }
        }
    }
    return decision;
}
