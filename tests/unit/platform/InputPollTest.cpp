// The shared poll and the record translation, driven through stand-in backend hooks that deliver
// queued records the way GetDeviceData does.
#include "platform/InputBackend.h"
#include "platform/InputDevices.h"
#include "platform/InputTranslation.h"
#include "platform/headless/HeadlessControl.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> hookCalls;
HeadlessDevice* keyboardDevice;
int readsFail;

std::string deviceName(NativeInputDevice device) {
    return device == keyboardDevice ? "keyboard" : "mouse";
}

} // namespace

void acquireInputDevice(NativeInputDevice device) {
    hookCalls.push_back("acquire " + deviceName(device));
}

void readInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity) {
    hookCalls.push_back("read " + deviceName(device) + " " + std::to_string(capacity));
    if (readsFail) {
        return;
    }
    for (uint32_t i = 0; i < capacity && !device->records.empty(); i++) {
        records[i] = device->records.front();
        device->records.pop_front();
    }
}

namespace {

DeviceRecord key(uint32_t code, uint32_t data) {
    return {code, data, 0, 0, 0};
}
DeviceRecord axis(uint32_t offset, int32_t change) {
    return {offset, static_cast<uint32_t>(change), 0, 0, 0};
}

struct Event {
    int32_t code;
    int down;
    int32_t x;
    int32_t y;
    bool operator==(const Event& o) const {
        return code == o.code && down == o.down && x == o.x && y == o.y;
    }
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
    return out << "{" << e.code << ", " << e.down << ", " << e.x << ", " << e.y << "}";
}

struct PollCase {
    const char* name;
    int32_t mouseX, mouseY, mouseWheel;
    std::vector<DeviceRecord> keyboard;
    std::vector<DeviceRecord> mouse;
    std::vector<Event> expected;
    int32_t endX, endY, endWheel;
};

class InputPoll : public ::testing::Test {
  protected:
    HeadlessDevice keyboard{};
    HeadlessDevice mouse{};
    InputDevices input;

    void SetUp() override {
        hookCalls.clear();
        readsFail = 0;
        keyboardDevice = &keyboard;
        input.keyboard = &keyboard;
        input.mouse = &mouse;
    }

    std::vector<Event> events() const {
        std::vector<Event> out;
        for (const InputEvent& e : input.events) {
            out.push_back({e.code, e.down, e.x, e.y});
        }
        return out;
    }
};

TEST_F(InputPoll, TranslatesEachPollsRecords) {
    const PollCase cases[] = {
        {"nothing buffered", 3, 4, 5, {}, {}, {}, 3, 4, 5},
        {"press and release of one key",
         7,
         -2,
         0,
         {key(30, 0x80), key(30, 0x00)},
         {},
         {{30, 1, 7, -2}, {30, 0, 7, -2}},
         7,
         -2,
         0},
        {"only bit 7 of the lowest byte presses",
         0,
         0,
         0,
         {key(1, 0x7F), key(2, 0x180), key(3, 0x100), key(255, 0xFF)},
         {},
         {{1, 0, 0, 0}, {2, 1, 0, 0}, {3, 0, 0, 0}, {255, 1, 0, 0}},
         0,
         0,
         0},
        {"diagonal move: X then Y",
         10,
         20,
         0,
         {},
         {axis(MOUSE_OFFSET_X, 5), axis(MOUSE_OFFSET_Y, -3)},
         {{EVENT_MOUSE_MOVE, 0, 15, 20}, {EVENT_MOUSE_MOVE, 0, 15, 17}},
         15,
         17,
         0},
        {"keyboard events carry the position from before the mouse records",
         1,
         1,
         0,
         {key(57, 0x80)},
         {axis(MOUSE_OFFSET_X, 100), axis(MOUSE_OFFSET_Y, 50)},
         {{57, 1, 1, 1}, {EVENT_MOUSE_MOVE, 0, 101, 1}, {EVENT_MOUSE_MOVE, 0, 101, 51}},
         101,
         51,
         0},
        {"buttons 0 to 3",
         0,
         0,
         0,
         {},
         {key(12, 0x80), key(13, 0x80), key(14, 0), key(15, 0x80)},
         {{EVENT_MOUSE_BUTTON0, 1, 0, 0},
          {EVENT_MOUSE_BUTTON1, 1, 0, 0},
          {EVENT_MOUSE_BUTTON2, 0, 0, 0},
          {EVENT_MOUSE_BUTTON3, 1, 0, 0}},
         0,
         0,
         0},
        {"wheel turns either way press, a still wheel makes nothing",
         2,
         3,
         40,
         {},
         {axis(MOUSE_OFFSET_WHEEL, 120), axis(MOUSE_OFFSET_WHEEL, 0),
          axis(MOUSE_OFFSET_WHEEL, -240)},
         {{EVENT_MOUSE_WHEEL, 1, 2, 3}, {EVENT_MOUSE_WHEEL, 1, 2, 3}},
         2,
         3,
         -80},
        {"offsets the mouse format lacks are skipped",
         0,
         0,
         0,
         {},
         {axis(1, 9), axis(16, 9), axis(MOUSE_OFFSET_X, 2), axis(0x7FFFFFFF, 9)},
         {{EVENT_MOUSE_MOVE, 0, 2, 0}},
         2,
         0,
         0},
        {"the keyboard's end mark stops the walk",
         0,
         0,
         0,
         {key(5, 0x80), key(0, 0x80), key(6, 0x80)},
         {},
         {{5, 1, 0, 0}},
         0,
         0,
         0},
        {"the mouse's end mark stops the walk, 0 is the X axis",
         0,
         0,
         0,
         {},
         {axis(MOUSE_OFFSET_X, 1), axis(MOUSE_END_MARK, 0), axis(MOUSE_OFFSET_X, 1)},
         {{EVENT_MOUSE_MOVE, 0, 1, 0}},
         1,
         0,
         0},
        {"the accumulators wrap instead of overflowing",
         INT32_MAX,
         INT32_MIN,
         INT32_MAX,
         {},
         {axis(MOUSE_OFFSET_X, 1), axis(MOUSE_OFFSET_Y, -1), axis(MOUSE_OFFSET_WHEEL, 2)},
         {{EVENT_MOUSE_MOVE, 0, INT32_MIN, INT32_MIN},
          {EVENT_MOUSE_MOVE, 0, INT32_MIN, INT32_MAX},
          {EVENT_MOUSE_WHEEL, 1, INT32_MIN, INT32_MAX}},
         INT32_MIN,
         INT32_MAX,
         INT32_MIN + 1},
    };
    for (const PollCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        input.mouseX = c.mouseX;
        input.mouseY = c.mouseY;
        input.mouseWheel = c.mouseWheel;
        keyboard.records.assign(c.keyboard.begin(), c.keyboard.end());
        mouse.records.assign(c.mouse.begin(), c.mouse.end());
        input.poll();
        EXPECT_EQ(events(), c.expected);
        EXPECT_EQ(input.mouseX, c.endX);
        EXPECT_EQ(input.mouseY, c.endY);
        EXPECT_EQ(input.mouseWheel, c.endWheel);
    }
}

TEST_F(InputPoll, AcquiresThenReadsSixteenRecordsPerDeviceKeyboardFirst) {
    input.poll();
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"acquire keyboard", "read keyboard 16",
                                                   "acquire mouse", "read mouse 16"}));
}

TEST_F(InputPoll, SkipsClosedDevicesAndEmptiesTheEventsAnyway) {
    input.events.push_back({1, 1, 0, 0});
    input.keyboard = nullptr;
    input.mouse = nullptr;
    input.poll();
    EXPECT_TRUE(input.events.empty());
    EXPECT_EQ(input.events.capacity(), 0u);
    EXPECT_TRUE(hookCalls.empty());

    input.mouse = &mouse;
    mouse.records.push_back(axis(MOUSE_OFFSET_Y, 4));
    input.poll();
    EXPECT_EQ(events(), (std::vector<Event>{{EVENT_MOUSE_MOVE, 0, 0, 4}}));
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"acquire mouse", "read mouse 16"}));
}

TEST_F(InputPoll, TakesAtMostSixteenRecordsPerDeviceAndPoll) {
    for (uint32_t i = 1; i <= 20; i++) {
        keyboard.records.push_back(key(i, 0x80));
        mouse.records.push_back(axis(MOUSE_OFFSET_X, 1));
    }
    input.poll();
    ASSERT_EQ(input.events.size(), 32u);
    EXPECT_EQ(input.events[15].code, 16);
    EXPECT_EQ(input.events[16].code, EVENT_MOUSE_MOVE);
    EXPECT_EQ(input.mouseX, 16);

    input.poll();
    ASSERT_EQ(input.events.size(), 8u);
    EXPECT_EQ(input.events[0].code, 17);
    EXPECT_EQ(input.mouseX, 20);

    input.poll();
    EXPECT_TRUE(input.events.empty());
}

TEST_F(InputPoll, AFailedReadYieldsNothingEvenAfterAFullBuffer) {
    for (uint32_t i = 1; i <= 16; i++) {
        keyboard.records.push_back(key(i, 0x80));
        mouse.records.push_back(axis(MOUSE_OFFSET_WHEEL, 1));
    }
    input.poll();
    ASSERT_EQ(input.events.size(), 32u);
    input.keyboardBuffer[3].uAppData = 0xABC;
    input.mouseBuffer[15].uAppData = 0xDEF;

    readsFail = 1;
    keyboard.records.push_back(key(9, 0x80));
    input.poll();
    EXPECT_TRUE(input.events.empty());
    EXPECT_EQ(input.mouseWheel, 16);
    EXPECT_EQ(input.keyboardBuffer[3].uAppData, 0xABCu);
    EXPECT_EQ(input.mouseBuffer[15].uAppData, 0xDEFu);
    for (int i = 0; i < INPUT_BUFFER_RECORDS; i++) {
        EXPECT_EQ(input.keyboardBuffer[i].dwOfs, KEYBOARD_END_MARK);
        EXPECT_EQ(input.mouseBuffer[i].dwOfs, MOUSE_END_MARK);
        EXPECT_EQ(input.mouseBuffer[i].dwData | input.mouseBuffer[i].dwTimeStamp |
                      input.mouseBuffer[i].dwSequence,
                  0u);
    }
}

TEST(InputDevicesRecord, StartsEmptyWithNothingOpen) {
    InputDevices input;
    EXPECT_TRUE(input.events.empty());
    EXPECT_EQ(input.mouseX | input.mouseY | input.mouseWheel, 0);
    EXPECT_EQ(input.directInput, nullptr);
    EXPECT_EQ(input.keyboard, nullptr);
    EXPECT_EQ(input.mouse, nullptr);
}

} // namespace
