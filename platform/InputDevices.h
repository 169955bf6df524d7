// Keyboard and mouse read in buffered mode; every poll turns the buffered records into events.
#pragma once

#include "NativeTypes.h"

#include <cstdint>
#include <vector>

enum {
    EVENT_MOUSE_BUTTON0 = 256,
    EVENT_MOUSE_BUTTON1 = 257,
    EVENT_MOUSE_BUTTON2 = 258,
    EVENT_MOUSE_BUTTON3 = 259,
    EVENT_MOUSE_WHEEL = 272,
    EVENT_MOUSE_MOVE = 288,
};

enum { INPUT_BUFFER_RECORDS = 16 };

struct InputEvent {
    int32_t code;
    uint8_t down;
    int32_t x;
    int32_t y;
};

// One buffered device record, laid out as DirectInput's DIDEVICEOBJECTDATA.
struct DeviceRecord {
    uint32_t dwOfs;
    uint32_t dwData;
    uint32_t dwTimeStamp;
    uint32_t dwSequence;
    uintptr_t uAppData;
};

struct InputDevices {
    std::vector<InputEvent> events;
    int32_t mouseX;
    int32_t mouseY;
    int32_t mouseWheel;
    NativeDirectInput directInput;
    NativeInputDevice mouse;
    DeviceRecord mouseBuffer[INPUT_BUFFER_RECORDS];
    NativeInputDevice keyboard;
    DeviceRecord keyboardBuffer[INPUT_BUFFER_RECORDS];

    InputDevices();

    void createInterface(NativeInstance instance);
    int openKeyboard(NativeWindow window, int exclusive);
    int openMouse(NativeWindow window, int exclusive);
    void poll();
    // Acquires each open device and throws away what it has buffered, without making events.
    void discardBuffered();
    void release();
};
