// XInput2 raw events written as the records that a buffered DirectInput device delivers, and
// the 16-record buffer that holds them between two polls. Plain code with no X calls.
#pragma once

#include "platform/InputDevices.h"

#include <cstdint>

// A device's buffer. Like DirectInput's it keeps the oldest records and drops what arrives when
// it is full.
struct RecordQueue {
    DeviceRecord records[INPUT_BUFFER_RECORDS];
    uint32_t count;

    void push(const DeviceRecord& record);
    // Moves up to `capacity` records, oldest first, into `out`; returns how many.
    uint32_t take(DeviceRecord* out, uint32_t capacity);
    void clear() { count = 0; }
};

// The DirectInput key code of an X key code. Below 89 the evdev code (the X code minus 8) is the
// PC scan code and so the DirectInput code; the keys of the extended block get the codes
// DirectInput gives them; other keys keep their evdev code. 0 for codes that no key has.
uint32_t directInputKeyCode(int xKeyCode);

// One keyboard record, or none (false) for a key without a code.
bool keyRecord(int xKeyCode, bool pressed, uint32_t time, uint32_t sequence, DeviceRecord* record);

// One mouse record for an X button: 1 to 3 and 8 are the four buttons, 4 to 7 turn the wheel
// (up and left forward, down and right back) when pressed. False for buttons the standard mouse
// format does not have and for the release of a wheel button.
bool buttonRecord(int xButton, bool pressed, uint32_t time, uint32_t sequence,
                  DeviceRecord* record);

// The relative movement of a raw motion event: `hasX` and `hasY` say which axes it carries.
// Fractions are carried over in `remainderX` and `remainderY` until they add up to a whole unit,
// as a mouse counts its own steps; an axis without a whole step makes no record. Writes the X
// record before the Y record, both with the same sequence (DirectInput's way of marking one
// movement), and returns how many it wrote (0 to 2).
int motionRecords(bool hasX, double deltaX, bool hasY, double deltaY, double* remainderX,
                  double* remainderY, uint32_t time, uint32_t sequence, DeviceRecord records[2]);
