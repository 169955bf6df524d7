// Black windows over every monitor that does not show the picture, so that a full-screen run on
// several monitors leaves nothing of the desktop in view.
#pragma once

#include "platform/x11/NativeTypes.h"

#include <X11/Xlib.h>

struct ScreenArea {
    int x;
    int y;
    int width;
    int height;
};

// The monitors among `monitors` that need a cover: every one but those lying wholly inside
// `picture` (the picture's own, and a clone of it), each area once, at most `capacity` of them.
// Returns how many it wrote to `covers`.
int monitorsToCover(const ScreenArea* monitors, int count, const ScreenArea& picture,
                    ScreenArea* covers, int capacity);

// Maps a borderless black window that the window manager leaves alone, showing `cursor`, over
// every lit CRTC that monitorsToCover picks, as the monitors are now. Returns how many it made
// (their ids in `windows`, at most MAX_MONITOR_COVERS); 0 on one monitor.
int coverOtherMonitors(Display* display, const ScreenArea& picture, Cursor cursor,
                       unsigned long* windows);

// Destroys the covers and sets `count` to 0.
void removeMonitorCovers(Display* display, unsigned long* windows, int* count);
