#include "platform/linux/FramePacing.h"

void FrameRateMeter::frameShown(uint32_t now) {
    if (!started) {
        started = 1;
        periodStart = now;
        framesInPeriod = 0;
        return;
    }
    framesInPeriod++;
    // Unsigned difference: right across the clock's wrap.
    const uint32_t elapsed = now - periodStart;
    if (elapsed >= FRAME_RATE_PERIOD_MILLISECONDS) {
        framesPerSecond = static_cast<float>(framesInPeriod * 1000.0 / elapsed);
        periodStart = now;
        framesInPeriod = 0;
    }
}

timespec pauseOf(long microseconds) {
    timespec pause{};
    if (microseconds > 0) {
        pause.tv_sec = microseconds / 1000000;
        pause.tv_nsec = (microseconds % 1000000) * 1000;
    }
    return pause;
}

void pauseBetweenFrames(long microseconds) {
    if (microseconds <= 0) {
        return;
    }
    const timespec pause = pauseOf(microseconds);
    nanosleep(&pause, nullptr);
}
