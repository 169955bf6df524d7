// The window and input rules as the headless backend carries them out: create and destroy
// guarded by `created`, the opens without DirectInput, and release.
#include "platform/GlWindow.h"
#include "platform/InputDevices.h"
#include "platform/headless/HeadlessControl.h"

#include <gtest/gtest.h>

namespace {

class HeadlessBackend : public ::testing::Test {
  protected:
    HeadlessSystem& system = headlessSystem();
    GlWindow& window = glWindow;

    void SetUp() override { resetHeadlessSystem(); }
    void TearDown() override {
        window.destroy();
        delete[] window.title;
        window = GlWindow{};
        resetHeadlessSystem();
    }
};

TEST_F(HeadlessBackend, DestroyBeforeAnyCreateDoesNothing) {
    system.displayModeChanged = 1;
    system.classRegistered = 1;
    window.destroy();
    EXPECT_EQ(system.displayModeChanged, 1);
    EXPECT_EQ(system.classRegistered, 1);
    EXPECT_EQ(system.cursorCount, 0);
}

TEST_F(HeadlessBackend, ASecondCreateOnlyRestartsTheMouseMoveCount) {
    window.create(64, 48, 32, 1, "first");
    ASSERT_TRUE(window.isReady());
    window.mouseMovesLeft = 2;
    window.create(32, 16, 16, 0, "second");
    EXPECT_EQ(window.mouseMovesLeft, 5);
    EXPECT_EQ(system.windowsCreated, 1);
    EXPECT_EQ(window.width, 64);
    EXPECT_EQ(window.fullScreen, 1);
    EXPECT_STREQ(window.title, "first");
    EXPECT_EQ(system.cursorCount, -1);
}

TEST_F(HeadlessBackend, CreateCopiesTheTitleAndDestroyKeepsIt) {
    char title[] = "Quellmoor";
    window.create(64, 48, 32, 1, title);
    title[0] = 'X';
    EXPECT_STREQ(window.title, "Quellmoor");
    EXPECT_EQ(system.window.title, "Quellmoor");
    window.destroy();
    EXPECT_EQ(window.created, 1);
    EXPECT_STREQ(window.title, "Quellmoor");
    EXPECT_FALSE(window.isReady());
}

TEST_F(HeadlessBackend, WithoutDirectInputTheOpensFailAndOnlyTheMouseResetsItsPosition) {
    system.refuseDirectInput = 1;
    window.create(64, 48, 32, 1, "t");
    InputDevices input;
    input.mouseX = 5;
    input.mouseY = -6;
    input.mouseWheel = 7;
    input.createInterface(window.instance);
    EXPECT_EQ(input.directInput, nullptr);
    EXPECT_EQ(input.openKeyboard(window.window, 0), 0);
    EXPECT_EQ(input.openMouse(window.window, 1), 0);
    EXPECT_EQ(input.keyboard, nullptr);
    EXPECT_EQ(input.mouse, nullptr);
    EXPECT_EQ(input.mouseX, 0);
    EXPECT_EQ(input.mouseY, 0);
    EXPECT_EQ(input.mouseWheel, 7);
    EXPECT_EQ(system.cursorCount, -1);
}

TEST_F(HeadlessBackend, OpensAcquireAndReleaseClosesOnce) {
    window.create(64, 48, 32, 0, "t");
    InputDevices input;
    input.createInterface(window.instance);
    system.refuseKeyboard = 1;
    EXPECT_EQ(input.openKeyboard(window.window, 0), 0);
    system.refuseKeyboard = 0;
    EXPECT_EQ(input.openKeyboard(window.window, 0), 1);
    EXPECT_EQ(input.openMouse(window.window, 0), 1);
    EXPECT_EQ(system.keyboard.acquired, 1);
    EXPECT_EQ(system.mouse.acquired, 1);
    // Non-exclusive use leaves the cursor as the window set it.
    EXPECT_EQ(system.cursorCount, 1);

    input.release();
    EXPECT_EQ(input.directInput, nullptr);
    EXPECT_EQ(input.keyboard, nullptr);
    EXPECT_EQ(input.mouse, nullptr);
    EXPECT_EQ(system.directInputOpen, 0);
    EXPECT_EQ(system.keyboard.open, 0);
    EXPECT_EQ(system.mouse.open, 0);
    input.release();
    EXPECT_EQ(system.directInputOpen, 0);
}

} // namespace
