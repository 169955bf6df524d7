// Black windows over every monitor that does not show the picture, so that a full-screen run on
// several monitors leaves nothing of the desktop in view, also of monitors that come, go or
// change while it runs.
#pragma once

#include "platform/x11/CoverSet.h"

#include <X11/Xlib.h>

// The monitors among `monitors` that need a cover: every lit one (of some size) but those lying
// wholly inside `picture` (the picture's own, and a clone of it), each area once, at most
// `capacity` of them.
// Returns how many it wrote to `covers`.
int monitorsToCover(const ScreenArea* monitors, int count, const ScreenArea& picture,
                    ScreenArea* covers, int capacity);

// Has the server report every change of the monitors (CRTCs, outputs, the screen size) to this
// connection, so that monitorsChanged sees them.
void watchMonitors(Display* display);

// True for a report of watchMonitors; the screen's new size is passed on to Xlib.
bool monitorsChanged(Display* display, const XEvent& event);

// Makes `covers` the borderless black windows that the window manager leaves alone, showing
// `cursor`, over every lit CRTC that monitorsToCover picks for the picture at `pictureArea`, as
// the monitors are now: a cover still needed stays, one of a monitor gone or moved is destroyed
// once its successors are up, and `picture` is raised over new ones (a cover of a larger clone
// must not hide it). Returns how many covers there are; 0 on one monitor. The covers belong to
// the connection: they go when it closes, however the program ends.
int updateMonitorCovers(Display* display, Window picture, const ScreenArea& pictureArea,
                        Cursor cursor, CoverSet* covers);
