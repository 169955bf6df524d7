// Which X events the window procedure passes to the quit rules, and as what.
// GoogleTest comes first: Xlib defines None as a macro, which GoogleTest uses as a name.
#include <gtest/gtest.h>

#include "platform/x11/X11Messages.h"

namespace {

const Window OWN = 0x200002;
const Window OTHER = 0x300001;
const Atom PROTOCOLS = 301;
const Atom DELETE_WINDOW = 302;
const Atom TAKE_FOCUS = 303;

XEvent event(int type, Window window) {
    XEvent result{};
    result.type = type;
    result.xany.window = window;
    return result;
}

XEvent clientMessage(Window window, Atom type, int format, Atom protocol) {
    XEvent result = event(ClientMessage, window);
    result.xclient.message_type = type;
    result.xclient.format = format;
    result.xclient.data.l[0] = static_cast<long>(protocol);
    return result;
}

XEvent destroyed(Window eventWindow, Window window) {
    XEvent result = event(DestroyNotify, eventWindow);
    result.xdestroywindow.event = eventWindow;
    result.xdestroywindow.window = window;
    return result;
}

TEST(WindowEventOf, KeysCloseRequestsDestructionAndMotionOfTheOwnWindow) {
    struct Case {
        XEvent event;
        WindowEvent expected;
    } cases[] = {
        {event(KeyPress, OWN), WINDOW_EVENT_KEY_DOWN},
        {event(KeyRelease, OWN), WINDOW_EVENT_OTHER},
        {event(MotionNotify, OWN), WINDOW_EVENT_MOUSE_MOVE},
        {event(ButtonPress, OWN), WINDOW_EVENT_OTHER},
        {event(Expose, OWN), WINDOW_EVENT_OTHER},
        {event(ConfigureNotify, OWN), WINDOW_EVENT_OTHER},
        {clientMessage(OWN, PROTOCOLS, 32, DELETE_WINDOW), WINDOW_EVENT_CLOSE},
        {clientMessage(OWN, PROTOCOLS, 32, TAKE_FOCUS), WINDOW_EVENT_OTHER},
        {clientMessage(OWN, PROTOCOLS, 8, DELETE_WINDOW), WINDOW_EVENT_OTHER},
        {clientMessage(OWN, TAKE_FOCUS, 32, DELETE_WINDOW), WINDOW_EVENT_OTHER},
        {destroyed(OWN, OWN), WINDOW_EVENT_CLOSE},
        // Events about other windows never end the run.
        {event(KeyPress, OTHER), WINDOW_EVENT_OTHER},
        {event(MotionNotify, OTHER), WINDOW_EVENT_OTHER},
        {clientMessage(OTHER, PROTOCOLS, 32, DELETE_WINDOW), WINDOW_EVENT_OTHER},
        {destroyed(OWN, OTHER), WINDOW_EVENT_OTHER},
    };
    int index = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(windowEventOf(c.event, OWN, PROTOCOLS, DELETE_WINDOW), c.expected)
            << "case " << index;
        index++;
    }
}

} // namespace
