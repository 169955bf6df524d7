// A small helper process that puts the display mode back however the program ends: normally,
// on a crash, on a signal that cannot be caught, or when its X connection breaks. Code in a
// crashing process cannot safely talk to the X server; a separate process with its own
// connection can.
#pragma once

#include "platform/x11/DisplayMode.h"
#include "platform/x11/NativeTypes.h"

// Starts the guard for `saved` on the display called `displayName`. Returns 1 on success, 0 when
// no process could be started (nothing is left running then).
int startModeGuard(const char* displayName, const SavedDisplayMode& saved, ModeGuard* guard);

// Has the guard restore the mode now and waits until it has done so and ended.
void finishModeGuard(ModeGuard* guard);
