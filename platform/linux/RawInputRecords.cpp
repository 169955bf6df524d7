#include "platform/linux/RawInputRecords.h"

#include "platform/InputTranslation.h"

#include <cmath>

namespace {

const uint32_t PRESSED = 0x80;
// One notch of the wheel, as Windows counts it.
const int32_t WHEEL_NOTCH = 120;
// X key codes are the evdev codes plus this.
const int X_KEY_CODE_OFFSET = 8;
// From this evdev code on the extended block begins, where the two numberings part.
const int FIRST_EXTENDED_KEY = 89;

struct KeyCodePair {
    int evdev;
    uint32_t directInput;
};

const KeyCodePair EXTENDED_KEYS[] = {
    {96, 0x9C},  // keypad Enter
    {97, 0x9D},  // right Ctrl
    {98, 0xB5},  // keypad divide
    {99, 0xB7},  // Print Screen
    {100, 0xB8}, // right Alt
    {102, 0xC7}, // Home
    {103, 0xC8}, // Up
    {104, 0xC9}, // Page Up
    {105, 0xCB}, // Left
    {106, 0xCD}, // Right
    {107, 0xCF}, // End
    {108, 0xD0}, // Down
    {109, 0xD1}, // Page Down
    {110, 0xD2}, // Insert
    {111, 0xD3}, // Delete
    {119, 0xC5}, // Pause
    {125, 0xDB}, // left Windows key
    {126, 0xDC}, // right Windows key
    {127, 0xDD}, // menu key
};

DeviceRecord record(uint32_t offset, uint32_t data, uint32_t time, uint32_t sequence) {
    DeviceRecord result{};
    result.dwOfs = offset;
    result.dwData = data;
    result.dwTimeStamp = time;
    result.dwSequence = sequence;
    return result;
}

bool wholeSteps(double delta, double* remainder, int32_t* steps) {
    const double total = *remainder + delta;
    // A runaway value (a broken device, NaN) is dropped rather than converted out of range.
    if (!std::isfinite(total) || std::fabs(total) > 1e9) {
        *remainder = 0.0;
        return false;
    }
    const double whole = std::trunc(total);
    *remainder = total - whole;
    *steps = static_cast<int32_t>(whole);
    return *steps != 0;
}

} // namespace

void RecordQueue::push(const DeviceRecord& record) {
    if (count < INPUT_BUFFER_RECORDS) {
        records[count++] = record;
    }
}

uint32_t RecordQueue::take(DeviceRecord* out, uint32_t capacity) {
    const uint32_t taken = capacity < count ? capacity : count;
    for (uint32_t i = 0; i < taken; i++) {
        out[i] = records[i];
    }
    for (uint32_t i = taken; i < count; i++) {
        records[i - taken] = records[i];
    }
    count -= taken;
    return taken;
}

uint32_t directInputKeyCode(int xKeyCode) {
    const int evdev = xKeyCode - X_KEY_CODE_OFFSET;
    if (evdev <= 0 || evdev > 255) {
        return 0;
    }
    if (evdev >= FIRST_EXTENDED_KEY) {
        for (const KeyCodePair& pair : EXTENDED_KEYS) {
            if (pair.evdev == evdev) {
                return pair.directInput;
            }
        }
    }
    return static_cast<uint32_t>(evdev);
}

bool keyRecord(int xKeyCode, bool pressed, uint32_t time, uint32_t sequence, DeviceRecord* result) {
    const uint32_t code = directInputKeyCode(xKeyCode);
    if (code == 0) {
        return false;
    }
    *result = record(code, pressed ? PRESSED : 0, time, sequence);
    return true;
}

bool buttonRecord(int xButton, bool pressed, uint32_t time, uint32_t sequence,
                  DeviceRecord* result) {
    uint32_t offset;
    switch (xButton) {
    case 1:
        offset = MOUSE_OFFSET_BUTTON0; // left
        break;
    case 3:
        offset = MOUSE_OFFSET_BUTTON0 + 1; // right
        break;
    case 2:
        offset = MOUSE_OFFSET_BUTTON0 + 2; // middle
        break;
    case 8:
        offset = MOUSE_OFFSET_BUTTON3; // back, the first side button
        break;
    case 4:
    case 5:
    case 6:
    case 7:
        if (!pressed) {
            return false;
        }
        *result =
            record(MOUSE_OFFSET_WHEEL,
                   static_cast<uint32_t>(xButton == 4 || xButton == 6 ? WHEEL_NOTCH : -WHEEL_NOTCH),
                   time, sequence);
        return true;
    default:
        return false;
    }
    *result = record(offset, pressed ? PRESSED : 0, time, sequence);
    return true;
}

int motionRecords(bool hasX, double deltaX, bool hasY, double deltaY, double* remainderX,
                  double* remainderY, uint32_t time, uint32_t sequence, DeviceRecord records[2]) {
    int written = 0;
    int32_t steps = 0;
    if (hasX && wholeSteps(deltaX, remainderX, &steps)) {
        records[written++] = record(MOUSE_OFFSET_X, static_cast<uint32_t>(steps), time, sequence);
    }
    if (hasY && wholeSteps(deltaY, remainderY, &steps)) {
        records[written++] = record(MOUSE_OFFSET_Y, static_cast<uint32_t>(steps), time, sequence);
    }
    return written;
}
