// The primary monitor's mode: switched for a full-screen run and given back at its end, on that
// one monitor only, so that whatever else the user changed on the desk during the run stays.
#pragma once

#include "platform/GlWindow.h"

// Records the primary's device and its mode, then switches it to WIDTH x HEIGHT at BITS for this
// run only. False, with nothing changed, when the mode cannot be had, when Windows names no
// primary (then there would be no mode to give back), or when another monitor mirrors the
// primary (Wine would take the mirror apart for good).
bool switchPrimaryMode(GlWindow& window, int width, int height, int bits);

// Whether the recorded device still shows the run's picture: a monitor of the run's size at the
// origin. False once the user has turned that monitor off or given it another mode.
bool primaryShowsRunMode(const GlWindow& window);

// Gives the recorded device its mode back while it shows the run's picture (a monitor turned off
// stays off, one given another mode keeps it). Monitors added, moved or turned off meanwhile are
// left as they are. Wine 8 refuses every mode change of a process that has seen a monitor
// plugged in since its own last change, so there the primary keeps the run's mode.
void restorePrimaryMode(GlWindow& window);
