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

Window makeCover(Display* display, const ScreenArea& area, Cursor cursor) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = True;
    attributes.cursor = cursor;
    const Window cover = XCreateWindow(
        display, RootWindow(display, screen), area.x, area.y, static_cast<unsigned>(area.width),
        static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWBackPixel | CWOverrideRedirect | CWCursor, &attributes);
    XStoreName(display, cover, "Quellmoor cover");
    XMapRaised(display, cover);
    return cover;
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

void watchMonitors(Display* display) {
    XRRSelectInput(display, DefaultRootWindow(display),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
}

bool monitorsChanged(Display* display, const XEvent& event) {
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) {
        return false;
    }
    if (event.type == eventBase + RRScreenChangeNotify) {
        XEvent update = event;
        XRRUpdateConfiguration(&update);
        return true;
    }
    return event.type == eventBase + RRNotify;
}

int updateMonitorCovers(Display* display, Window picture, const ScreenArea& pictureArea,
                        Cursor cursor, CoverSet* covers) {
    // Room for clones and for more CRTCs than covers, which then are picked from all of them.
    ScreenArea monitors[4 * MAX_MONITOR_COVERS];
    ScreenArea wanted[MAX_MONITOR_COVERS];
    const int count =
        monitorsToCover(monitors, litMonitors(display, monitors, 4 * MAX_MONITOR_COVERS),
                        pictureArea, wanted, MAX_MONITOR_COVERS);
    CoverSet next{};
    bool kept[MAX_MONITOR_COVERS] = {};
    bool made = false;
    for (int i = 0; i < count; i++) {
        int old = 0;
        while (old < covers->count && (kept[old] || !same(covers->areas[old], wanted[i]))) {
            old++;
        }
        if (old < covers->count) {
            kept[old] = true;
            next.windows[i] = covers->windows[old];
        } else {
            next.windows[i] = makeCover(display, wanted[i], cursor);
            made = true;
        }
        next.areas[i] = wanted[i];
    }
    next.count = count;
    for (int old = 0; old < covers->count; old++) {
        if (!kept[old]) {
            XDestroyWindow(display, covers->windows[old]);
        }
    }
    if (made) {
        XRaiseWindow(display, picture);
    }
    *covers = next;
    return count;
}
