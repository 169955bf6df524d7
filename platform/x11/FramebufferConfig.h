// The GLX framebuffer configuration of the window: what a pixel format is on Windows.
#pragma once

#include <GL/glx.h>

// A double-buffered RGBA window configuration with `bits` colour bits (8 per channel from 24 up,
// else whatever colour the screen has) and the deepest depth buffer that is not deeper than
// `bits`, trying `bits`, 24 and 16 and then any depth buffer at all. With `visualId` not 0 only
// configurations of that visual count, for a window that exists already; otherwise those of the
// screen's default depth come first. Null when there is none.
GLXFBConfig chooseFramebufferConfig(Display* display, int screen, int bits, VisualID visualId);

// What the choice needs to know of a configuration's visual; `present` is false when the
// configuration has none.
struct ConfigVisual {
    bool present;
    VisualID visualId;
    int depth;
};

// Among configurations sorted best first: the first whose visual is `visualId` when one is asked
// for (and none otherwise); with none asked, the first whose visual has the screen's default depth
// (a deeper visual would make the window translucent under a compositor), else the first with a
// visual. The index, or -1.
int chooseConfigIndex(const ConfigVisual* visuals, int count, VisualID visualId, int defaultDepth);
