// The screensaver's window over Wayland: a full-screen xdg toplevel on every output, each at its
// output's size and scale, or the one resizable window of -window; every surface has an EGL
// window surface of the one desktop-GL context. A surface is drawn when the compositor asks for
// a frame, so an output that is not shown costs nothing.
#include "platform/wayland/WaylandBackend.h"

#include "platform/WindowRules.h"
#include "platform/linux/FrameRateOverlay.h"
#include "platform/linux/StartFailure.h"
#include "platform/wayland/ConfigChoice.h"
#include "platform/wayland/WaylandClient.h"

#include "xdg-shell-client-protocol.h"

#include <EGL/eglext.h>
#include <GL/gl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

// The compositor answers a new toplevel with its first configure at once; one that has not in
// this long is not going to.
constexpr int CONFIGURE_WAIT_MILLISECONDS = 5000;
constexpr const char* APP_ID = "quellmoor";

WaylandClient* clientOf(const GlWindow& window) {
    return window.native.session.wayland;
}

// The name the connection was made to, for the messages.
const char* displayName() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name && name[0] ? name : "wayland-0 (WAYLAND_DISPLAY is unset)";
}

void reportLost(WaylandClient& client) {
    const int error = wl_display_get_error(client.display);
    if (error == EPROTO) {
        reportStartFailure(glWindow,
                           "the Wayland compositor ended the connection (protocol error)");
    } else {
        reportStartFailure(glWindow, "the Wayland compositor closed the connection");
    }
    glWindow.native.quitPosted = 1;
    glWindow.native.quitCode = 0;
}

// Reads what the compositor has sent and dispatches it; with `wait`, first waits for something
// to arrive (up to `timeout` milliseconds, -1 for no limit). Returns the count of events
// dispatched, or -1 once the connection is lost (reported).
int dispatchEvents(WaylandClient& client, bool wait, int timeout = -1) {
    wl_display* display = client.display;
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            reportLost(client);
            return -1;
        }
    }
    // A full socket leaves the rest for the next flush; a broken one shows in the read.
    wl_display_flush(display);
    pollfd connection{wl_display_get_fd(display), POLLIN, 0};
    const int ready = poll(&connection, 1, wait ? timeout : 0);
    if (ready > 0) {
        if (wl_display_read_events(display) < 0) {
            reportLost(client);
            return -1;
        }
    } else {
        wl_display_cancel_read(display);
    }
    const int dispatched = wl_display_dispatch_pending(display);
    if (dispatched < 0) {
        reportLost(client);
    }
    return dispatched;
}

// The buffer's size in device pixels.
int32_t bufferWidth(const WaylandSurface& surface) {
    return surface.size.width * surface.size.scale;
}
int32_t bufferHeight(const WaylandSurface& surface) {
    return surface.size.height * surface.size.scale;
}

// Makes the context draw into `surface`, at its size; the projection keeps its aspect of 1
// whatever the shape. With one output the surface stays current from frame to frame, and a
// configure keeps its viewport (applyConfigure): binding it again would only cost a flush.
void makeCurrent(WaylandClient& client, WaylandSurface& surface) {
    if (client.current == &surface) {
        return;
    }
    eglMakeCurrent(client.eglDisplay, surface.eglSurface, surface.eglSurface, client.eglContext);
    // The frame callbacks pace the drawing; a swap that waited for one would stall every other
    // output behind this one.
    eglSwapInterval(client.eglDisplay, 0);
    glViewport(0, 0, bufferWidth(surface), bufferHeight(surface));
    glWindow.width = bufferWidth(surface);
    glWindow.height = bufferHeight(surface);
    client.current = &surface;
}

// The size in use after a configure (SurfaceSize.h); the window starts at 640x480.
void applyConfigure(WaylandSurface& surface) {
    WaylandClient& client = *surface.client;
    surface.size =
        configuredSize(surface.askedWidth, surface.askedHeight, surface.size,
                       surface.output ? &surface.output->mode : nullptr, surface.enteredScale);
    wl_surface_set_buffer_scale(surface.surface, surface.size.scale);
    if (!surface.eglWindow) {
        surface.eglWindow =
            wl_egl_window_create(surface.surface, bufferWidth(surface), bufferHeight(surface));
        surface.eglSurface =
            surface.eglWindow
                ? eglCreateWindowSurface(client.eglDisplay, client.eglConfig,
                                         reinterpret_cast<EGLNativeWindowType>(surface.eglWindow),
                                         nullptr)
                : EGL_NO_SURFACE;
    } else {
        wl_egl_window_resize(surface.eglWindow, bufferWidth(surface), bufferHeight(surface), 0, 0);
        if (client.current == &surface) {
            glViewport(0, 0, bufferWidth(surface), bufferHeight(surface));
            glWindow.width = bufferWidth(surface);
            glWindow.height = bufferHeight(surface);
        }
    }
    surface.configured = 1;
    surface.due = surface.eglSurface != EGL_NO_SURFACE;
}

void shellSurfaceConfigure(void* data, xdg_surface* shellSurface, uint32_t serial) {
    xdg_surface_ack_configure(shellSurface, serial);
    applyConfigure(*static_cast<WaylandSurface*>(data));
}

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    WaylandSurface& surface = *static_cast<WaylandSurface*>(data);
    surface.askedWidth = width;
    surface.askedHeight = height;
}

// The compositor closing any of the surfaces ends the run, as closing the X11 window does.
void toplevelClose(void*, xdg_toplevel*) {
    if (decideWindowAction(glWindow, WINDOW_EVENT_CLOSE) == WINDOW_ACTION_QUIT) {
        glWindow.native.quitPosted = 1;
        glWindow.native.quitCode = 0;
    }
}

void toplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

void frameDone(void* data, wl_callback* callback, uint32_t) {
    WaylandSurface& surface = *static_cast<WaylandSurface*>(data);
    wl_callback_destroy(callback);
    surface.frameCallback = nullptr;
    surface.due = 1;
}

// The window of -window is drawn at the scale of the output it last entered.
void surfaceEnter(void* data, wl_surface*, wl_output* output) {
    WaylandSurface& surface = *static_cast<WaylandSurface*>(data);
    for (const auto& known : surface.client->outputs) {
        if (known->output == output && !surface.output &&
            known->mode.scale != surface.enteredScale) {
            surface.enteredScale = known->mode.scale;
            // Drawn at the new scale from the next frame on.
            applyConfigure(surface);
        }
    }
}

void surfaceLeave(void*, wl_surface*, wl_output*) {}

const wl_callback_listener FRAME_LISTENER = {frameDone};

void makeSurface(WaylandClient& client, WaylandOutput* output) {
    static xdg_surface_listener shellListener{};
    shellListener.configure = shellSurfaceConfigure;
    static xdg_toplevel_listener toplevelListener{};
    toplevelListener.configure = toplevelConfigure;
    toplevelListener.close = toplevelClose;
    toplevelListener.configure_bounds = toplevelBounds;
    toplevelListener.wm_capabilities = toplevelCapabilities;
    static wl_surface_listener surfaceListener{};
    surfaceListener.enter = surfaceEnter;
    surfaceListener.leave = surfaceLeave;

    auto surface = std::make_unique<WaylandSurface>();
    surface->client = &client;
    surface->output = output;
    surface->size = {output ? 1 : glWindow.width, output ? 1 : glWindow.height, 1};
    surface->enteredScale = 1;
    surface->eglSurface = EGL_NO_SURFACE;
    surface->surface = wl_compositor_create_surface(client.compositor);
    wl_surface_add_listener(surface->surface, &surfaceListener, surface.get());
    surface->shellSurface = xdg_wm_base_get_xdg_surface(client.shell, surface->surface);
    xdg_surface_add_listener(surface->shellSurface, &shellListener, surface.get());
    surface->toplevel = xdg_surface_get_toplevel(surface->shellSurface);
    xdg_toplevel_add_listener(surface->toplevel, &toplevelListener, surface.get());
    xdg_toplevel_set_title(surface->toplevel, glWindow.title);
    xdg_toplevel_set_app_id(surface->toplevel, APP_ID);
    if (output) {
        xdg_toplevel_set_fullscreen(surface->toplevel, output->output);
    }
    // The first commit carries no buffer: the compositor answers it with the first configure.
    wl_surface_commit(surface->surface);
    client.surfaces.push_back(std::move(surface));
}

void destroySurface(WaylandClient& client, WaylandSurface& surface) {
    if (client.current == &surface) {
        eglMakeCurrent(client.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, client.eglContext);
        client.current = nullptr;
    }
    if (surface.eglSurface != EGL_NO_SURFACE) {
        eglDestroySurface(client.eglDisplay, surface.eglSurface);
    }
    if (surface.eglWindow) {
        wl_egl_window_destroy(surface.eglWindow);
    }
    if (surface.frameCallback) {
        wl_callback_destroy(surface.frameCallback);
    }
    xdg_toplevel_destroy(surface.toplevel);
    xdg_surface_destroy(surface.shellSurface);
    wl_surface_destroy(surface.surface);
}

void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}
void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        WaylandOutput& output = *static_cast<WaylandOutput*>(data);
        output.mode.width = width;
        output.mode.height = height;
    }
}
void outputDone(void*, wl_output*) {}
void outputName(void*, wl_output*, const char*) {}
void outputDescription(void*, wl_output*, const char*) {}

void outputScale(void* data, wl_output*, int32_t factor) {
    WaylandOutput& output = *static_cast<WaylandOutput*>(data);
    output.mode.scale = factor;
    // A surface already showing follows its output's new scale.
    for (const auto& surface : output.client->surfaces) {
        if (surface->output == &output && surface->configured) {
            applyConfigure(*surface);
        }
    }
}

void bindOutput(WaylandClient& client, uint32_t name, uint32_t version) {
    static wl_output_listener listener{};
    listener.geometry = outputGeometry;
    listener.mode = outputMode;
    listener.done = outputDone;
    listener.scale = outputScale;
    listener.name = outputName;
    listener.description = outputDescription;
    auto output = std::make_unique<WaylandOutput>();
    output->client = &client;
    output->name = name;
    output->mode = {0, 0, 1};
    // Version 2 brought the scale.
    output->output = static_cast<wl_output*>(
        wl_registry_bind(client.registry, name, &wl_output_interface, std::min(version, 2u)));
    wl_output_add_listener(output->output, &listener, output.get());
    client.outputs.push_back(std::move(output));
    // A monitor plugged in during a full-screen run gets its landscape too.
    if (client.windowMade && client.fullScreen) {
        makeSurface(client, client.outputs.back().get());
    }
}

void shellPing(void*, xdg_wm_base* shell, uint32_t serial) {
    xdg_wm_base_pong(shell, serial);
}

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
    WaylandClient& client = *static_cast<WaylandClient*>(data);
    static xdg_wm_base_listener shellListener{};
    shellListener.ping = shellPing;
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !client.compositor &&
        version >= 3) {
        // Version 3 brought the buffer scale.
        client.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 3));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && !client.shell) {
        client.shell =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(client.shell, &shellListener, &client);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        bindWaylandSeat(client, name, version);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        bindOutput(client, name, version);
    }
}

// A monitor unplugged takes its surface with it.
void registryGlobalRemove(void* data, wl_registry*, uint32_t name) {
    WaylandClient& client = *static_cast<WaylandClient*>(data);
    auto output = std::find_if(client.outputs.begin(), client.outputs.end(),
                               [name](const auto& known) { return known->name == name; });
    if (output == client.outputs.end()) {
        return;
    }
    auto& surfaces = client.surfaces;
    for (auto surface = surfaces.begin(); surface != surfaces.end();) {
        if ((*surface)->output == output->get()) {
            destroySurface(client, **surface);
            surface = surfaces.erase(surface);
        } else {
            ++surface;
        }
    }
    client.nextSurface = 0;
    wl_output_destroy((*output)->output);
    client.outputs.erase(output);
}

bool initialiseEgl(GlWindow& window, WaylandClient& client) {
    client.eglDisplay = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, client.display, nullptr);
    EGLint major = 0, minor = 0;
    if (client.eglDisplay == EGL_NO_DISPLAY || !eglInitialize(client.eglDisplay, &major, &minor)) {
        client.eglDisplay = EGL_NO_DISPLAY;
        reportStartFailure(window, "no EGL display on the Wayland compositor at %s", displayName());
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        reportStartFailure(window, "EGL offers no desktop OpenGL on the Wayland compositor at %s",
                           displayName());
        return false;
    }
    for (EGLint depth : {24, 16}) {
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_WINDOW_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     depth,
                                     EGL_NONE};
        EGLConfig configs[64];
        EGLint count = 0;
        if (!eglChooseConfig(client.eglDisplay, attributes, configs, 64, &count) || count < 1) {
            continue;
        }
        ConfigColour colours[64];
        for (EGLint i = 0; i < count; i++) {
            ConfigColour& colour = colours[i];
            colour = {0, 0, 0, 1};
            eglGetConfigAttrib(client.eglDisplay, configs[i], EGL_RED_SIZE, &colour.red);
            eglGetConfigAttrib(client.eglDisplay, configs[i], EGL_GREEN_SIZE, &colour.green);
            eglGetConfigAttrib(client.eglDisplay, configs[i], EGL_BLUE_SIZE, &colour.blue);
            eglGetConfigAttrib(client.eglDisplay, configs[i], EGL_ALPHA_SIZE, &colour.alpha);
        }
        client.eglConfig = configs[chooseConfigColour(colours, count)];
        break;
    }
    if (!client.eglConfig) {
        reportStartFailure(window, "no EGL config for a double-buffered GL window with a depth "
                                   "buffer on the Wayland compositor");
        return false;
    }
    client.eglContext =
        eglCreateContext(client.eglDisplay, client.eglConfig, EGL_NO_CONTEXT, nullptr);
    if (client.eglContext == EGL_NO_CONTEXT) {
        reportStartFailure(window, "no GL context on the Wayland compositor at %s", displayName());
        return false;
    }
    return true;
}

// The next surface that the compositor wants a frame of, from where the last search left off;
// null when there is none.
WaylandSurface* nextDueSurface(WaylandClient& client) {
    const size_t count = client.surfaces.size();
    for (size_t i = 0; i < count; i++) {
        WaylandSurface& surface = *client.surfaces[(client.nextSurface + i) % count];
        if (surface.due && surface.eglSurface != EGL_NO_SURFACE) {
            return &surface;
        }
    }
    return nullptr;
}

// Waits until every surface has had its first configure; false (reported) when the compositor
// goes away or leaves one unconfigured too long.
bool waitForConfigures(GlWindow& window, WaylandClient& client) {
    const uint32_t start = clockMilliseconds();
    for (;;) {
        const bool all = std::all_of(client.surfaces.begin(), client.surfaces.end(),
                                     [](const auto& surface) { return surface->configured; });
        if (all) {
            return true;
        }
        const uint32_t waited = clockMilliseconds() - start;
        if (waited >= CONFIGURE_WAIT_MILLISECONDS) {
            reportStartFailure(window, "the Wayland compositor did not configure the window");
            return false;
        }
        if (dispatchEvents(client, true, static_cast<int>(CONFIGURE_WAIT_MILLISECONDS - waited)) <
            0) {
            return false;
        }
    }
}

} // namespace

bool waylandConnect(GlWindow& window, bool required) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        if (required) {
            reportStartFailure(window, "no Wayland compositor answers at %s", displayName());
        }
        return false;
    }
    WaylandClient* client = new WaylandClient{};
    client->display = display;
    client->eglDisplay = EGL_NO_DISPLAY;
    client->eglContext = EGL_NO_CONTEXT;
    window.native.session.wayland = client;
    window.instance = &window.native.session;
    static const wl_registry_listener registryListener = {registryGlobal, registryGlobalRemove};
    client->registry = wl_display_get_registry(display);
    wl_registry_add_listener(client->registry, &registryListener, client);
    // The first round trip lists the globals, the second brings what the outputs say of
    // themselves.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        if (required) {
            reportStartFailure(window, "the Wayland compositor at %s closed the connection",
                               displayName());
        }
        waylandDestroyWindow(window);
        return false;
    }
    return true;
}

void waylandCreateWindow(GlWindow& window) {
    WaylandClient& client = *clientOf(window);
    NativeWindowState& native = window.native;
    // Wayland lets no program change a monitor's mode: full screen is every output as it is.
    client.fullScreen = window.fullScreen && !native.windowed;
    window.fullScreen = client.fullScreen;
    if (!client.compositor) {
        reportStartFailure(window, "the Wayland compositor at %s offers no wl_compositor 3",
                           displayName());
        return;
    }
    if (!client.shell) {
        reportStartFailure(window, "the Wayland compositor at %s offers no xdg_wm_base",
                           displayName());
        return;
    }
    if (client.fullScreen && client.outputs.empty()) {
        reportStartFailure(window, "the Wayland compositor at %s has no output", displayName());
        return;
    }
    if (!initialiseEgl(window, client)) {
        return;
    }
    if (client.fullScreen) {
        for (const auto& output : client.outputs) {
            makeSurface(client, output.get());
        }
    } else {
        makeSurface(client, nullptr);
    }
    client.windowMade = 1;
    if (!waitForConfigures(window, client)) {
        return;
    }
    WaylandSurface* first = nextDueSurface(client);
    if (!first) {
        reportStartFailure(window, "no EGL window surface on the Wayland compositor at %s",
                           displayName());
        return;
    }
    makeCurrent(client, *first);
}

void waylandDestroyWindow(GlWindow& window) {
    WaylandClient* client = clientOf(window);
    if (!client) {
        return;
    }
    for (const auto& surface : client->surfaces) {
        destroySurface(*client, *surface);
    }
    client->surfaces.clear();
    if (client->eglDisplay != EGL_NO_DISPLAY) {
        eglMakeCurrent(client->eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (client->eglContext != EGL_NO_CONTEXT) {
            eglDestroyContext(client->eglDisplay, client->eglContext);
        }
        eglTerminate(client->eglDisplay);
    }
    releaseWaylandSeat(*client);
    for (const auto& output : client->outputs) {
        wl_output_destroy(output->output);
    }
    client->outputs.clear();
    if (client->shell) {
        xdg_wm_base_destroy(client->shell);
    }
    if (client->compositor) {
        wl_compositor_destroy(client->compositor);
    }
    wl_registry_destroy(client->registry);
    wl_display_flush(client->display);
    wl_display_disconnect(client->display);
    delete client;
    window.native.session.wayland = nullptr;
}

bool waylandWindowReady(const GlWindow& window) {
    const WaylandClient* client = clientOf(window);
    return client && client->current && client->eglContext != EGL_NO_CONTEXT &&
           eglGetCurrentContext() == client->eglContext;
}

// Shows the surface just drawn, asking to hear when the compositor wants the next frame of it,
// with the frame rate over it when asked; the pause comes once no other output waits for its
// frame, so that -delay paces every output as it paces the X11 window.
void waylandSwapBuffers(GlWindow& window) {
    WaylandClient* client = clientOf(window);
    if (!client || !client->current) {
        return;
    }
    WaylandSurface& surface = *client->current;
    NativeWindowState& native = window.native;
    if (native.showFrameRate) {
        surface.frameRate.frameShown(clockMilliseconds());
        drawFrameRate(surface.frameRate.framesPerSecond);
    }
    // A configure makes the surface due before its last frame was answered; one callback at a
    // time keeps the surface from being told of a frame after it is gone.
    if (surface.frameCallback) {
        wl_callback_destroy(surface.frameCallback);
    }
    surface.frameCallback = wl_surface_frame(surface.surface);
    wl_callback_add_listener(surface.frameCallback, &FRAME_LISTENER, &surface);
    surface.due = 0;
    eglSwapBuffers(client->eglDisplay, surface.eglSurface);
    for (size_t i = 0; i < client->surfaces.size(); i++) {
        if (client->surfaces[i].get() == &surface) {
            client->nextSurface = i + 1;
        }
    }
    if (!nextDueSurface(*client)) {
        pauseBetweenFrames(native.frameDelayMicroseconds);
    }
}

// Dispatches what the compositor sent; with nothing left, lets the program draw the next surface
// that wants a frame, made current here; with none, waits for the compositor.
PlatformMessage waylandTakeMessage() {
    NativeWindowState& native = glWindow.native;
    WaylandClient* client = native.session.wayland;
    if (!native.quitPosted && client) {
        if (dispatchEvents(*client, false) > 0) {
            return {1, 0, 0};
        }
        if (!native.quitPosted) {
            WaylandSurface* due = nextDueSurface(*client);
            if (due) {
                makeCurrent(*client, *due);
                return {0, 0, 0};
            }
            dispatchEvents(*client, true);
            return {1, 0, 0};
        }
    }
    if (native.quitPosted) {
        native.quitPosted = 0;
        return {1, 1, native.quitCode};
    }
    return {0, 0, 0};
}
