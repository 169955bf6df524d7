// X protocol errors arrive late and, by default, end the process. The backend keeps running
// through them instead (a window that someone else owns may vanish at any moment) and looks at
// them where a request's success matters.
#pragma once

#include <X11/Xlib.h>

// Makes protocol errors on every connection of the process harmless; safe to call repeatedly.
void installErrorHandler();

// Counts the errors that requests sent between begin and end caused.
struct ErrorTrap {
    Display* display;
    unsigned long errorsBefore;

    // Sends and settles everything queued so far, so that older errors are not counted.
    explicit ErrorTrap(Display* display);
    // Waits for the server to handle the requests since the start; true when none failed.
    bool succeeded();
};
