// Faults injected into a whole run: missing, broken and odd image files, devices that fail to
// open, and input arriving faster than the devices' buffers hold. Each run must take its
// documented course, and the frames show flat ground or the checkerboard where they should.
#include "ProgramHarness.h"
#include "tests/gl/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

const int FRAME_LIMIT = 12;
const uintptr_t LIMIT_CODE = 0x5EED;
const char MAP[] = "quellmoorMap.tga";
const char TEXTURE[] = "quellmoorTex.tga";

// The rows at the bottom of the 640 x 480 frame, which always show the ground just ahead.
const int GROUND_FIRST_ROW = 400;
const int FRAME_WIDTH = 640;
const int FRAME_HEIGHT = 480;

struct GroundBand {
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    int sky = 0;      // pixels of the clear colour
    int magenta = 0;  // the checkerboard's dark squares: red, no green
    int neutral = 0;  // its light squares: red, green and blue alike
    int greenish = 0; // the uniform texture of these tests: green over red over blue

    int spread() const {
        int widest = 0;
        for (int c = 0; c < 3; ++c) {
            widest = std::max(widest, high[c] - low[c]);
        }
        return widest;
    }
};

GroundBand groundBand(const std::vector<unsigned char>& rgba) {
    GroundBand band;
    if (rgba.size() != static_cast<size_t>(FRAME_WIDTH) * FRAME_HEIGHT * 4) {
        return band;
    }
    for (int row = GROUND_FIRST_ROW; row < FRAME_HEIGHT; ++row) {
        for (int column = 0; column < FRAME_WIDTH; ++column) {
            const unsigned char* p = &rgba[(static_cast<size_t>(row) * FRAME_WIDTH + column) * 4];
            const int r = p[0], g = p[1], b = p[2];
            for (int c = 0; c < 3; ++c) {
                band.low[c] = std::min<int>(band.low[c], p[c]);
                band.high[c] = std::max<int>(band.high[c], p[c]);
            }
            band.sky += std::abs(r - 128) <= 1 && std::abs(g - 128) <= 1 && b == 255;
            band.magenta += r > 60 && g * 8 < r;
            band.neutral += r > 60 && std::abs(r - g) <= 12 && std::abs(g - b) <= 40;
            band.greenish += g > r + 20 && r > b + 20;
        }
    }
    return band;
}

void writeUniformTexture() {
    ASSERT_TRUE(writeTga(TEXTURE, 8, 8, 3, [](int, int, int c) {
        return c == 0 ? 100 : c == 1 ? 160 : 60;
    }));
}

// Gentle hills and hollows, about two units high, repeating every 32 texels.
void writeHillyMap() {
    ASSERT_TRUE(writeTga(MAP, 64, 64, 1, [](int column, int row, int) {
        const double turn = 2.0 * 3.141592653589793 / 32.0;
        return static_cast<int>(128.0 + 120.0 * std::sin(column * turn) * std::cos(row * turn));
    }));
}

void writeBytes(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

class FaultInjection : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(directory.ready());
        resetProgram();
    }
    void TearDown() override { resetProgram(); }

    // Runs a few frames and returns the ground as the second frame shows it; the run must end by
    // the quit posted after the last frame, with everything closed again.
    GroundBand groundOfARun() {
        std::vector<unsigned char> second;
        const int exitCode = runScreensaver(3, LIMIT_CODE, [&](int frame) {
            if (frame == 2) {
                second = framePixels();
            }
        });
        EXPECT_EQ(exitCode, static_cast<int>(LIMIT_CODE));
        EXPECT_EQ(system.swaps, 3);
        EXPECT_EQ(system.window.open, 0);
        EXPECT_EQ(system.displayModeChanged, 0);
        return groundBand(second);
    }

    ScratchDirectory directory;
    HeadlessSystem& system = headlessSystem();
};

TEST_F(FaultInjection, TheControlRunShowsHillsUnderTheGivenTexture) {
    writeHillyMap();
    writeUniformTexture();
    const GroundBand band = groundOfARun();
    EXPECT_TRUE(viewer.terrain.heightMap.isLoaded());
    EXPECT_EQ(band.sky, 0);
    EXPECT_EQ(band.magenta, 0);
    EXPECT_GT(band.greenish, 0);
    // Slopes facing the light and away from it shade differently.
    EXPECT_GT(band.spread(), 8);
}

TEST_F(FaultInjection, HeightMapsThatGiveNoReliefLeaveFlatGround) {
    struct Case {
        const char* name;
        std::function<void()> writeMap;
        bool loads;
    };
    const Case cases[] = {
        {"missing", [] {}, false},
        {"garbage bytes", [] { writeBytes(MAP, std::string("\x89PNG\r\n\x1a\n", 8) + "IHDR"); },
         false},
        {"a header claiming 32767 x 32767 over a few bytes",
         [] {
             writeBytes(MAP,
                        std::string("\0\0\3\0\0\0\0\0\0\0\0\0\xff\x7f\xff\x7f\x08\0", 18) + "abc");
         },
         false},
        {"1 x 1", [] { ASSERT_TRUE(writeTga(MAP, 1, 1, 1, [](int, int, int) { return 200; })); },
         true},
    };
    int flatColour[3] = {-1, -1, -1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(MAP);
        c.writeMap();
        writeUniformTexture();
        resetProgram();
        const GroundBand band = groundOfARun();
        EXPECT_EQ(viewer.terrain.heightMap.isLoaded(), c.loads);
        EXPECT_EQ(band.sky, 0);
        EXPECT_GT(band.greenish, 0);
        // Level ground under one light takes one colour, whatever its height.
        EXPECT_LE(band.spread(), 1);
        if (flatColour[0] < 0) {
            std::copy(band.low, band.low + 3, flatColour);
        }
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_NEAR(band.low[ch], flatColour[ch], 1) << "channel " << ch;
        }
    }
}

TEST_F(FaultInjection, TexturesThatCannotBeShownGiveTheCheckerboard) {
    struct Case {
        const char* name;
        std::function<void()> writeTexture;
    };
    const Case cases[] = {
        {"missing", [] {}},
        {"empty", [] { writeBytes(TEXTURE, ""); }},
        {"text", [] { writeBytes(TEXTURE, "this is not a picture, whatever its name says\n"); }},
        {"a PNG file",
         [] { writeBytes(TEXTURE, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)); }},
        {"a header cut short",
         [] { writeBytes(TEXTURE, std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x08", 13)); }},
        {"run-length compressed",
         [] {
             writeBytes(TEXTURE, std::string("\0\0\x0a\0\0\0\0\0\0\0\0\0\x02\0\x02\0\x18\0", 18) +
                                     std::string(12, '\x40'));
         }},
        {"grey",
         [] {
             ASSERT_TRUE(
                 writeTga(TEXTURE, 8, 8, 1, [](int column, int, int) { return column * 30; }));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(TEXTURE);
        c.writeTexture();
        writeHillyMap();
        resetProgram();
        const GroundBand band = groundOfARun();
        EXPECT_EQ(band.sky, 0);
        EXPECT_EQ(band.greenish, 0);
        EXPECT_GT(band.magenta, 0);
        EXPECT_GT(band.neutral, 0);
    }
}

TEST_F(FaultInjection, OneDeviceFailingLeavesTheOtherToEndTheRun) {
    struct Case {
        const char* name;
        int refuseKeyboard, refuseMouse;
    };
    const Case cases[] = {{"no keyboard", 1, 0}, {"no mouse", 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetProgram();
        system.refuseKeyboard = c.refuseKeyboard;
        system.refuseMouse = c.refuseMouse;
        const int exitCode = runScreensaver(FRAME_LIMIT, LIMIT_CODE, [&](int frame) {
            // Both devices get a record; only the open one delivers it.
            if (frame == 4) {
                system.keyboard.buffer({30, 0x80, 0, 0, 0});
                system.mouse.buffer({12, 0x80, 0, 0, 0});
            }
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(system.swaps, 5);
        ASSERT_EQ(inputDevices.events.size(), 1u);
        EXPECT_EQ(inputDevices.events[0].code, c.refuseKeyboard ? EVENT_MOUSE_BUTTON0 : 30);
        // The refused device was never read.
        EXPECT_EQ((c.refuseKeyboard ? system.keyboard : system.mouse).records.size(), 1u);
        EXPECT_EQ(system.keyboard.open + system.mouse.open, 0);
    }
}

TEST_F(FaultInjection, InputFasterThanTheBuffersEndsTheRunAfterOneFrame) {
    struct Case {
        const char* name;
        size_t keyRecords, mouseRecords;
        bool pastTheDeviceLimit; // delivered as a burst that ignores the device's own limit
        size_t events;
    };
    const Case cases[] = {
        {"100 key presses, the surplus dropped", 100, 0, false, 16},
        {"100 clicks, the surplus dropped", 0, 100, false, 16},
        {"a burst of 1000 on each device", 1000, 1000, true, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetProgram();
        const int exitCode = runScreensaver(FRAME_LIMIT, LIMIT_CODE, [&](int frame) {
            if (frame != 3) {
                return;
            }
            for (size_t i = 0; i < c.keyRecords; ++i) {
                const DeviceRecord key = {static_cast<uint32_t>(2 + i % 80), 0x80, 0, 0, 0};
                c.pastTheDeviceLimit ? system.keyboard.records.push_back(key)
                                     : system.keyboard.buffer(key);
            }
            for (size_t i = 0; i < c.mouseRecords; ++i) {
                const DeviceRecord click = {static_cast<uint32_t>(12 + i % 4), 0x80, 0, 0, 0};
                c.pastTheDeviceLimit ? system.mouse.records.push_back(click)
                                     : system.mouse.buffer(click);
            }
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(system.swaps, 4);
        // One poll takes at most 16 records a device and makes one event of each.
        EXPECT_EQ(inputDevices.events.size(), c.events);
        EXPECT_EQ(system.keyboard.records.size(),
                  c.pastTheDeviceLimit ? c.keyRecords - INPUT_BUFFER_RECORDS : 0u);
    }
}

} // namespace
