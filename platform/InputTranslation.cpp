#include "InputTranslation.h"

namespace {

uint8_t pressedBit(uint32_t data) {
    return (data & 0x80u) ? 1 : 0;
}

// The accumulators are running sums that nothing clamps; they wrap instead of overflowing.
void accumulate(int32_t& sum, uint32_t change) {
    sum = static_cast<int32_t>(static_cast<uint32_t>(sum) + change);
}

} // namespace

void prepareRecords(DeviceRecord (&records)[INPUT_BUFFER_RECORDS], uint32_t endMark) {
    for (DeviceRecord& record : records) {
        record.dwOfs = endMark;
        record.dwData = 0;
        record.dwTimeStamp = 0;
        record.dwSequence = 0;
    }
}

void appendKeyboardEvents(InputDevices& input) {
    for (const DeviceRecord& record : input.keyboardBuffer) {
        if (record.dwOfs == KEYBOARD_END_MARK) {
            break;
        }
        input.events.push_back({static_cast<int32_t>(record.dwOfs), pressedBit(record.dwData),
                                input.mouseX, input.mouseY});
    }
}

void appendMouseEvents(InputDevices& input) {
    for (const DeviceRecord& record : input.mouseBuffer) {
        if (record.dwOfs == MOUSE_END_MARK) {
            break;
        }
        int32_t code;
        uint8_t down;
        if (record.dwOfs >= MOUSE_OFFSET_BUTTON0 && record.dwOfs <= MOUSE_OFFSET_BUTTON3) {
            code = EVENT_MOUSE_BUTTON0 + static_cast<int32_t>(record.dwOfs - MOUSE_OFFSET_BUTTON0);
            down = pressedBit(record.dwData);
        } else if (record.dwOfs == MOUSE_OFFSET_WHEEL) {
            accumulate(input.mouseWheel, record.dwData);
            if (record.dwData == 0) {
                continue;
            }
            code = EVENT_MOUSE_WHEEL;
            down = 1;
        } else if (record.dwOfs == MOUSE_OFFSET_X) {
            accumulate(input.mouseX, record.dwData);
            code = EVENT_MOUSE_MOVE;
            down = 0;
        } else if (record.dwOfs == MOUSE_OFFSET_Y) {
            accumulate(input.mouseY, record.dwData);
            code = EVENT_MOUSE_MOVE;
            down = 0;
        } else {
            continue;
        }
        input.events.push_back({code, down, input.mouseX, input.mouseY});
    }
}
