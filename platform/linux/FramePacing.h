// The pacing that XScreenSaver asks of its hacks: a pause after every frame, so that a
// screensaver leaves the machine mostly idle, and the frame rate that -fps shows.
#pragma once

#include <cstdint>
#include <time.h>

// The rate shown is the count of frames over at least this long, so that it reads steadily.
constexpr uint32_t FRAME_RATE_PERIOD_MILLISECONDS = 1000;

struct FrameRateMeter {
    uint32_t periodStart;
    int framesInPeriod;
    int started;
    float framesPerSecond; // 0 until the first period is over

    // Counts a frame shown at `now` (milliseconds of a clock that wraps after 2^32); closes the
    // period and sets the rate once the period is long enough.
    void frameShown(uint32_t now);
};

// The pause of that many microseconds as nanosleep takes it; 0 or less gives a zero pause.
timespec pauseOf(long microseconds);

// Sleeps that long; 0 or less returns at once. A signal may end the pause early, which only
// brings the next frame forward.
void pauseBetweenFrames(long microseconds);
