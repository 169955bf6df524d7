// The frame rate that -fps shows: frames counted over at least a second, right across the clock's
// wrap, and nothing shown before the first second has passed. The pause that -delay asks for.
#include "platform/linux/FramePacing.h"
#include "app/LinuxArguments.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Shows `frames` frames `interval` milliseconds apart, from `start` on.
FrameRateMeter showFrames(uint32_t start, int frames, uint32_t interval) {
    FrameRateMeter meter{};
    for (int i = 0; i < frames; i++) {
        meter.frameShown(start + static_cast<uint32_t>(i) * interval);
    }
    return meter;
}

TEST(FrameRateMeter, CountsFramesOverEachSecond) {
    struct Case {
        uint32_t start;
        int frames;
        uint32_t interval;
        float rate;
    } cases[] = {
        {0, 1, 40, 0.0f},
        {0, 25, 40, 0.0f},  // 960 ms: the first second is not over
        {0, 26, 40, 25.0f}, // 1000 ms
        {1000, 51, 20, 50.0f},
        {0, 3, 700, 1.0f / 1.4f * 2.0f},            // two frames over 1400 ms
        {UINT32_MAX - 500, 32, 33, 31.0f / 1.023f}, // across the wrap
    };
    for (const Case& c : cases) {
        const FrameRateMeter meter = showFrames(c.start, c.frames, c.interval);
        EXPECT_NEAR(meter.framesPerSecond, c.rate, 0.01f) << c.start << " " << c.frames;
    }
}

TEST(FrameRateMeter, StartsAFreshPeriodAfterEachRate) {
    FrameRateMeter meter = showFrames(0, 11, 100); // 10 frames over the first second
    EXPECT_NEAR(meter.framesPerSecond, 10.0f, 0.01f);
    for (uint32_t t = 1050; t <= 2000; t += 50) {
        meter.frameShown(t);
    }
    EXPECT_NEAR(meter.framesPerSecond, 20.0f, 0.01f);
}

TEST(FramePacing, PausesForEveryDelayAllowed) {
    const struct {
        long microseconds;
        time_t seconds;
        long nanoseconds;
    } cases[] = {
        {-1, 0, 0},
        {0, 0, 0},
        {1, 0, 1000},
        {LINUX_DEFAULT_DELAY_MICROSECONDS, 0, 30000000},
        {999999, 0, 999999000},
        {LINUX_MAXIMUM_DELAY_MICROSECONDS, 1, 0},
        {2500001, 2, 500001000},
    };
    for (const auto& c : cases) {
        const timespec pause = pauseOf(c.microseconds);
        EXPECT_EQ(pause.tv_sec, c.seconds) << c.microseconds;
        EXPECT_EQ(pause.tv_nsec, c.nanoseconds) << c.microseconds;
    }
}

} // namespace
