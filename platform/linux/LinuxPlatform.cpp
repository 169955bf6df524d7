// The platform interface of the Linux product: one set of calls, served by the backend that the
// window chose when it was made, each backend's state kept in its own structures.
#include "platform/GlWindow.h"
#include "platform/InputBackend.h"
#include "platform/InputDevices.h"
#include "platform/Platform.h"
#include "platform/linux/BackendChoice.h"
#include "platform/linux/StartFailure.h"
#include "platform/x11/X11Backend.h"
#ifdef QUELLMOOR_WAYLAND
#include "platform/wayland/WaylandBackend.h"
#endif

#include <cstdlib>

namespace {

struct LinuxBackend {
    void (*createWindow)(GlWindow&);
    void (*destroyWindow)(GlWindow&);
    bool (*windowReady)(const GlWindow&);
    void (*swapBuffers)(GlWindow&);
    PlatformMessage (*takeMessage)();
    void (*createInputInterface)(InputDevices&, NativeInstance);
    int (*openKeyboard)(InputDevices&, NativeWindow);
    int (*openMouse)(InputDevices&, NativeWindow);
    void (*releaseInput)(InputDevices&);
    void (*acquireInputDevice)(NativeInputDevice);
    void (*readInputDevice)(NativeInputDevice, DeviceRecord*, uint32_t);
    void (*discardInputDevice)(NativeInputDevice);
};

const LinuxBackend X11_BACKEND = {
    x11CreateWindow, x11DestroyWindow,        x11WindowReady,     x11SwapBuffers,
    x11TakeMessage,  x11CreateInputInterface, x11OpenKeyboard,    x11OpenMouse,
    x11ReleaseInput, x11AcquireInputDevice,   x11ReadInputDevice, x11DiscardInputDevice,
};

#ifdef QUELLMOOR_WAYLAND
const LinuxBackend WAYLAND_BACKEND = {
    waylandCreateWindow,       waylandDestroyWindow,   waylandWindowReady,
    waylandSwapBuffers,        waylandTakeMessage,     waylandCreateInputInterface,
    waylandOpenKeyboard,       waylandOpenMouse,       waylandReleaseInput,
    waylandAcquireInputDevice, waylandReadInputDevice, waylandDiscardInputDevice,
};
constexpr bool WAYLAND_BUILT = true;
#else
constexpr bool WAYLAND_BUILT = false;
#endif

// X11 until the window chooses: nothing is asked of the backend before the window is made.
const LinuxBackend* backend = &X11_BACKEND;

// The backend that the plan leads to, or null when the run cannot happen (said why).
const LinuxBackend* chooseBackend(GlWindow& window, LinuxBackendPlan plan) {
    switch (plan) {
    case LINUX_PLAN_X11:
        return &X11_BACKEND;
    case LINUX_PLAN_REFUSE_UNBUILT:
        reportStartFailure(window, "this build has no Wayland backend; --x11 or no option runs it "
                                   "on X11");
        return nullptr;
    case LINUX_PLAN_REFUSE_X_WINDOW:
        reportStartFailure(window, "--wayland cannot draw into the X window given by %s",
                           window.native.targetSource);
        return nullptr;
    case LINUX_PLAN_WAYLAND_ELSE_X11:
    case LINUX_PLAN_WAYLAND:
        break;
    }
#ifdef QUELLMOOR_WAYLAND
    if (waylandConnect(window, plan == LINUX_PLAN_WAYLAND)) {
        return &WAYLAND_BACKEND;
    }
#endif
    return plan == LINUX_PLAN_WAYLAND ? nullptr : &X11_BACKEND;
}

} // namespace

void GlWindow::create(int width, int height, int bits, int fullScreen, const char* title) {
    if (!beginCreate(width, height, bits, fullScreen, title)) {
        return;
    }
    const LinuxBackendPlan plan =
        planLinuxBackend(native.backendRequest, native.targetRequested != 0,
                         std::getenv("WAYLAND_DISPLAY"), WAYLAND_BUILT);
    const LinuxBackend* chosen = chooseBackend(*this, plan);
    if (!chosen) {
        this->fullScreen = 0;
        return;
    }
    backend = chosen;
    backend->createWindow(*this);
}

void GlWindow::destroy() {
    backend->destroyWindow(*this);
}

bool GlWindow::isReady() const {
    return backend->windowReady(*this);
}

void GlWindow::swapBuffers() {
    backend->swapBuffers(*this);
}

PlatformMessage takeMessage() {
    return backend->takeMessage();
}

void InputDevices::createInterface(NativeInstance instance) {
    backend->createInputInterface(*this, instance);
}

// Input is always shared with every other client: exclusive use, which the program never asks
// for, is not offered.
int InputDevices::openKeyboard(NativeWindow window, int) {
    return backend->openKeyboard(*this, window);
}

int InputDevices::openMouse(NativeWindow window, int) {
    return backend->openMouse(*this, window);
}

void InputDevices::release() {
    backend->releaseInput(*this);
}

void acquireInputDevice(NativeInputDevice device) {
    backend->acquireInputDevice(device);
}

void readInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity) {
    backend->readInputDevice(device, records, capacity);
}

void discardInputDevice(NativeInputDevice device) {
    backend->discardInputDevice(device);
}
