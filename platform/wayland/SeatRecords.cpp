#include "platform/wayland/SeatRecords.h"

#include "platform/linux/RawInputRecords.h"

#include <linux/input-event-codes.h>

namespace {

// X key codes, which the shared records take, are the evdev codes plus this.
constexpr uint32_t X_KEY_CODE_OFFSET = 8;
// The largest evdev key code: past it a code is no key, and with the offset added it could
// overflow an int.
constexpr uint32_t LAST_KEY_CODE = KEY_MAX;

// The X buttons that turn the wheel: up, down, left, right.
constexpr int X_WHEEL_UP = 4;
constexpr int X_WHEEL_DOWN = 5;
constexpr int X_WHEEL_LEFT = 6;
constexpr int X_WHEEL_RIGHT = 7;

} // namespace

bool seatKeyRecord(uint32_t key, bool pressed, uint32_t time, uint32_t sequence,
                   DeviceRecord* record) {
    if (key > LAST_KEY_CODE) {
        return false;
    }
    return keyRecord(static_cast<int>(key + X_KEY_CODE_OFFSET), pressed, time, sequence, record);
}

// The X server numbers the buttons 1 left, 2 middle, 3 right, 8 back.
bool seatButtonRecord(uint32_t button, bool pressed, uint32_t time, uint32_t sequence,
                      DeviceRecord* record) {
    int xButton = 0;
    switch (button) {
    case BTN_LEFT:
        xButton = 1;
        break;
    case BTN_MIDDLE:
        xButton = 2;
        break;
    case BTN_RIGHT:
        xButton = 3;
        break;
    case BTN_SIDE:
        xButton = 8;
        break;
    default:
        return false;
    }
    return buttonRecord(xButton, pressed, time, sequence, record);
}

bool seatAxisRecord(uint32_t axis, double value, uint32_t time, uint32_t sequence,
                    DeviceRecord* record) {
    if (value == 0.0 || axis > 1) {
        return false;
    }
    const int xButton = axis == 0 ? (value < 0 ? X_WHEEL_UP : X_WHEEL_DOWN)
                                  : (value < 0 ? X_WHEEL_LEFT : X_WHEEL_RIGHT);
    return buttonRecord(xButton, true, time, sequence, record);
}

void PointerTrack::entered(double x, double y) {
    onSurface = 1;
    this->x = x;
    this->y = y;
}

int PointerTrack::moved(double x, double y, uint32_t time, uint32_t sequence,
                        DeviceRecord records[2]) {
    if (!onSurface) {
        entered(x, y);
        return 0;
    }
    const int count = motionRecords(true, x - this->x, true, y - this->y, &remainderX, &remainderY,
                                    time, sequence, records);
    this->x = x;
    this->y = y;
    return count;
}
