#include "platform/x11/DisplayMode.h"

#include "platform/x11/ErrorTrap.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <vector>

namespace {

// The pixel size of the screen's default depth, as the server stores it.
int bitsPerPixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; i++) {
        if (formats[i].depth == depth) {
            bits = formats[i].bits_per_pixel;
        }
    }
    if (formats) {
        XFree(formats);
    }
    return bits;
}

RROutput chosenOutput(Display* display, Window root, XRRScreenResources* resources) {
    RROutput primary = XRRGetOutputPrimary(display, root);
    for (int pass = 0; pass < 2; pass++) {
        for (int i = 0; i < resources->noutput; i++) {
            RROutput output = resources->outputs[i];
            if (pass == 0 && output != primary) {
                continue;
            }
            XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
            const bool lit = info && info->connection == RR_Connected && info->crtc != 0;
            if (info) {
                XRRFreeOutputInfo(info);
            }
            if (lit) {
                return output;
            }
        }
    }
    return 0;
}

// The output's modes, in its order, with the sizes the screen resources give them.
RRMode modeOfSize(XRRScreenResources* resources, XRROutputInfo* output, int width, int height) {
    std::vector<ListedMode> listed;
    for (int i = 0; i < output->nmode; i++) {
        for (int j = 0; j < resources->nmode; j++) {
            const XRRModeInfo& mode = resources->modes[j];
            if (mode.id == output->modes[i]) {
                listed.push_back({mode.id, static_cast<int>(mode.width),
                                  static_cast<int>(mode.height),
                                  (mode.modeFlags & RR_Interlace) != 0});
            }
        }
    }
    return chooseModeOfSize(listed.data(), static_cast<int>(listed.size()), width, height);
}

int activeCrtcCount(Display* display, XRRScreenResources* resources) {
    int active = 0;
    for (int i = 0; i < resources->ncrtc; i++) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (crtc && crtc->mode != 0) {
            active++;
        }
        if (crtc) {
            XRRFreeCrtcInfo(crtc);
        }
    }
    return active;
}

void currentScreenSize(Display* display, Window root, int* width, int* height) {
    // The root window's geometry is read from the server, so it is current even when this
    // connection has not seen the latest size change.
    Window ignoredRoot;
    int x, y;
    unsigned int w = 0, h = 0, border, depth;
    XGetGeometry(display, root, &ignoredRoot, &x, &y, &w, &h, &border, &depth);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
}

int scaledMillimetres(int millimetres, int pixels, int oldPixels) {
    if (oldPixels <= 0) {
        return millimetres;
    }
    return static_cast<int>(static_cast<long>(millimetres) * pixels / oldPixels);
}

// Trying a mode change the server refuses leaves the display unchanged, so the trap's verdict is
// the whole story.
bool setCrtc(Display* display, XRRScreenResources* resources, RRCrtc crtc, int x, int y,
             RRMode mode, Rotation rotation, RROutput* outputs, int outputCount) {
    ErrorTrap trap(display);
    Status status = XRRSetCrtcConfig(display, resources, crtc, CurrentTime, x, y, mode, rotation,
                                     outputs, outputCount);
    return trap.succeeded() && status == RRSetConfigSuccess;
}

bool setScreenSize(Display* display, Window root, int width, int height, int widthMm,
                   int heightMm) {
    ErrorTrap trap(display);
    XRRSetScreenSize(display, root, width, height, widthMm, heightMm);
    return trap.succeeded();
}

// The desk at the end of a run, as far as a restore must know it.
struct DeskAtRestore {
    unsigned long crtcMode; // what the run's CRTC shows now; 0 when it is off
    int screenWidth;
    int screenHeight;
    // How far right and down the run's CRTC reaches as it is now, and once given its old mode
    // back. Every other lit CRTC lies within the screen already.
    int crtcRight;
    int crtcBottom;
    int restoredRight;
    int restoredBottom;
};

struct RestorePlan {
    bool restoreCrtc;
    int screenWidth;
    int screenHeight;
};

// What a restore does with the desk the user has now. The CRTC gets its old mode back only while
// it still shows the run's mode: one the user turned off or set otherwise during the run stays as
// it is. The screen gets its old size back only while it has the run's size; otherwise it keeps
// the user's. Either way it grows to hold the CRTC.
RestorePlan planRestore(const SavedDisplayMode& saved, const DeskAtRestore& desk) {
    RestorePlan plan{};
    plan.restoreCrtc = desk.crtcMode != 0 && desk.crtcMode == saved.changedMode;
    const bool runsSize = desk.screenWidth == saved.changedScreenWidth &&
                          desk.screenHeight == saved.changedScreenHeight;
    const int crtcRight = plan.restoreCrtc ? desk.restoredRight : desk.crtcRight;
    const int crtcBottom = plan.restoreCrtc ? desk.restoredBottom : desk.crtcBottom;
    plan.screenWidth = std::max(runsSize ? saved.screenWidth : desk.screenWidth, crtcRight);
    plan.screenHeight = std::max(runsSize ? saved.screenHeight : desk.screenHeight, crtcBottom);
    return plan;
}

// The run's CRTC as it is now, and as `saved` would have it back.
DeskAtRestore deskAtRestore(Display* display, Window root, XRRScreenResources* resources,
                            const SavedDisplayMode& saved) {
    DeskAtRestore desk{};
    currentScreenSize(display, root, &desk.screenWidth, &desk.screenHeight);
    // A CRTC that has gone meanwhile has no info (the error is harmless), as one that is off.
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, saved.crtc);
    if (crtc && crtc->mode) {
        desk.crtcMode = crtc->mode;
        desk.crtcRight = crtc->x + static_cast<int>(crtc->width);
        desk.crtcBottom = crtc->y + static_cast<int>(crtc->height);
    }
    if (crtc) {
        XRRFreeCrtcInfo(crtc);
    }
    // The old mode is upright (no other was changed), so its size is the CRTC's.
    for (int i = 0; i < resources->nmode; i++) {
        if (resources->modes[i].id == saved.mode) {
            desk.restoredRight = saved.x + static_cast<int>(resources->modes[i].width);
            desk.restoredBottom = saved.y + static_cast<int>(resources->modes[i].height);
        }
    }
    return desk;
}

} // namespace

unsigned long chooseModeOfSize(const ListedMode* modes, int count, int width, int height) {
    unsigned long interlaced = 0;
    for (int i = 0; i < count; i++) {
        if (modes[i].width != width || modes[i].height != height) {
            continue;
        }
        if (!modes[i].interlaced) {
            return modes[i].id;
        }
        if (!interlaced) {
            interlaced = modes[i].id;
        }
    }
    return interlaced;
}

int changeDisplayMode(Display* display, int width, int height, int bits, SavedDisplayMode* saved,
                      ModeArea* area) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 2)) {
        return 0;
    }
    const int screen = DefaultScreen(display);
    const int depth = DefaultDepth(display, screen);
    if (bits != depth && bits != bitsPerPixel(display, depth)) {
        return 0;
    }
    const Window root = RootWindow(display, screen);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) {
        return 0;
    }
    int result = 0;
    RROutput output = chosenOutput(display, root, resources);
    XRROutputInfo* outputInfo = output ? XRRGetOutputInfo(display, resources, output) : nullptr;
    XRRCrtcInfo* crtc = outputInfo ? XRRGetCrtcInfo(display, resources, outputInfo->crtc) : nullptr;
    RRMode mode = outputInfo ? modeOfSize(resources, outputInfo, width, height) : 0;
    const bool upright = crtc && (crtc->rotation & (RR_Rotate_0 | RR_Rotate_180));
    if (mode && upright && crtc->noutput <= SAVED_MODE_MAX_OUTPUTS) {
        SavedDisplayMode before{};
        before.crtc = outputInfo->crtc;
        before.mode = crtc->mode;
        before.x = crtc->x;
        before.y = crtc->y;
        before.rotation = crtc->rotation;
        before.outputCount = crtc->noutput;
        std::copy(crtc->outputs, crtc->outputs + crtc->noutput, before.outputs);
        currentScreenSize(display, root, &before.screenWidth, &before.screenHeight);
        before.screenWidthMm = DisplayWidthMM(display, screen);
        before.screenHeightMm = DisplayHeightMM(display, screen);

        // Alone on the screen the output moves to the corner and the screen shrinks to the mode,
        // as a full-screen mode change does on a single monitor; beside other outputs it keeps
        // its place and the screen keeps its size.
        const bool alone = activeCrtcCount(display, resources) == 1;
        const int x = alone ? 0 : crtc->x;
        const int y = alone ? 0 : crtc->y;
        if (setCrtc(display, resources, before.crtc, x, y, mode, crtc->rotation, crtc->outputs,
                    crtc->noutput)) {
            if (alone) {
                setScreenSize(
                    display, root, width, height,
                    scaledMillimetres(before.screenWidthMm, width, before.screenWidth),
                    scaledMillimetres(before.screenHeightMm, height, before.screenHeight));
            }
            before.changedMode = mode;
            before.changedScreenWidth = alone ? width : before.screenWidth;
            before.changedScreenHeight = alone ? height : before.screenHeight;
            *saved = before;
            area->x = x;
            area->y = y;
            result = 1;
        }
    }
    if (crtc) {
        XRRFreeCrtcInfo(crtc);
    }
    if (outputInfo) {
        XRRFreeOutputInfo(outputInfo);
    }
    XRRFreeScreenResources(resources);
    return result;
}

void restoreDisplayMode(Display* display, const SavedDisplayMode& saved) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) {
        return;
    }
    const DeskAtRestore desk = deskAtRestore(display, root, resources, saved);
    const RestorePlan plan = planRestore(saved, desk);
    const int widthMm = DisplayWidthMM(display, screen),
              heightMm = DisplayHeightMM(display, screen);
    // The millimetres follow the pixels, but the old size gets its own millimetres back.
    const auto resize = [&](int width, int height) {
        const bool old = width == saved.screenWidth && height == saved.screenHeight;
        setScreenSize(
            display, root, width, height,
            old ? saved.screenWidthMm : scaledMillimetres(widthMm, width, desk.screenWidth),
            old ? saved.screenHeightMm : scaledMillimetres(heightMm, height, desk.screenHeight));
    };
    // The screen must hold the CRTC at every step: grow it first, put the CRTC back, then bring
    // the screen to its planned size.
    const int largerWidth = std::max(desk.screenWidth, plan.screenWidth);
    const int largerHeight = std::max(desk.screenHeight, plan.screenHeight);
    if (largerWidth != desk.screenWidth || largerHeight != desk.screenHeight) {
        resize(largerWidth, largerHeight);
    }
    if (plan.restoreCrtc) {
        RROutput outputs[SAVED_MODE_MAX_OUTPUTS];
        std::copy(saved.outputs, saved.outputs + saved.outputCount, outputs);
        setCrtc(display, resources, saved.crtc, saved.x, saved.y, saved.mode, saved.rotation,
                outputs, saved.outputCount);
    }
    if (largerWidth != plan.screenWidth || largerHeight != plan.screenHeight) {
        resize(plan.screenWidth, plan.screenHeight);
    }
    XRRFreeScreenResources(resources);
}
