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

void discardInputDevice(NativeInputDevice device) {
    device->records.clear();
}

namespace {

DeviceRecord rec(uint32_t offset, int32_t data) {
    return {offset, static_cast<uint32_t>(data), 0, 0, 0};
}

// "code:down@x,y" per event, blank-separated.
std::string describe(const std::vector<InputEvent>& events) {
    std::string out;
    for (const InputEvent& e : events) {
        out += (out.empty() ? "" : " ") + std::to_string(e.code) + ":" + std::to_string(e.down) +
               "@" + std::to_string(e.x) + "," + std::to_string(e.y);
    }
    return out;
}

struct Sums {
    int32_t x, y, wheel;
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
};

struct PollCase {
    const char* name;
    Sums start;
    std::vector<DeviceRecord> keyboard, mouse;
    const char* expected;
    Sums end;
    PollCase(const char* name, Sums start, std::vector<DeviceRecord> keyboard,
             std::vector<DeviceRecord> mouse, const char* expected, Sums end)
        : name(name), start(start), keyboard(keyboard), mouse(mouse), expected(expected), end(end) {
    }
};

TEST_F(InputPoll, TranslatesEachPollsRecords) {
    using Case = PollCase;
    const Case cases[] = {
        Case("nothing buffered", {3, 4, 5}, {}, {}, "", {3, 4, 5}),
        Case("press and release of one key", {7, -2, 0}, {rec(30, 0x80), rec(30, 0)}, {},
             "30:1@7,-2 30:0@7,-2", {7, -2, 0}),
        Case("only bit 7 of the lowest byte presses", {0, 0, 0},
             {rec(1, 0x7F), rec(2, 0x180), rec(3, 0x100), rec(255, 0xFF)}, {},
             "1:0@0,0 2:1@0,0 3:0@0,0 255:1@0,0", {0, 0, 0}),
        Case("diagonal move: X then Y", {10, 20, 0}, {}, {rec(0, 5), rec(4, -3)},
             "288:0@15,20 288:0@15,17", {15, 17, 0}),
        Case("keys carry the position from before the mouse records", {1, 1, 0}, {rec(57, 0x80)},
             {rec(0, 100), rec(4, 50)}, "57:1@1,1 288:0@101,1 288:0@101,51", {101, 51, 0}),
        Case("buttons 0 to 3", {0, 0, 0}, {},
             {rec(12, 0x80), rec(13, 0x80), rec(14, 0), rec(15, 0x80)},
             "256:1@0,0 257:1@0,0 258:0@0,0 259:1@0,0", {0, 0, 0}),
        Case("a wheel turn either way presses, a still wheel makes nothing", {2, 3, 40}, {},
             {rec(8, 120), rec(8, 0), rec(8, -240)}, "272:1@2,3 272:1@2,3", {2, 3, -80}),
        Case("offsets the mouse format lacks are skipped", {0, 0, 0}, {},
             {rec(1, 9), rec(16, 9), rec(0, 2), rec(0x7FFFFFFF, 9)}, "288:0@2,0", {2, 0, 0}),
        Case("the keyboard's end mark stops the walk", {0, 0, 0},
             {rec(5, 0x80), rec(KEYBOARD_END_MARK, 0x80), rec(6, 0x80)}, {}, "5:1@0,0", {0, 0, 0}),
        Case("the mouse's end mark stops the walk, 0 is the X axis", {0, 0, 0}, {},
             {rec(0, 1), rec(MOUSE_END_MARK, 0), rec(0, 1)}, "288:0@1,0", {1, 0, 0}),
        Case("the sums wrap instead of overflowing", {INT32_MAX, INT32_MIN, INT32_MAX}, {},
             {rec(0, 1), rec(4, -1), rec(8, 2)},
             "288:0@-2147483648,-2147483648 288:0@-2147483648,2147483647 "
             "272:1@-2147483648,2147483647",
             {INT32_MIN, INT32_MAX, INT32_MIN + 1}),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        input.mouseX = c.start.x;
        input.mouseY = c.start.y;
        input.mouseWheel = c.start.wheel;
        keyboard.records.assign(c.keyboard.begin(), c.keyboard.end());
        mouse.records.assign(c.mouse.begin(), c.mouse.end());
        input.poll();
        EXPECT_EQ(describe(input.events), c.expected);
        EXPECT_EQ(input.mouseX, c.end.x);
        EXPECT_EQ(input.mouseY, c.end.y);
        EXPECT_EQ(input.mouseWheel, c.end.wheel);
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
    mouse.records.push_back(rec(4, 4));
    input.poll();
    EXPECT_EQ(describe(input.events), "288:0@0,4");
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"acquire mouse", "read mouse 16"}));
}

TEST_F(InputPoll, TakesAtMostSixteenRecordsPerDeviceAndPoll) {
    for (uint32_t i = 1; i <= 20; i++) {
        keyboard.records.push_back(rec(i, 0x80));
        mouse.records.push_back(rec(0, 1));
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
        keyboard.records.push_back(rec(i, 0x80));
        mouse.records.push_back(rec(8, 1));
    }
    input.poll();
    ASSERT_EQ(input.events.size(), 32u);
    input.keyboardBuffer[3].uAppData = 0xABC;
    input.mouseBuffer[15].uAppData = 0xDEF;

    readsFail = 1;
    keyboard.records.push_back(rec(9, 0x80));
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
