// Black windows over every monitor but the primary while the primary runs at the screensaver's
// own mode, so that no screen goes on showing the desktop, also one plugged in during the run.
#pragma once

#include "platform/GlWindow.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The main window's procedure: input over a cover counts as input over the main window.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the covers follow the monitors as they stand now: a cover for each monitor that has none,
// and none left over a monitor that is gone or has moved. A cover is a topmost window that never
// takes the foreground from the main window (DirectInput reads only while that window has it). A
// monitor that overlaps the primary, a mirror of it that Wine reports as a monitor of its own, is
// covered only outside the primary, where it would show the desktop. Cheap when nothing changed, so
// it can run every frame: Wine sends no WM_DISPLAYCHANGE for a monitor plugged in or turned off.
// Leaves the covers as they were when memory runs out.
void updateMonitorCovers(GlWindow& window);

// Destroys the covers, if any; safe to call when there are none.
void removeMonitorCovers(GlWindow& window);
