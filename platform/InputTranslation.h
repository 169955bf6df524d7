// The translation of buffered device records into events, the same on every system: a backend
// only fills the two 16-record buffers.
#pragma once

#include "InputDevices.h"

#include <cstdint>

// No key has the code 0; the mouse needs another mark because 0 is its X axis.
enum : uint32_t {
    KEYBOARD_END_MARK = 0,
    MOUSE_END_MARK = 0xFFFFFFFFu,
};

// Mouse record offsets under the standard mouse data format.
enum : uint32_t {
    MOUSE_OFFSET_X = 0,
    MOUSE_OFFSET_Y = 4,
    MOUSE_OFFSET_WHEEL = 8,
    MOUSE_OFFSET_BUTTON0 = 12,
    MOUSE_OFFSET_BUTTON3 = 15,
};

// Fills every record with the end mark and zero data, leaving uAppData alone, so that a read
// that delivers nothing leaves a buffer that yields no events.
void prepareRecords(DeviceRecord (&records)[INPUT_BUFFER_RECORDS], uint32_t endMark);

// Appends one event per record of keyboardBuffer before the first end mark; each carries the
// mouse position as it stands.
void appendKeyboardEvents(InputDevices& input);

// Applies the records of mouseBuffer before the first end mark to the accumulators and appends
// their events. A wheel record without change makes no event; offsets the mouse format does not
// have are skipped.
void appendMouseEvents(InputDevices& input);
