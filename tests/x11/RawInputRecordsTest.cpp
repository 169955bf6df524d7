// Raw X input written as DirectInput records, checked both as records and as the events that the
// shared translation makes of them.
#include "platform/InputTranslation.h"
#include "platform/linux/RawInputRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(DirectInputKeyCode, MainBlockKeepsScanCodesAndExtendedKeysGetTheirOwn) {
    struct Case {
        int xKeyCode;
        uint32_t code;
    } cases[] = {
        {9, 0x01},              // Escape
        {38, 0x1E},             // A
        {36, 0x1C},             // Return
        {65, 0x39},             // space
        {96, 0x58},             // F12, the last code the two numberings share
        {104, 0x9C},            // keypad Enter
        {105, 0x9D},            // right Ctrl
        {108, 0xB8},            // right Alt
        {110, 0xC7},            // Home
        {111, 0xC8},            // Up
        {113, 0xCB},            // Left
        {114, 0xCD},            // Right
        {116, 0xD0},            // Down
        {119, 0xD3},            // Delete
        {127, 0xC5},            // Pause
        {133, 0xDB},            // left Windows key
        {135, 0xDD},            // menu key
        {121, 121 - 8},         // a key DirectInput has no own code for keeps its evdev code
        {255, 247},     {8, 0}, // evdev 0 is no key, and 0 would read as the end mark
        {0, 0},         {-3, 0}, {300, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(directInputKeyCode(c.xKeyCode), c.code) << "X key code " << c.xKeyCode;
    }
}

TEST(KeyRecord, PressSetsBitSevenAndCodelessKeysMakeNoRecord) {
    DeviceRecord record{};
    ASSERT_TRUE(keyRecord(38, true, 1000, 7, &record));
    EXPECT_EQ(record.dwOfs, 0x1Eu);
    EXPECT_EQ(record.dwData, 0x80u);
    EXPECT_EQ(record.dwTimeStamp, 1000u);
    EXPECT_EQ(record.dwSequence, 7u);
    ASSERT_TRUE(keyRecord(38, false, 1001, 8, &record));
    EXPECT_EQ(record.dwData, 0u);
    EXPECT_FALSE(keyRecord(8, true, 0, 0, &record));
}

TEST(ButtonRecord, ButtonsAndWheelMapToTheMouseFormat) {
    struct Case {
        int button;
        bool pressed;
        bool made;
        uint32_t offset;
        uint32_t data;
    } cases[] = {
        {1, true, true, 12, 0x80}, {1, false, true, 12, 0},
        {3, true, true, 13, 0x80}, {2, true, true, 14, 0x80},
        {8, true, true, 15, 0x80}, {8, false, true, 15, 0},
        {4, true, true, 8, 120},   {5, true, true, 8, static_cast<uint32_t>(-120)},
        {6, true, true, 8, 120},   {7, true, true, 8, static_cast<uint32_t>(-120)},
        {4, false, false, 0, 0},   {5, false, false, 0, 0},
        {9, true, false, 0, 0},    {0, true, false, 0, 0},
        {40, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        DeviceRecord record{};
        EXPECT_EQ(buttonRecord(c.button, c.pressed, 0, 0, &record), c.made) << c.button;
        if (c.made) {
            EXPECT_EQ(record.dwOfs, c.offset) << c.button;
            EXPECT_EQ(record.dwData, c.data) << c.button;
        }
    }
}

TEST(MotionRecords, WholeStepsGoOutAndFractionsAreCarried) {
    double remainderX = 0.0, remainderY = 0.0;
    DeviceRecord records[2];
    ASSERT_EQ(motionRecords(true, 3.0, true, -2.0, &remainderX, &remainderY, 5, 9, records), 2);
    EXPECT_EQ(records[0].dwOfs, 0u);
    EXPECT_EQ(static_cast<int32_t>(records[0].dwData), 3);
    EXPECT_EQ(records[1].dwOfs, 4u);
    EXPECT_EQ(static_cast<int32_t>(records[1].dwData), -2);
    EXPECT_EQ(records[0].dwSequence, records[1].dwSequence);

    // Only the axes the event carries, and only once a whole step has built up.
    EXPECT_EQ(motionRecords(true, 0.4, false, 0.0, &remainderX, &remainderY, 0, 0, records), 0);
    EXPECT_EQ(motionRecords(true, 0.4, false, 0.0, &remainderX, &remainderY, 0, 0, records), 0);
    ASSERT_EQ(motionRecords(true, 0.4, false, 0.0, &remainderX, &remainderY, 0, 0, records), 1);
    EXPECT_EQ(records[0].dwOfs, 0u);
    EXPECT_EQ(static_cast<int32_t>(records[0].dwData), 1);
    ASSERT_EQ(motionRecords(false, 0.0, true, -1.5, &remainderX, &remainderY, 0, 0, records), 1);
    EXPECT_EQ(records[0].dwOfs, 4u);
    EXPECT_EQ(static_cast<int32_t>(records[0].dwData), -1);
    EXPECT_EQ(motionRecords(false, 0.0, true, -0.4, &remainderX, &remainderY, 0, 0, records), 0);
    ASSERT_EQ(motionRecords(false, 0.0, true, -0.2, &remainderX, &remainderY, 0, 0, records), 1);
    EXPECT_EQ(static_cast<int32_t>(records[0].dwData), -1);
}

TEST(MotionRecords, BrokenValuesAreDroppedNotConverted) {
    double remainderX = 0.5, remainderY = 0.0;
    DeviceRecord records[2];
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 1e300, -1e300};
    for (double value : bad) {
        EXPECT_EQ(motionRecords(true, value, true, value, &remainderX, &remainderY, 0, 0, records),
                  0);
        EXPECT_EQ(remainderX, 0.0);
    }
    EXPECT_EQ(motionRecords(true, 1.0, false, 0.0, &remainderX, &remainderY, 0, 0, records), 1);
}

TEST(RecordQueue, KeepsTheOldestSixteenAndHandsThemOutInOrder) {
    RecordQueue queue{};
    for (uint32_t i = 1; i <= 20; i++) {
        DeviceRecord record{};
        record.dwOfs = i;
        queue.push(record);
    }
    EXPECT_EQ(queue.count, 16u);
    DeviceRecord out[16] = {};
    ASSERT_EQ(queue.take(out, 5), 5u);
    for (uint32_t i = 0; i < 5; i++) {
        EXPECT_EQ(out[i].dwOfs, i + 1);
    }
    ASSERT_EQ(queue.take(out, 16), 11u);
    EXPECT_EQ(out[0].dwOfs, 6u);
    EXPECT_EQ(out[10].dwOfs, 16u);
    EXPECT_EQ(queue.take(out, 16), 0u);
    DeviceRecord later{};
    later.dwOfs = 30;
    queue.push(later);
    ASSERT_EQ(queue.take(out, 16), 1u);
    EXPECT_EQ(out[0].dwOfs, 30u);
}

// The records must mean to the shared translation what the X events meant.
TEST(RawInputRecords, TranslateIntoTheEventsOfTheirInput) {
    InputDevices input;
    prepareRecords(input.keyboardBuffer, KEYBOARD_END_MARK);
    prepareRecords(input.mouseBuffer, MOUSE_END_MARK);
    ASSERT_TRUE(keyRecord(9, true, 0, 1, &input.keyboardBuffer[0]));
    ASSERT_TRUE(keyRecord(9, false, 0, 2, &input.keyboardBuffer[1]));
    double remainderX = 0.0, remainderY = 0.0;
    ASSERT_EQ(
        motionRecords(true, 4.0, true, -3.0, &remainderX, &remainderY, 0, 3, input.mouseBuffer), 2);
    ASSERT_TRUE(buttonRecord(3, true, 0, 4, &input.mouseBuffer[2]));
    ASSERT_TRUE(buttonRecord(5, true, 0, 5, &input.mouseBuffer[3]));
    appendKeyboardEvents(input);
    appendMouseEvents(input);

    struct Expected {
        int32_t code;
        uint8_t down;
        int32_t x;
        int32_t y;
    } expected[] = {
        {1, 1, 0, 0},
        {1, 0, 0, 0},
        {EVENT_MOUSE_MOVE, 0, 4, 0},
        {EVENT_MOUSE_MOVE, 0, 4, -3},
        {EVENT_MOUSE_BUTTON1, 1, 4, -3},
        {EVENT_MOUSE_WHEEL, 1, 4, -3},
    };
    ASSERT_EQ(input.events.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < input.events.size(); i++) {
        EXPECT_EQ(input.events[i].code, expected[i].code) << i;
        EXPECT_EQ(input.events[i].down, expected[i].down) << i;
        EXPECT_EQ(input.events[i].x, expected[i].x) << i;
        EXPECT_EQ(input.events[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(input.mouseWheel, -120);
}

} // namespace
