#include "WindowRules.h"

WindowAction decideWindowAction(GlWindow& window, WindowEvent event) {
    switch (event) {
    case WINDOW_EVENT_KEY_DOWN:
    case WINDOW_EVENT_CLOSE:
        return WINDOW_ACTION_QUIT;
    case WINDOW_EVENT_MOUSE_MOVE:
        // The count stops at 0 so that an endless stream of moves cannot overflow it; every move
        // from the fifth on asks to quit.
        if (window.mouseMovesLeft > 0) {
            window.mouseMovesLeft--;
        }
        return window.mouseMovesLeft <= 0 ? WINDOW_ACTION_QUIT : WINDOW_ACTION_DEFAULT;
    case WINDOW_EVENT_SCREENSAVE:
        return WINDOW_ACTION_SWALLOW;
    case WINDOW_EVENT_OTHER:
        break;
    }
    return WINDOW_ACTION_DEFAULT;
}
