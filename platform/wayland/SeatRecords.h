// The seat's events written as the device records of the X11 backend: evdev key codes, evdev
// buttons, the wheel's axis events and the pointer's positions on our surfaces. Plain code with
// no Wayland calls.
#pragma once

#include "platform/InputDevices.h"

#include <cstdint>

// One keyboard record for an evdev key code, or none (false) for a key without a code.
bool seatKeyRecord(uint32_t key, bool pressed, uint32_t time, uint32_t sequence,
                   DeviceRecord* record);

// One mouse record for an evdev button: left, right, middle and the first side button; false for
// the rest, which the standard mouse format does not have.
bool seatButtonRecord(uint32_t button, bool pressed, uint32_t time, uint32_t sequence,
                      DeviceRecord* record);

// One wheel record for an axis event (0 vertical, 1 horizontal; positive down or right), one
// notch whatever its length; false for a zero value or an unknown axis.
bool seatAxisRecord(uint32_t axis, double value, uint32_t time, uint32_t sequence,
                    DeviceRecord* record);

// Where the pointer was last seen on the surface under it. A surface reports the pointer's
// position in its own coordinates, so only a change of position on one surface is movement: a
// pointer that enters a surface, or that the compositor reports again where it rests, moves
// nothing.
struct PointerTrack {
    int onSurface;
    double x;
    double y;
    double remainderX;
    double remainderY;

    void entered(double x, double y);
    void left() { onSurface = 0; }
    // The records of a motion event to (x, y), as motionRecords writes them (0 to 2).
    int moved(double x, double y, uint32_t time, uint32_t sequence, DeviceRecord records[2]);
};
