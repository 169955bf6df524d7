// Which monitors a full-screen run covers, and the covers themselves (XRandR CRTCs).
#include "platform/x11/MonitorCovers.h"

#include <X11/extensions/Xrandr.h>

namespace {

bool inside(const ScreenArea& area, const ScreenArea& outer) {
    return area.x >= outer.x && area.y >= outer.y && area.x + area.width <= outer.x + outer.width &&
           area.y + area.height <= outer.y + outer.height;
}

bool same(const ScreenArea& a, const ScreenArea& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The areas of the CRTCs as the server has them now; one that is off has none.
int litMonitors(Display* display, ScreenArea* monitors, int capacity) {
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) {
        return 0;
    }
    int count = 0;
    for (int i = 0; i < resources->ncrtc && count < capacity; i++) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (crtc) {
            monitors[count++] = {crtc->x, crtc->y, static_cast<int>(crtc->width),
                                 static_cast<int>(crtc->height)};
            XRRFreeCrtcInfo(crtc);
        }
    }
    XRRFreeScreenResources(resources);
    return count;
}

} // namespace

int monitorsToCover(const ScreenArea* monitors, int count, const ScreenArea& picture,
                    ScreenArea* covers, int capacity) {
    int made = 0;
    for (int i = 0; i < count && made < capacity; i++) {
        bool known =
            monitors[i].width <= 0 || monitors[i].height <= 0 || inside(monitors[i], picture);
        for (int j = 0; j < made && !known; j++) {
            known = same(covers[j], monitors[i]);
        }
        if (!known) {
            covers[made++] = monitors[i];
        }
    }
    return made;
}

int coverOtherMonitors(Display* display, const ScreenArea& picture, Cursor cursor) {
    // Room for clones and for more CRTCs than covers, which then are picked from all of them.
    ScreenArea monitors[4 * MAX_MONITOR_COVERS];
    ScreenArea covers[MAX_MONITOR_COVERS];
    const int count =
        monitorsToCover(monitors, litMonitors(display, monitors, 4 * MAX_MONITOR_COVERS), picture,
                        covers, MAX_MONITOR_COVERS);
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = True;
    attributes.cursor = cursor;
    for (int i = 0; i < count; i++) {
        const Window cover =
            XCreateWindow(display, RootWindow(display, screen), covers[i].x, covers[i].y,
                          static_cast<unsigned>(covers[i].width),
                          static_cast<unsigned>(covers[i].height), 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWBackPixel | CWOverrideRedirect | CWCursor, &attributes);
        XStoreName(display, cover, "Quellmoor cover");
        XMapRaised(display, cover);
    }
    return count;
}
