// What a command line asks for: run the screensaver, show the about box, or neither.
#pragma once

#include <string>
#include <vector>

struct LaunchDecision {
    int noRun;
    int showAbout; // never set without noRun
};

// The non-empty tokens of the command line, split at blank, tab and line feed, quotes removed
// and white space trimmed. A null command line has no tokens.
std::vector<std::string> commandLineTokens(const char* commandLine);

// No tokens: about box, no run. Otherwise every token whose first two characters, case-folded,
// form one of the switches \p \l \c \a -p -l -c -a /p /l /c /a stops the run, and the three with
// c also ask for the about box; tokens that match nothing are ignored.
LaunchDecision decideLaunch(const std::vector<std::string>& tokens);
