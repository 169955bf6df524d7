// What a test sets and sees of the headless system: the message queue, the clock, the two input
// devices, the failures to inject, and what the program did to the display.
#pragma once

#include "platform/InputDevices.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

enum HeadlessMessageKind {
    HEADLESS_MESSAGE_QUIT, // taken by the frame loop, never dispatched
    HEADLESS_MESSAGE_KEY_DOWN,
    HEADLESS_MESSAGE_CLOSE,
    HEADLESS_MESSAGE_MOUSE_MOVE,
    HEADLESS_MESSAGE_SCREENSAVE,
    HEADLESS_MESSAGE_OTHER,
};

struct HeadlessMessage {
    HeadlessMessageKind kind;
    uintptr_t wParam;
};

// A buffered input device. Like a real one it keeps at most INPUT_BUFFER_RECORDS records and
// drops what arrives beyond that, and it delivers nothing while it is not acquired.
struct HeadlessDevice {
    std::deque<DeviceRecord> records;
    int refuseAcquire; // as when the window has lost the foreground
    int open;
    int acquired;
    int acquireCalls;

    void buffer(const DeviceRecord& record) {
        if (records.size() < INPUT_BUFFER_RECORDS) {
            records.push_back(record);
        }
    }
};

// The one window the program may open.
struct HeadlessWindow {
    int open;
    int bordered;
    int width; // outer size, as AdjustWindowRectEx would have made it
    int height;
    std::string title;
    int shown;
    int captured;
};

struct HeadlessSystem {
    // Set by the test before or during the run.
    std::deque<HeadlessMessage> messages; // posted messages, oldest first
    uint32_t clock;                       // what the millisecond clock reads
    int refuseDisplayMode;
    int refuseWindow;
    int refuseGlContext;
    int refuseDirectInput;
    int refuseKeyboard;
    int refuseMouse;
    HeadlessDevice keyboard;
    HeadlessDevice mouse;
    // Runs after every buffer swap, with the number of swaps so far; the frame just drawn can
    // still be read back with glReadPixels.
    std::function<void(int swaps)> afterSwap;

    // Seen by the test.
    int quitPosted; // the window procedure asked to quit; taken once the queue is empty
    uintptr_t quitCode;
    int displayModeChanged; // 1 while the display runs in the mode the program asked for
    int displayWidth;
    int displayHeight;
    int displayBits;
    int cursorCount; // the system's show count: the cursor is hidden while it is below 0
    int windowsCreated;
    int classRegistered;
    HeadlessWindow window;
    int glContextCurrent;
    int swaps;
    int directInputOpen;
    int aboutBoxes;
    std::string aboutCaption;
    std::string aboutText;
};

HeadlessSystem& headlessSystem();

// Back to the state of a fresh process: empty queue, clock 0, nothing refused, nothing open.
void resetHeadlessSystem();
