// Black windows over every monitor but the primary while the primary runs at the screensaver's
// own mode, so that no screen goes on showing the desktop.
#pragma once

#include "platform/GlWindow.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The main window's procedure: input over a cover counts as input over the main window.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Covers each monitor as it stands now, after the mode change has moved them, with a topmost
// window that never takes the foreground from the main window (DirectInput reads only while that
// window has it). A monitor that overlaps the primary, one mirroring it, stays uncovered, since a
// topmost cover there would hide the picture.
void coverOtherMonitors(GlWindow& window);

// Destroys the covers, if any; safe to call when there are none.
void removeMonitorCovers(GlWindow& window);
