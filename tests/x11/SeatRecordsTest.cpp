// The Wayland seat's events as device records: the codes must land where the X11 backend puts
// them, and only a change of the pointer's position on one surface is movement.
#include "platform/wayland/SeatRecords.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace {

constexpr uint32_t NONE = 0xFFFFFFFFu;
constexpr uint32_t DOWN = static_cast<uint32_t>(-120);

TEST(SeatRecords, KeysButtonsAndTheWheelTakeTheMouseAndKeyboardFormat) {
    enum Kind { KEY, BUTTON, AXIS };
    struct Case {
        Kind kind;
        uint32_t code; // key, button or axis
        double value;  // pressed (1 or 0), or the axis value
        uint32_t offset;
        uint32_t data;
    } cases[] = {
        {KEY, KEY_ESC, 1, 0x01, 0x80},
        {KEY, KEY_A, 1, 0x1E, 0x80},
        {KEY, KEY_A, 0, 0x1E, 0},
        {KEY, KEY_UP, 1, 0xC8, 0x80},
        {KEY, KEY_RIGHTCTRL, 1, 0x9D, 0x80},
        {KEY, KEY_RESERVED, 1, NONE, 0},
        {KEY, 0xFFFFFFF8u, 1, NONE, 0},
        {BUTTON, BTN_LEFT, 1, 12, 0x80},
        {BUTTON, BTN_LEFT, 0, 12, 0},
        {BUTTON, BTN_RIGHT, 1, 13, 0x80},
        {BUTTON, BTN_MIDDLE, 1, 14, 0x80},
        {BUTTON, BTN_SIDE, 1, 15, 0x80},
        {BUTTON, BTN_EXTRA, 1, NONE, 0},
        {AXIS, 0, 10.0, 8, DOWN},
        {AXIS, 0, -0.5, 8, 120},
        {AXIS, 1, 15.0, 8, DOWN},
        {AXIS, 1, -15.0, 8, 120},
        {AXIS, 0, 0.0, NONE, 0},
        {AXIS, 2, 10.0, NONE, 0},
    };
    for (const Case& c : cases) {
        DeviceRecord record{NONE, 0, 0, 0, 0};
        bool made = false;
        if (c.kind == KEY) {
            made = seatKeyRecord(c.code, c.value != 0, 5, 6, &record);
        } else if (c.kind == BUTTON) {
            made = seatButtonRecord(c.code, c.value != 0, 5, 6, &record);
        } else {
            made = seatAxisRecord(c.code, c.value, 5, 6, &record);
        }
        EXPECT_EQ(made, c.offset != NONE) << c.kind << " " << c.code;
        EXPECT_EQ(record.dwOfs, c.offset) << c.kind << " " << c.code;
        if (made) {
            EXPECT_EQ(record.dwData, c.data) << c.kind << " " << c.code;
            EXPECT_EQ(record.dwTimeStamp, 5u);
            EXPECT_EQ(record.dwSequence, 6u);
        }
    }
}

TEST(PointerTrack, EnteringOrRestingMovesNothingAndMovesCountOnTheirSurface) {
    PointerTrack pointer{};
    DeviceRecord records[2];
    // The first position heard is only where the pointer is.
    EXPECT_EQ(pointer.moved(100.0, 50.0, 1, 1, records), 0);
    EXPECT_EQ(pointer.moved(100.0, 50.0, 2, 2, records), 0);
    ASSERT_EQ(pointer.moved(103.0, 48.0, 3, 3, records), 2);
    EXPECT_EQ(records[0].dwOfs, 0u);
    EXPECT_EQ(records[0].dwData, 3u);
    EXPECT_EQ(records[1].dwOfs, 4u);
    EXPECT_EQ(records[1].dwData, static_cast<uint32_t>(-2));
    // Onto another output's surface: its coordinates start anew.
    pointer.left();
    pointer.entered(5.0, 700.0);
    EXPECT_EQ(pointer.moved(5.0, 700.0, 4, 4, records), 0);
    ASSERT_EQ(pointer.moved(5.0, 701.0, 5, 5, records), 1);
    EXPECT_EQ(records[0].dwOfs, 4u);
    EXPECT_EQ(records[0].dwData, 1u);
    // A motion heard after leaving, before any enter, is again only a position.
    pointer.left();
    EXPECT_EQ(pointer.moved(400.0, 400.0, 6, 6, records), 0);
    EXPECT_EQ(pointer.moved(400.5, 400.0, 7, 7, records), 0);
    EXPECT_EQ(pointer.moved(401.0, 400.0, 8, 8, records), 1);
}

} // namespace
