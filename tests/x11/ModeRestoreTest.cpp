// What the end of a full-screen run gives back of the desk the user has then, and the mode record
// that carries the original mode over to whoever ends last.
// gtest first: Xlib defines None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/x11/ModeRecord.h"

#include <vector>

namespace {

// A primary of 1024x768 at 0,0 that the run switched from mode 100 to 640x480 (mode 200), beside
// a monitor of 800x600 at 1024,0, or alone on a screen it shrank to its size.
SavedDisplayMode savedMode(bool alone) {
    SavedDisplayMode saved{};
    saved.crtc = 63;
    saved.mode = 100;
    saved.screenWidth = alone ? 1024 : 1824;
    saved.screenHeight = 768;
    saved.changedMode = 200;
    saved.changedScreenWidth = alone ? 640 : 1824;
    saved.changedScreenHeight = alone ? 480 : 768;
    return saved;
}

TEST(PlanRestore, GivesBackOnlyWhatTheRunChanged) {
    const struct {
        const char* desk;
        bool alone;
        DeskAtRestore now;
        RestorePlan plan;
    } cases[] = {
        // The CRTC's mode, the screen, how far right and down the others, the CRTC now and the
        // CRTC restored reach; then whether the CRTC is restored, and the screen.
        {"as the run left it",
         false,
         {200, 1824, 768, 1824, 600, 640, 480, 1024, 768},
         {true, 1824, 768}},
        {"alone, as the run left it",
         true,
         {200, 640, 480, 0, 0, 640, 480, 1024, 768},
         {true, 1024, 768}},
        {"the primary turned off",
         false,
         {0, 1824, 600, 1824, 600, 0, 0, 1024, 768},
         {false, 1824, 600}},
        {"the primary given a mode of the user's",
         false,
         {300, 1824, 768, 1824, 600, 800, 600, 1024, 768},
         {false, 1824, 768}},
        {"a monitor added on the right",
         false,
         {200, 3104, 1024, 3104, 1024, 640, 480, 1024, 768},
         {true, 3104, 1024}},
        {"the second monitor turned off, the screen shrunk",
         false,
         {200, 640, 480, 0, 0, 640, 480, 1024, 768},
         {true, 1024, 768}},
        {"alone, a monitor added beside it",
         true,
         {200, 1920, 1024, 1920, 1024, 640, 480, 1024, 768},
         {true, 1920, 1024}},
        {"alone, the screen made larger than the old mode's",
         true,
         {200, 640, 480, 0, 0, 640, 480, 1280, 1024},
         {true, 1280, 1024}},
    };
    for (const auto& c : cases) {
        const RestorePlan plan = planRestore(savedMode(c.alone), c.now);
        EXPECT_EQ(plan.restoreCrtc, c.plan.restoreCrtc) << c.desk;
        EXPECT_EQ(plan.screenWidth, c.plan.screenWidth) << c.desk;
        EXPECT_EQ(plan.screenHeight, c.plan.screenHeight) << c.desk;
    }
}

// Every field comes back as written, negative places included; values of any other length are
// refused without reading past them.
TEST(ModeRecordValues, ReadBackWhatWasWrittenAndRefuseOtherLengths) {
    ModeRecordContents written{};
    SavedDisplayMode& mode = written.original;
    mode = {0x41, 0x42, -800, -600, 1, {0x51, 0x52}, 2, 1824, 768, 481, 203, 0x43, 1904, 880};
    written.holders = {{0x600001, 4242}, {0x800001, 77}};
    const std::vector<long> values = modeRecordValues(written);
    ModeRecordContents read{};
    ASSERT_TRUE(readModeRecordValues(values.data(), values.size(), &read));
    EXPECT_EQ(modeRecordValues(read), values);
    EXPECT_EQ(read.original.x, -800);
    EXPECT_EQ(read.original.changedScreenHeight, 880);
    EXPECT_EQ(read.holders, written.holders);

    const unsigned long header = values.size() - 4;
    std::vector<long> tooManyOutputs = values;
    tooManyOutputs[5] = SAVED_MODE_MAX_OUTPUTS + 1;
    const struct {
        const char* name;
        const std::vector<long>& values;
        unsigned long count;
        bool valid;
    } cases[] = {
        {"no holder", values, header, true},
        {"a holder without its process", values, header + 1, false},
        {"a holder and a half", values, header + 3, false},
        {"too short for the mode", values, header - 1, false},
        {"nothing", values, 0, false},
        {"more outputs than slots", tooManyOutputs, values.size(), false},
    };
    for (const auto& c : cases) {
        // A copy of just `count` values, so that a read past them is a read past the heap block.
        const std::vector<long> exact(c.values.begin(), c.values.begin() + c.count);
        EXPECT_EQ(readModeRecordValues(exact.data(), c.count, &read), c.valid) << c.name;
    }
}

} // namespace
