#include "platform/x11/FramebufferConfig.h"

#include <algorithm>
#include <vector>

namespace {

GLXFBConfig pick(Display* display, int screen, GLXFBConfig* configs, int count, VisualID visualId) {
    std::vector<ConfigVisual> visuals(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
        if (visual) {
            visuals[static_cast<size_t>(i)] = {true, visual->visualid, visual->depth};
            XFree(visual);
        } else {
            visuals[static_cast<size_t>(i)] = {false, 0, 0};
        }
    }
    const int chosen =
        chooseConfigIndex(visuals.data(), count, visualId, DefaultDepth(display, screen));
    return chosen >= 0 ? configs[chosen] : nullptr;
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

int chooseConfigIndex(const ConfigVisual* visuals, int count, VisualID visualId, int defaultDepth) {
    int fallback = -1;
    for (int i = 0; i < count; i++) {
        if (!visuals[i].present) {
            continue;
        }
        const bool exact =
            visualId ? visuals[i].visualId == visualId : visuals[i].depth == defaultDepth;
        if (exact) {
            return i;
        }
        if (!visualId && fallback < 0) {
            fallback = i;
        }
    }
    return fallback;
}

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
