// What the program needs of the system besides the window and the input devices.
#pragma once

#include <cstdint>

struct PlatformMessage {
    int taken;        // a message was in the queue
    int isQuit;       // it was the quit message (not dispatched)
    uintptr_t wParam; // its first parameter: the exit code when it is the last one taken
};

// Takes one message for the thread without waiting; any message but quit is dispatched to the
// window procedure.
PlatformMessage takeMessage();
// Milliseconds from a fixed start, wrapping after 2^32.
uint32_t clockMilliseconds();
// The folder, ending in a slash, where a data file is looked for when the working directory lacks
// it: the Windows system folder, or on Linux the folder that the package installs the files into.
const char* fallbackDataDirectory();
constexpr const char* PLATFORM_WINDOWS_DATA_DIRECTORY = "c:/windows/system32/";
// A modal message box with one OK button and no owner; returns when it is closed.
void showAbout(const char* caption, const char* text);
