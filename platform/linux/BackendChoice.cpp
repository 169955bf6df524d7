#include "platform/linux/BackendChoice.h"

LinuxBackendPlan planLinuxBackend(LinuxBackendRequest request, bool targetRequested,
                                  const char* waylandDisplay, bool waylandBuilt) {
    switch (request) {
    case LINUX_BACKEND_X11:
        return LINUX_PLAN_X11;
    case LINUX_BACKEND_WAYLAND:
        if (!waylandBuilt) {
            return LINUX_PLAN_REFUSE_UNBUILT;
        }
        return targetRequested ? LINUX_PLAN_REFUSE_X_WINDOW : LINUX_PLAN_WAYLAND;
    case LINUX_BACKEND_ANY:
        break;
    }
    const bool named = waylandDisplay && waylandDisplay[0] != '\0';
    return waylandBuilt && named && !targetRequested ? LINUX_PLAN_WAYLAND_ELSE_X11 : LINUX_PLAN_X11;
}
