// Which of the EGL configs that match the window's needs to draw with. Plain code with no EGL
// calls.
#pragma once

#include <cstdint>

// The sizes of a config's colour channels in bits.
struct ConfigColour {
    int32_t red;
    int32_t green;
    int32_t blue;
    int32_t alpha;
};

// The index of the config to draw with among `count` in EGL's order: the first with 8 bits of red,
// green and blue and no alpha, as the X11 window's visual has (EGL lists deeper colours first, and
// a 10-bit buffer only costs the software rasterizer time: the pictures are 8-bit); else the first
// without alpha (alpha below 1 would let the desktop show through); else the first. -1 when
// `count` is not positive.
int chooseConfigColour(const ConfigColour* configs, int count);
