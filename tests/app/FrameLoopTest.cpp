// The whole program on the headless backend: messages and device records go in through
// HeadlessControl.h, frames are drawn into an EGL pbuffer, and the test watches what happens.
#include "app/Program.h"
#include "platform/GlWindow.h"
#include "platform/headless/EglContext.h"
#include "platform/headless/HeadlessControl.h"
#include "terrain/Flight.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// Far more frames than any test needs: past it the test asks to quit, and says so.
const int FRAME_LIMIT = 40;
const uintptr_t GUARD_CODE = 0xBAD;

DeviceRecord keyRecord(uint32_t code, uint32_t data) {
    return {code, data, 0, 0, 0};
}

HeadlessMessage message(HeadlessMessageKind kind, uintptr_t wParam = 0) {
    return {kind, wParam};
}

struct Pixel {
    int r, g, b;
};

Pixel pixelAt(int x, int y) {
    std::vector<unsigned char> rgba;
    glWindow.native.egl->readPixels(rgba);
    const size_t at = (static_cast<size_t>(y) * glWindow.native.egl->width + x) * 4;
    return {rgba.at(at), rgba.at(at + 1), rgba.at(at + 2)};
}

class ProgramRun : public ::testing::Test {
  protected:
    HeadlessSystem& system = headlessSystem();
    std::function<void(int)> onSwap;
    bool guardFired = false;

    void SetUp() override { resetProgram(); }
    void TearDown() override { resetProgram(); }

    // The program runs once per process and never clears its records; each test here is a
    // fresh run, so it puts them back as they are at load.
    void resetProgram() {
        inputDevices.events.clear();
        inputDevices.mouseX = inputDevices.mouseY = inputDevices.mouseWheel = 0;
        delete[] glWindow.title;
        glWindow = GlWindow{};
        resetHeadlessSystem();
        system.afterSwap = [this](int swaps) {
            if (onSwap) {
                onSwap(swaps);
            }
            if (swaps == FRAME_LIMIT) {
                guardFired = true;
                system.messages.push_back(message(HEADLESS_MESSAGE_QUIT, GUARD_CODE));
            }
        };
    }

    int run(const char* commandLine) {
        int exitCode = runProgram(commandLine);
        EXPECT_FALSE(guardFired) << "the loop did not end by itself";
        return exitCode;
    }

    // Everything the run opened is closed again.
    void expectAllClosed() {
        EXPECT_EQ(system.window.open, 0);
        EXPECT_EQ(glWindow.window, nullptr);
        EXPECT_EQ(system.displayModeChanged, 0);
        EXPECT_EQ(system.classRegistered, 0);
        EXPECT_EQ(system.directInputOpen, 0);
        EXPECT_EQ(system.keyboard.open, 0);
        EXPECT_EQ(system.mouse.open, 0);
        EXPECT_EQ(inputDevices.directInput, nullptr);
        EXPECT_EQ(inputDevices.keyboard, nullptr);
        EXPECT_EQ(inputDevices.mouse, nullptr);
    }
};

TEST_F(ProgramRun, AKeyPressEndsTheLoopAfterItsFrameIsSwapped) {
    system.mouse.buffer({0, 320, 0, 0, 0}); // as Wine queues at start: gone with the first frame
    system.keyboard.buffer(keyRecord(57, 0x80));
    int quitAtSwap = -1;
    onSwap = [&](int) {
        quitAtSwap = glWindow.quit;
        system.keyboard.buffer(keyRecord(30, 0x80));
    };
    EXPECT_EQ(run("/s"), 0);
    EXPECT_EQ(system.swaps, 2);
    EXPECT_EQ(quitAtSwap, 1);
    ASSERT_EQ(inputDevices.events.size(), 1u);
    EXPECT_EQ(inputDevices.events[0].code, 30);
    expectAllClosed();
}

TEST_F(ProgramRun, OpensTheFullScreenWindowAndBothDevicesAndDrawsSkyAndGround) {
    Pixel sky{}, ground{};
    int cursorWhileRunning = 99;
    onSwap = [&](int swaps) {
        EXPECT_TRUE(glWindow.isReady());
        EXPECT_EQ(system.keyboard.acquired, 1);
        EXPECT_EQ(system.mouse.acquired, 1);
        sky = pixelAt(320, 0);
        ground = pixelAt(320, 479);
        cursorWhileRunning = system.cursorCount;
        if (swaps == 2) {
            system.mouse.buffer({12, 0x80, 0, 0, 0});
        }
    };
    EXPECT_EQ(run("/S"), 0);
    EXPECT_EQ(system.swaps, 3);
    EXPECT_EQ(system.windowsCreated, 1);
    EXPECT_EQ(system.window.title, "Quellmoor");
    EXPECT_EQ(system.window.bordered, 0);
    EXPECT_EQ(system.window.width, 640);
    EXPECT_EQ(system.window.height, 480);
    EXPECT_EQ(system.displayWidth, 640);
    EXPECT_EQ(system.displayHeight, 480);
    EXPECT_EQ(system.displayBits, 32);
    EXPECT_EQ(cursorWhileRunning, -1);
    EXPECT_EQ(system.cursorCount, 0);
    EXPECT_EQ(glWindow.fullScreen, 1);
    // The sky is the clear colour; the ground in front of the camera is drawn over it.
    EXPECT_NEAR(sky.r, 128, 1);
    EXPECT_NEAR(sky.g, 128, 1);
    EXPECT_EQ(sky.b, 255);
    EXPECT_FALSE(ground.r == sky.r && ground.g == sky.g && ground.b == sky.b);
    expectAllClosed();
}

TEST_F(ProgramRun, TheViewerFliesByTheClock) {
    const uint32_t clocks[] = {0, 123456789, 0xFFFFFFFFu};
    for (uint32_t clock : clocks) {
        SCOPED_TRACE(clock);
        resetProgram();
        system.clock = clock;
        onSwap = [&](int) { system.keyboard.buffer(keyRecord(1, 0x80)); };
        run("-s");
        Viewer expected;
        placeOnCircle(expected, clock);
        EXPECT_EQ(viewer.x, expected.x);
        EXPECT_EQ(viewer.y, expected.y);
        EXPECT_EQ(viewer.heading, expected.heading);
        EXPECT_EQ(viewer.samplesPerRay, 150);
        if (clock == 0) {
            // Where the camera jumps to when the clock wraps around.
            EXPECT_EQ(viewer.x, 588.0f);
            EXPECT_EQ(viewer.y, 299.0f);
        }
    }
}

TEST_F(ProgramRun, QuitMessagesEndTheLoopAtOnceWithTheirCode) {
    struct Case {
        const char* name;
        std::vector<HeadlessMessage> messages;
        int exitCode;
    };
    const Case cases[] = {
        {"a quit message", {message(HEADLESS_MESSAGE_QUIT, 7)}, 7},
        {"a key down", {message(HEADLESS_MESSAGE_KEY_DOWN, 0x41)}, 0},
        {"a close", {message(HEADLESS_MESSAGE_CLOSE, 3)}, 0},
        {"the fifth mouse move",
         std::vector<HeadlessMessage>(5, message(HEADLESS_MESSAGE_MOUSE_MOVE, 1)), 0},
        {"the queue is drained before any frame",
         {message(HEADLESS_MESSAGE_OTHER, 1), message(HEADLESS_MESSAGE_SCREENSAVE, 2),
          message(HEADLESS_MESSAGE_OTHER, 3), message(HEADLESS_MESSAGE_QUIT, 4)},
         4},
        {"a quit asked for comes after the messages already posted",
         {message(HEADLESS_MESSAGE_KEY_DOWN, 0x20), message(HEADLESS_MESSAGE_OTHER, 9)},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetProgram();
        system.messages.assign(c.messages.begin(), c.messages.end());
        EXPECT_EQ(run("/s"), c.exitCode);
        EXPECT_EQ(system.swaps, 0);
        EXPECT_TRUE(system.messages.empty());
        EXPECT_EQ(system.windowsCreated, 1);
        expectAllClosed();
    }
}

TEST_F(ProgramRun, FourMouseMovesDoNotEndTheLoopTheFifthDoes) {
    system.messages.assign(4, message(HEADLESS_MESSAGE_MOUSE_MOVE, 1));
    onSwap = [&](int swaps) {
        if (swaps == 3) {
            system.messages.push_back(message(HEADLESS_MESSAGE_MOUSE_MOVE, 1));
        }
    };
    EXPECT_EQ(run("/s"), 0);
    EXPECT_EQ(system.swaps, 3);
}

TEST_F(ProgramRun, TheScreensaveCommandIsSwallowed) {
    system.messages.push_back(message(HEADLESS_MESSAGE_SCREENSAVE, 0xF140));
    onSwap = [&](int swaps) {
        if (swaps == 2) {
            system.messages.push_back(message(HEADLESS_MESSAGE_QUIT, 5));
        }
    };
    EXPECT_EQ(run("/s"), 5);
    EXPECT_EQ(system.swaps, 2);
}

TEST_F(ProgramRun, EndingOnInputGivesTheLastMessagesCodeOrZero) {
    system.messages.push_back(message(HEADLESS_MESSAGE_OTHER, 42));
    onSwap = [&](int) { system.mouse.buffer({0, static_cast<uint32_t>(-3), 0, 0, 0}); };
    EXPECT_EQ(run("/s"), 42);
    EXPECT_EQ(system.swaps, 2);

    resetProgram();
    onSwap = [&](int) { system.mouse.buffer({8, 120, 0, 0, 0}); };
    EXPECT_EQ(run("/s"), 0);
    EXPECT_EQ(system.swaps, 2);
}

TEST_F(ProgramRun, DevicesThatCannotDeliverYieldNothing) {
    struct Case {
        const char* name;
        int refuseDirectInput, refuseKeyboard, refuseMouse, refuseAcquire;
    };
    const Case cases[] = {
        {"no DirectInput", 1, 0, 0, 0},
        {"no keyboard and no mouse", 0, 1, 1, 0},
        {"devices not acquired", 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetProgram();
        system.refuseDirectInput = c.refuseDirectInput;
        system.refuseKeyboard = c.refuseKeyboard;
        system.refuseMouse = c.refuseMouse;
        system.keyboard.refuseAcquire = system.mouse.refuseAcquire = c.refuseAcquire;
        system.keyboard.buffer(keyRecord(2, 0x80));
        system.mouse.buffer({4, 1, 0, 0, 0});
        onSwap = [&](int swaps) {
            if (swaps == 2) {
                system.messages.push_back(message(HEADLESS_MESSAGE_CLOSE));
            }
        };
        EXPECT_EQ(run("/s"), 0);
        EXPECT_EQ(system.swaps, 2);
        expectAllClosed();
    }
}

TEST_F(ProgramRun, ARefusedDisplayModeFallsBackToABorderedWindow) {
    system.refuseDisplayMode = 1;
    int cursorWhileRunning = 99;
    Pixel sky{};
    onSwap = [&](int) {
        cursorWhileRunning = system.cursorCount;
        sky = pixelAt(0, 0);
        system.messages.push_back(message(HEADLESS_MESSAGE_KEY_DOWN, 0x1B));
    };
    EXPECT_EQ(run("/s"), 0);
    EXPECT_EQ(system.swaps, 1);
    EXPECT_EQ(glWindow.fullScreen, 0);
    EXPECT_EQ(system.window.bordered, 1);
    EXPECT_EQ(system.window.width, 644);
    EXPECT_EQ(system.window.height, 504);
    EXPECT_EQ(sky.b, 255);
    EXPECT_EQ(cursorWhileRunning, 1);
    // The cursor is not shown a second time when the window goes.
    EXPECT_EQ(system.cursorCount, 1);
    expectAllClosed();
}

TEST_F(ProgramRun, WithoutWindowOrGlContextTheProgramEndsAtOnce) {
    struct Case {
        const char* name;
        int refuseWindow, refuseGlContext, refuseDisplayMode;
    };
    const Case cases[] = {
        {"no window", 1, 0, 0},
        {"no GL context", 0, 1, 0},
        {"no GL context in the bordered window", 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetProgram();
        system.refuseWindow = c.refuseWindow;
        system.refuseGlContext = c.refuseGlContext;
        system.refuseDisplayMode = c.refuseDisplayMode;
        // A loop that ran anyway would take this message and end with its code.
        system.messages.push_back(message(HEADLESS_MESSAGE_QUIT, 9));
        EXPECT_EQ(run("/s"), 0);
        EXPECT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.swaps, 0);
        EXPECT_EQ(system.directInputOpen, 0);
        EXPECT_EQ(system.keyboard.acquireCalls + system.mouse.acquireCalls, 0);
        // Given back in full screen; shown for good in a window, as in a normal run.
        EXPECT_EQ(system.cursorCount, c.refuseDisplayMode);
        expectAllClosed();
    }
}

TEST_F(ProgramRun, SwitchesDecideWithoutOpeningAWindow) {
    struct Case {
        const char* commandLine;
        int aboutBoxes;
    };
    const Case cases[] = {
        {"", 1},      {" \t\n", 1},   {"/c", 1}, {"/c:1234", 1}, {"-C", 1}, {"\"\\c\"", 1},
        {"/s /c", 1}, {"/p 1234", 0}, {"/a", 0}, {"/l", 0},      {"/P", 0}, {"-preview", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        resetProgram();
        system.keyboard.buffer(keyRecord(30, 0x80));
        EXPECT_EQ(run(c.commandLine), 0);
        EXPECT_EQ(system.aboutBoxes, c.aboutBoxes);
        EXPECT_EQ(system.windowsCreated, 0);
        EXPECT_EQ(system.displayModeChanged, 0);
        EXPECT_EQ(system.directInputOpen, 0);
        EXPECT_EQ(system.swaps, 0);
    }
}

TEST_F(ProgramRun, TheAboutBoxNamesTheAuthor) {
    run("/c");
    EXPECT_EQ(system.aboutCaption, "Lumivane");
    EXPECT_EQ(system.aboutText, "This screensaver was written by Tamsel Varrow.\n"
                                "You can contact me at (tamsel.varrow@quellmoor.example).");
}

} // namespace
