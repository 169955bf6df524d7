// The Linux program's choice of display system: Wayland only where it was built, asked for or
// offered by WAYLAND_DISPLAY, and never when an X window is given to draw into.
#include "platform/linux/BackendChoice.h"

#include <gtest/gtest.h>

namespace {

TEST(BackendChoice, FollowsTheRequestTheXWindowAndWaylandDisplay) {
    struct Case {
        LinuxBackendRequest request;
        bool target;
        const char* waylandDisplay;
        bool built;
        LinuxBackendPlan plan;
    } cases[] = {
        {LINUX_BACKEND_ANY, false, "wayland-1", true, LINUX_PLAN_WAYLAND_ELSE_X11},
        {LINUX_BACKEND_ANY, false, nullptr, true, LINUX_PLAN_X11},
        {LINUX_BACKEND_ANY, false, "", true, LINUX_PLAN_X11},
        {LINUX_BACKEND_ANY, true, "wayland-1", true, LINUX_PLAN_X11},
        {LINUX_BACKEND_ANY, false, "wayland-1", false, LINUX_PLAN_X11},
        {LINUX_BACKEND_X11, false, "wayland-1", true, LINUX_PLAN_X11},
        {LINUX_BACKEND_WAYLAND, false, nullptr, true, LINUX_PLAN_WAYLAND},
        {LINUX_BACKEND_WAYLAND, false, "wayland-1", true, LINUX_PLAN_WAYLAND},
        {LINUX_BACKEND_WAYLAND, true, "wayland-1", true, LINUX_PLAN_REFUSE_X_WINDOW},
        {LINUX_BACKEND_WAYLAND, false, "wayland-1", false, LINUX_PLAN_REFUSE_UNBUILT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(planLinuxBackend(c.request, c.target, c.waylandDisplay, c.built), c.plan)
            << c.request << " target " << c.target << " WAYLAND_DISPLAY "
            << (c.waylandDisplay ? c.waylandDisplay : "unset") << " built " << c.built;
    }
}

} // namespace
