// A small helper process that gives up the program's hold on the display mode (ModeRecord.h),
// putting the mode back when no other instance holds it, however the program ends: normally,
// on a crash, on a signal that cannot be caught, or when its X connection breaks. Code in a
// crashing process cannot safely talk to the X server; a separate process with its own
// connection can.
#pragma once

#include "platform/linux/NativeTypes.h"

// Starts the guard of `holder`, the window through which the program holds the display mode
// (ModeRecord.h), on the display called `displayName`. Returns 1 on success, 0 when no process
// could be started (nothing is left running then).
int startModeGuard(const char* displayName, unsigned long holder, ModeGuard* guard);

// Has the guard give the mode up now and waits until it has done so and ended.
void finishModeGuard(ModeGuard* guard);
