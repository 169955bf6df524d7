// Black windows over every monitor that does not show the picture, so that a full-screen run on
// several monitors leaves nothing of the desktop in view.
#pragma once

#include <X11/Xlib.h>

// At most this many monitors are covered beside the picture's.
enum { MAX_MONITOR_COVERS = 16 };

struct ScreenArea {
    int x;
    int y;
    int width;
    int height;
};

// The monitors among `monitors` that need a cover: every lit one (of some size) but those lying
// wholly inside `picture` (the picture's own, and a clone of it), each area once, at most
// `capacity` of them.
// Returns how many it wrote to `covers`.
int monitorsToCover(const ScreenArea* monitors, int count, const ScreenArea& picture,
                    ScreenArea* covers, int capacity);

// Maps a borderless black window that the window manager leaves alone, showing `cursor`, over
// every lit CRTC that monitorsToCover picks, as the monitors are now. Returns how many it made;
// 0 on one monitor. The covers belong to the connection: they go when it closes, however the
// program ends.
int coverOtherMonitors(Display* display, const ScreenArea& picture, Cursor cursor);
