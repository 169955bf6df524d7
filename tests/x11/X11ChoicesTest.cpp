// The X11 backend's choices that no test display offers both sides of: which of several modes of
// one size it sets, which framebuffer configuration it draws with, how it reads a mode record that
// another version left, and its millisecond clock.
// gtest first: Xlib defines None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "platform/x11/DisplayMode.h"
#include "platform/x11/FramebufferConfig.h"
#include "platform/x11/ModeRecord.h"
#include "platform/x11/MonitorCovers.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(X11Choices, ModeOfSizePrefersProgressiveOverInterlaced) {
    const ListedMode modes[] = {
        {11, 800, 600, false}, {12, 640, 480, true},  {13, 640, 480, true},
        {14, 640, 480, false}, {15, 640, 480, false}, {16, 1024, 768, true},
    };
    const int count = sizeof modes / sizeof modes[0];
    const struct {
        int width, height;
        int first, count;
        unsigned long chosen;
    } cases[] = {
        {640, 480, 0, count, 14},  // the first progressive one, though interlaced ones come first
        {640, 480, 0, 3, 12},      // only interlaced ones: the first of them
        {1024, 768, 0, count, 16}, // a size listed only interlaced
        {800, 600, 0, count, 11},  {640, 400, 0, count, 0}, // no mode is made up
        {640, 480, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseModeOfSize(modes + c.first, c.count, c.width, c.height), c.chosen)
            << c.width << "x" << c.height << " among " << c.count;
    }
}

TEST(X11Choices, FramebufferConfigTakesTheAskedVisualOrTheDefaultDepth) {
    const ConfigVisual visuals[] = {
        {false, 0, 0}, {true, 0x21, 32}, {true, 0x22, 24}, {true, 0x23, 24}, {true, 0x24, 32},
    };
    const int count = sizeof visuals / sizeof visuals[0];
    const struct {
        const char* name;
        int count;
        VisualID visualId;
        int defaultDepth;
        int chosen;
    } cases[] = {
        {"default depth 24 before a better 32-bit visual", count, 0, 24, 2},
        {"default depth 32", count, 0, 32, 1},
        {"no visual of the default depth: the best with a visual", count, 0, 16, 1},
        {"the visual asked for, though others come first", count, 0x23, 24, 3},
        {"a visual asked for that no configuration has", count, 0x99, 24, -1},
        {"none with a visual", 1, 0, 24, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseConfigIndex(visuals, c.count, c.visualId, c.defaultDepth), c.chosen)
            << c.name;
    }
}

TEST(X11Choices, CoversEveryMonitorButThePicturesOnce) {
    const ScreenArea picture{0, 0, 640, 480}, second{1024, 0, 800, 600};
    const ScreenArea left{-800, 100, 800, 600}, clone{0, 0, 1024, 768}, inner{100, 100, 320, 240};
    const struct {
        std::vector<ScreenArea> monitors;
        int capacity;
        const char* covered;
    } cases[] = {
        {{picture}, 4, ""},
        {{picture, second}, 4, " 800x600+1024+0"},
        {{left, picture, second}, 4, " 800x600+-800+100 800x600+1024+0"},
        {{{-640, 0, 640, 480}, picture}, 4, " 640x480+-640+0"},  // left of it, within its height
        {{picture, inner}, 4, ""},                               // a clone inside the picture
        {{clone, picture}, 4, " 1024x768+0+0"},                  // a larger clone around it
        {{picture, second, second}, 4, " 800x600+1024+0"},       // two showing one area
        {{{1024, 0, 0, 600}, picture, {0, 800, 800, 0}}, 4, ""}, // CRTCs that are off
        {{left, picture, second, clone}, 2, " 800x600+-800+100 800x600+1024+0"},
    };
    for (const auto& c : cases) {
        ScreenArea covers[4];
        const int count = monitorsToCover(c.monitors.data(), static_cast<int>(c.monitors.size()),
                                          picture, covers, c.capacity);
        std::string text;
        for (int i = 0; i < count; i++) {
            text += " " + std::to_string(covers[i].width) + "x" + std::to_string(covers[i].height) +
                    "+" + std::to_string(covers[i].x) + "+" + std::to_string(covers[i].y);
        }
        EXPECT_EQ(text, c.covered) << c.monitors.size() << " monitors";
    }
}

// Every field comes back as written; other lengths, or more outputs than slots, are refused with
// no read past the values (each a copy of just that many, so that such a read leaves the block).
TEST(X11Choices, ModeRecordReadsBackWhatWasWrittenAndRefusesOtherLengths) {
    const ModeRecordContents written{
        {0x41, 0x42, -800, -600, 1, {0x51, 0x52}, 2, 1824, 768, 481, 203, 0x43, 1904, 880},
        {{0x600001, 4242}, {0x800001, 77}}};
    std::vector<long> values = modeRecordValues(written);
    ModeRecordContents read{};
    ASSERT_TRUE(readModeRecordValues(values.data(), values.size(), &read));
    EXPECT_EQ(modeRecordValues(read), values);
    const unsigned long header = values.size() - 4;
    for (const unsigned long count : {header + 1, header + 3, header - 1, 0ul}) {
        const std::vector<long> exact(values.begin(), values.begin() + count);
        EXPECT_FALSE(readModeRecordValues(exact.data(), count, &read)) << count << " values";
    }
    values[5] = SAVED_MODE_MAX_OUTPUTS + 1;
    EXPECT_FALSE(readModeRecordValues(values.data(), values.size(), &read));
}

TEST(X11Choices, ClockCountsMillisecondsAsASecondClockDoes) {
    using Steady = std::chrono::steady_clock;
    const auto before = Steady::now();
    const uint32_t start = clockMilliseconds();
    const auto afterStart = Steady::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const auto beforeEnd = Steady::now();
    const uint32_t end = clockMilliseconds();
    const auto after = Steady::now();
    // Each reading lies between the two readings of the other clock around it; one millisecond
    // more either way for the truncation to whole milliseconds.
    const auto shortest =
        std::chrono::duration_cast<std::chrono::milliseconds>(beforeEnd - afterStart).count();
    const auto longest =
        std::chrono::duration_cast<std::chrono::milliseconds>(after - before).count();
    const uint32_t elapsed = end - start;
    EXPECT_GE(elapsed + 1, shortest);
    EXPECT_LE(elapsed, longest + 1);
}

} // namespace
