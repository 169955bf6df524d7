// Takes the window's X events one at a time and runs the shared quit rules on them.
#include "platform/x11/X11Messages.h"

#include "platform/x11/MonitorCovers.h"
#include "platform/x11/X11Backend.h"

#include <GL/gl.h>

WindowEvent windowEventOf(const XEvent& event, Window window, Atom protocolsAtom,
                          Atom deleteWindowAtom) {
    switch (event.type) {
    case KeyPress:
        return event.xkey.window == window ? WINDOW_EVENT_KEY_DOWN : WINDOW_EVENT_OTHER;
    case MotionNotify:
        return event.xmotion.window == window ? WINDOW_EVENT_MOUSE_MOVE : WINDOW_EVENT_OTHER;
    case ClientMessage:
        if (event.xclient.window == window && event.xclient.message_type == protocolsAtom &&
            event.xclient.format == 32 &&
            static_cast<Atom>(event.xclient.data.l[0]) == deleteWindowAtom) {
            return WINDOW_EVENT_CLOSE;
        }
        return WINDOW_EVENT_OTHER;
    case DestroyNotify:
        return event.xdestroywindow.window == window ? WINDOW_EVENT_CLOSE : WINDOW_EVENT_OTHER;
    default:
        return WINDOW_EVENT_OTHER;
    }
}

namespace {

void windowProc(GlWindow& window, const XEvent& event) {
    NativeWindowState& native = window.native;
    // A window may change its size at any time (XScreenSaver's preview does); the picture
    // follows it. The projection keeps its aspect of 1 whatever the shape.
    if (event.type == ConfigureNotify && event.xconfigure.window == window.window &&
        window.isReady()) {
        window.width = event.xconfigure.width;
        window.height = event.xconfigure.height;
        glViewport(0, 0, window.width, window.height);
    }
    // Several reports come for one change; the covers follow once they have all arrived.
    if (monitorsChanged(native.session.display, event)) {
        native.monitorsChanged = 1;
    }
    const WindowEvent windowEvent =
        windowEventOf(event, window.window, native.protocolsAtom, native.deleteWindowAtom);
    if (decideWindowAction(window, windowEvent) == WINDOW_ACTION_QUIT) {
        native.quitPosted = 1;
        native.quitCode = 0;
    }
}

} // namespace

PlatformMessage x11TakeMessage() {
    NativeWindowState& native = glWindow.native;
    Display* display = native.session.display;
    if (display && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        windowProc(glWindow, event);
        return {1, 0, 0};
    }
    // Every monitor that appears is covered at once, before the next frame.
    if (native.monitorsChanged) {
        native.monitorsChanged = 0;
        updateMonitorCovers(display, glWindow.window, native.pictureArea, native.invisibleCursor,
                            &native.covers);
        XFlush(display);
    }
    // As on Windows, the quit request comes after every message that was queued before it.
    if (native.quitPosted) {
        native.quitPosted = 0;
        return {1, 1, native.quitCode};
    }
    return {0, 0, 0};
}
