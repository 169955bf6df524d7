// What the Linux entry point takes from its arguments and environment: the command line that
// the program's own code splits, the window to draw into when another program (XScreenSaver)
// owns the screen, and XScreenSaver's other options.
#pragma once

#include "platform/linux/NativeTypes.h"

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
    const char* source;   // the option as written or "XSCREENSAVER_WINDOW"; null when not asked
    const char* text;     // the value given; null when the option ends the arguments
};

// "-window-id ID" (or "--window-id ID") among the arguments, the last one counting; otherwise the
// XSCREENSAVER_WINDOW value `environment` when it is set and not empty; otherwise nothing asked.
TargetWindowChoice chooseTargetWindow(int argc, const char* const* argv, const char* environment);

// XScreenSaver's GL hacks sleep 30 ms between frames unless told otherwise.
constexpr long LINUX_DEFAULT_DELAY_MICROSECONDS = 30000;
// A longer pause would leave a key press unanswered for too long in a window of our own.
constexpr long LINUX_MAXIMUM_DELAY_MICROSECONDS = 1000000;

// The pause asked with -delay: a count of decimal digits, above the maximum taken as the maximum;
// -1 for anything else (empty, signs, blanks, other characters, null).
long parseDelay(const char* text);

struct LinuxOptions {
    TargetWindowChoice target;
    long delayMicroseconds;      // the pause after every frame shown
    int showFrameRate;           // -fps
    int windowed;                // -window: a window of our own with no mode change
    int help;                    // -help or --help: print the usage and end
    LinuxBackendRequest backend; // --x11 or --wayland, the last one counting; else either
    std::string refusal;         // why the arguments cannot be followed; empty when they can
};

// Every option may be written with one hyphen or two: -delay US (the last readable one counts; an
// unreadable value leaves the earlier one), -fps, -window, -window-id ID, -root, -help, -x11 and
// -wayland (the last of the two counting), and the
// daemon's -visual NAME and -install, which change nothing here. The program's own switches that
// start with a hyphen (-p, -l, -c, -a and what starts with them, and -s) and the arguments that
// start with none are left to the program. Any other argument starting with a hyphen, or an option
// without its value, is refused, the first one found named in `refusal`: a mistyped option must
// not take the screen.
LinuxOptions readLinuxOptions(int argc, const char* const* argv, const char* environment);

// The text that -help prints.
extern const char LINUX_USAGE[];
