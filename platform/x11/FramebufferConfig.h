// The GLX framebuffer configuration of the window: what a pixel format is on Windows.
#pragma once

#include <GL/glx.h>

// A double-buffered RGBA window configuration with `bits` colour bits (8 per channel from 24 up,
// else whatever colour the screen has) and the deepest depth buffer that is not deeper than
// `bits`, trying `bits`, 24 and 16 and then any depth buffer at all. With `visualId` not 0 only
// configurations of that visual count, for a window that exists already; otherwise those of the
// screen's default depth come first. Null when there is none.
GLXFBConfig chooseFramebufferConfig(Display* display, int screen, int bits, VisualID visualId);
