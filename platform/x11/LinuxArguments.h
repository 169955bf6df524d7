// What the Linux entry point takes from its arguments and environment: the command line that
// the program's own code splits, and the window to draw into when another program (XScreenSaver)
// owns the screen.
#pragma once

#include <string>

// The arguments after the program's name, joined with blanks. An argument that holds white space
// or is empty is put in double quotes so that it stays one token; double quotes inside an
// argument are dropped, since the splitter would take them as grouping and merge arguments.
std::string joinArguments(int argc, const char* const* argv);

// A window id written in decimal or as 0x hex, as XScreenSaver writes them. 0 for anything else:
// signs, blanks, other characters, values past 32 bits.
unsigned long parseWindowId(const char* text);

struct TargetWindowChoice {
    int requested;        // the program is to draw into someone else's window
    unsigned long window; // that window, or 0 when the value given is not a window id
};

// "-window-id ID" (or "--window-id ID") among the arguments, the last one counting; otherwise the
// XSCREENSAVER_WINDOW value `environment` when it is set and not empty; otherwise nothing asked.
TargetWindowChoice chooseTargetWindow(int argc, const char* const* argv, const char* environment);
