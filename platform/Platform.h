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
// A modal message box with one OK button and no owner; returns when it is closed.
void showAbout(const char* caption, const char* text);
