// The message queue, the clock and the about box of the headless system.
#include "platform/Platform.h"

#include "platform/GlWindow.h"
#include "platform/WindowRules.h"
#include "platform/headless/HeadlessControl.h"

namespace {

WindowEvent windowEventOf(HeadlessMessageKind kind) {
    switch (kind) {
    case HEADLESS_MESSAGE_KEY_DOWN:
        return WINDOW_EVENT_KEY_DOWN;
    case HEADLESS_MESSAGE_CLOSE:
        return WINDOW_EVENT_CLOSE;
    case HEADLESS_MESSAGE_MOUSE_MOVE:
        return WINDOW_EVENT_MOUSE_MOVE;
    case HEADLESS_MESSAGE_SCREENSAVE:
        return WINDOW_EVENT_SCREENSAVE;
    case HEADLESS_MESSAGE_QUIT:
    case HEADLESS_MESSAGE_OTHER:
        break;
    }
    return WINDOW_EVENT_OTHER;
}

// The window procedure. Without a window a message has nowhere to go and is dropped.
void dispatch(const HeadlessMessage& message) {
    HeadlessSystem& system = headlessSystem();
    if (!glWindow.window) {
        return;
    }
    if (decideWindowAction(glWindow, windowEventOf(message.kind)) == WINDOW_ACTION_QUIT) {
        system.quitPosted = 1;
        system.quitCode = 0;
    }
}

} // namespace

PlatformMessage takeMessage() {
    HeadlessSystem& system = headlessSystem();
    // As on Windows, a requested quit comes only after every message posted before it.
    if (system.messages.empty()) {
        if (!system.quitPosted) {
            return {0, 0, 0};
        }
        system.quitPosted = 0;
        return {1, 1, system.quitCode};
    }
    HeadlessMessage message = system.messages.front();
    system.messages.pop_front();
    if (message.kind == HEADLESS_MESSAGE_QUIT) {
        return {1, 1, message.wParam};
    }
    dispatch(message);
    return {1, 0, message.wParam};
}

uint32_t clockMilliseconds() {
    return headlessSystem().clock;
}

// The headless system stands in for Windows.
const char* fallbackDataDirectory() {
    return PLATFORM_WINDOWS_DATA_DIRECTORY;
}

void showAbout(const char* caption, const char* text) {
    HeadlessSystem& system = headlessSystem();
    system.aboutBoxes++;
    system.aboutCaption = caption ? caption : "";
    system.aboutText = text ? text : "";
}
