// The quit rules of the window procedure, shared by every backend: each backend maps its own
// messages to a WindowEvent and carries out the WindowAction.
#pragma once

#include "GlWindow.h"

enum WindowEvent {
    WINDOW_EVENT_KEY_DOWN,
    WINDOW_EVENT_CLOSE,
    WINDOW_EVENT_MOUSE_MOVE,
    WINDOW_EVENT_SCREENSAVE, // the system asking to start a screensaver
    WINDOW_EVENT_OTHER,
};

enum WindowAction {
    WINDOW_ACTION_DEFAULT, // the system's default handling
    WINDOW_ACTION_QUIT,    // post a quit message with code 0, result 0
    WINDOW_ACTION_SWALLOW, // result 0, nothing else
};

WindowAction decideWindowAction(GlWindow& window, WindowEvent event);
