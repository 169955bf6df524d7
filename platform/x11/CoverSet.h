// The black windows that a full-screen run keeps over the monitors beside the picture's, and the
// areas they cover. Free of Xlib, so that the window's state (NativeTypes.h) can hold it.
#pragma once

// At most this many monitors are covered beside the picture's.
enum { MAX_MONITOR_COVERS = 16 };

struct ScreenArea {
    int x;
    int y;
    int width;
    int height;
};

struct CoverSet {
    unsigned long windows[MAX_MONITOR_COVERS];
    ScreenArea areas[MAX_MONITOR_COVERS];
    int count;
};
