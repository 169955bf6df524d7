#include "platform/x11/FramebufferConfig.h"

#include <algorithm>

namespace {

// Among configurations sorted best first, the first one that matches the visual asked for, or,
// with none asked, the first one whose visual has the default depth (a deeper visual would make
// the window translucent under a compositor), else the first one.
GLXFBConfig pick(Display* display, int screen, GLXFBConfig* configs, int count, VisualID visualId) {
    GLXFBConfig fallback = nullptr;
    for (int i = 0; i < count; i++) {
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
        if (!visual) {
            continue;
        }
        const bool exact = visualId ? visual->visualid == visualId
                                    : visual->depth == DefaultDepth(display, screen);
        XFree(visual);
        if (exact) {
            return configs[i];
        }
        if (!visualId && !fallback) {
            fallback = configs[i];
        }
    }
    return fallback;
}

GLXFBConfig choose(Display* display, int screen, int colour, int depth, VisualID visualId) {
    const int attributes[] = {GLX_X_RENDERABLE,
                              True,
                              GLX_DRAWABLE_TYPE,
                              GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_X_VISUAL_TYPE,
                              GLX_TRUE_COLOR,
                              GLX_DOUBLEBUFFER,
                              True,
                              GLX_RED_SIZE,
                              colour,
                              GLX_GREEN_SIZE,
                              colour,
                              GLX_BLUE_SIZE,
                              colour,
                              GLX_DEPTH_SIZE,
                              depth,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes, &count);
    if (!configs) {
        return nullptr;
    }
    GLXFBConfig chosen = pick(display, screen, configs, count, visualId);
    XFree(configs);
    return chosen;
}

} // namespace

GLXFBConfig chooseFramebufferConfig(Display* display, int screen, int bits, VisualID visualId) {
    const int channel = std::min(8, bits / 3);
    // The closest configuration: the channel size asked for first, then whatever the screen has
    // (a 16-bit screen offers no 8-bit channels).
    for (int colour : {channel, 1}) {
        for (int depth : {bits, 24, 16, 1}) {
            if (depth > bits) {
                continue;
            }
            GLXFBConfig chosen = choose(display, screen, colour, depth, visualId);
            if (chosen) {
                return chosen;
            }
        }
    }
    return nullptr;
}
