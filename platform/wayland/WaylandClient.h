// The state of a Wayland run, shared by the backend's window and input halves: the connection,
// the compositor's globals, one surface per output (or the one window), the EGL context that
// they all share, and the seat's devices.
#pragma once

#include "platform/InputDevices.h"
#include "platform/linux/FramePacing.h"
#include "platform/linux/RawInputRecords.h"
#include "platform/wayland/SeatRecords.h"
#include "platform/wayland/SurfaceSize.h"

#include <EGL/egl.h>

#include <cstdint>
#include <memory>
#include <vector>

struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_egl_window;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_surface;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct WaylandClient;

struct WaylandOutput {
    WaylandClient* client;
    wl_output* output;
    uint32_t name; // the registry's name, which its removal names
    // Its current mode and scale; the scale is 1 until the compositor says.
    OutputMode mode;
};

struct WaylandSurface {
    WaylandClient* client;
    // The output that the surface fills; null for the window of -window.
    WaylandOutput* output;
    wl_surface* surface;
    xdg_surface* shellSurface;
    xdg_toplevel* toplevel;
    wl_egl_window* eglWindow;
    EGLSurface eglSurface;
    wl_callback* frameCallback;
    // The size that the last toplevel configure asked, in surface units (0 leaves it to us), and
    // the size and scale in use since its acknowledgement.
    int32_t askedWidth;
    int32_t askedHeight;
    SurfaceSize size;
    // The scale of the output that the window last entered (-window follows it).
    int32_t enteredScale;
    int configured;
    // The compositor wants a frame: after each configure and each frame callback.
    int due;
    FrameRateMeter frameRate;
};

struct WaylandDevice : LinuxInputDevice {
    int open;
    RecordQueue queue;
};

struct WaylandInput : LinuxInputConnection {
    WaylandDevice keyboard;
    WaylandDevice mouse;
    uint32_t sequence;
    PointerTrack pointer;
};

struct WaylandClient {
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    xdg_wm_base* shell;
    wl_seat* seat;
    wl_keyboard* keyboard;
    wl_pointer* pointer;
    std::vector<std::unique_ptr<WaylandOutput>> outputs;
    std::vector<std::unique_ptr<WaylandSurface>> surfaces;
    EGLDisplay eglDisplay;
    EGLConfig eglConfig;
    EGLContext eglContext;
    // The surface that the context draws into now, and where the search for the next due
    // surface starts, so that every output gets its turn.
    WaylandSurface* current;
    size_t nextSurface;
    // One surface on every output, each full screen, rather than one window.
    int fullScreen;
    // Surfaces are made for outputs that appear from then on.
    int windowMade;
    WaylandInput input;
};

// Binds the seat named in the registry and listens to its keyboard and pointer.
void bindWaylandSeat(WaylandClient& client, uint32_t name, uint32_t version);
// Lets go of the seat's devices and the seat.
void releaseWaylandSeat(WaylandClient& client);
