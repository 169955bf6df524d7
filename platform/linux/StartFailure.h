// The one line that a Linux run that cannot happen, or cannot go on, writes before it ends with
// a failure status.
#pragma once

struct GlWindow;

// Writes "quellmoor: REASON" on stderr, once: the user who started the run, or XScreenSaver,
// which shows a hack's error output on the screen, learns why there is no picture. Sets
// window.native.startFailed, which makes the entry point end with status 1.
__attribute__((format(printf, 2, 3))) void reportStartFailure(GlWindow& window, const char* format,
                                                              ...);
