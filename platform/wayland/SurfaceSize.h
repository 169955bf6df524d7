// The size and scale that a surface takes after a configure. Plain code with no Wayland calls.
#pragma once

#include <cstdint>

// A surface's size in surface units and the scale of its buffer: the buffer is `scale` times as
// large each way, so that the picture is drawn at the output's pixels.
struct SurfaceSize {
    int32_t width;
    int32_t height;
    int32_t scale;
};

// What an output says of itself: its current mode in pixels (0 while unknown) and its scale.
struct OutputMode {
    int32_t width;
    int32_t height;
    int32_t scale;
};

// The size that the compositor asked (0 for either leaves it to us) wins; otherwise a full-screen
// surface (`fullScreenOn` its output) fills its output's mode, and a window keeps `current`. The
// scale is the full-screen output's, or for a window `windowScale`, the scale of the output it
// last entered. Scales below 1 count as 1, and no side is below 1.
SurfaceSize configuredSize(int32_t askedWidth, int32_t askedHeight, SurfaceSize current,
                           const OutputMode* fullScreenOn, int32_t windowScale);
