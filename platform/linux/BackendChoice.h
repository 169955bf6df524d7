// Which display system a Linux run uses, decided from what the entry point asks and what the
// environment offers. Plain code: the attempt to reach a compositor is the caller's.
#pragma once

#include "platform/linux/NativeTypes.h"

enum LinuxBackendPlan {
    LINUX_PLAN_X11,              // X11 only
    LINUX_PLAN_WAYLAND_ELSE_X11, // Wayland when the compositor answers, X11 otherwise
    LINUX_PLAN_WAYLAND,          // Wayland or a failure: it was asked for by name
    LINUX_PLAN_REFUSE_UNBUILT,   // Wayland asked for in a build without it
    LINUX_PLAN_REFUSE_X_WINDOW,  // Wayland asked for, yet an X window given to draw into
};

// A window of someone else's to draw into is an X window, so it means X11 unless Wayland was
// asked for by name, which cannot draw there. Otherwise a WAYLAND_DISPLAY that names something
// (`waylandDisplay` set and not empty) is tried first.
LinuxBackendPlan planLinuxBackend(LinuxBackendRequest request, bool targetRequested,
                                  const char* waylandDisplay, bool waylandBuilt);
