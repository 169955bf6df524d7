// The screensaver's window over Xlib and GLX: the display-mode change through XRandR with its
// window fallback, or a window that another program made (XScreenSaver's) to draw into.
#include "platform/x11/X11Backend.h"

#include "platform/linux/FrameRateOverlay.h"
#include "platform/linux/StartFailure.h"
#include "platform/x11/DisplayMode.h"
#include "platform/x11/ErrorTrap.h"
#include "platform/x11/FramebufferConfig.h"
#include "platform/x11/ModeGuard.h"
#include "platform/x11/ModeRecord.h"
#include "platform/x11/MonitorCovers.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

namespace {

// What the window procedure hears of its own window: keys, pointer motion, and the map.
const long OWN_WINDOW_EVENTS = KeyPressMask | PointerMotionMask | StructureNotifyMask;
// A window manager maps a new window in its own time; focus and grabs wait this long for it.
const uint32_t MAP_WAIT_MILLISECONDS = 1000;

Cursor makeInvisibleCursor(Display* display, Window window) {
    const char empty = 0;
    Pixmap bitmap = XCreateBitmapFromData(display, window, &empty, 1, 1);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(display, bitmap);
    return cursor;
}

void waitUntilMapped(Display* display, Window window) {
    const uint32_t start = clockMilliseconds();
    XEvent event;
    for (;;) {
        XFlush(display);
        if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) {
            return;
        }
        const uint32_t waited = clockMilliseconds() - start;
        if (waited >= MAP_WAIT_MILLISECONDS) {
            return;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (poll(&connection, 1, static_cast<int>(MAP_WAIT_MILLISECONDS - waited)) > 0) {
            XEventsQueued(display, QueuedAfterReading);
        }
    }
}

// Name, class, the close request, and for the bordered window a fixed size at the corner.
void describeWindow(GlWindow& window, Display* display) {
    XStoreName(display, window.window, window.title);
    XClassHint classHint;
    char name[] = "quellmoor";
    char className[] = "tamsel";
    classHint.res_name = name;
    classHint.res_class = className;
    XSetClassHint(display, window.window, &classHint);
    Atom protocols[] = {window.native.deleteWindowAtom};
    XSetWMProtocols(display, window.window, protocols, 1);
    if (!window.fullScreen) {
        XSizeHints* size = XAllocSizeHints();
        size->flags = PPosition | PMinSize | PMaxSize;
        size->x = 0;
        size->y = 0;
        size->min_width = size->max_width = window.width;
        size->min_height = size->max_height = window.height;
        XSetWMNormalHints(display, window.window, size);
        XFree(size);
    }
}

// The GL drawable and context for the window, made current; left null when GLX refuses.
void makeGlContext(GlWindow& window, Display* display, GLXFBConfig config) {
    window.deviceContext = glXCreateWindow(display, config, window.window, nullptr);
    window.glContext = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    if (window.deviceContext && window.glContext) {
        glXMakeContextCurrent(display, window.deviceContext, window.deviceContext,
                              window.glContext);
    }
}

// Framebuffer configurations and GLX windows came with GLX 1.3.
bool hasGlx(Display* display) {
    int errorBase = 0, eventBase = 0, major = 0, minor = 0;
    return glXQueryExtension(display, &errorBase, &eventBase) &&
           glXQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 3));
}

// Changes the display mode and puts the window over it, past the window manager. The window is
// the instance's mark in the mode record (ModeRecord.h), so it exists before the mode changes.
// When the mode cannot be set, or nothing could give it back after a crash, the window stays a
// bordered one. `area` is where the window goes. The guard starts first, so that a signal that
// ends the program the moment the mode has changed still leaves someone to give it back; a guard
// whose holder never entered the record has nothing to do.
void takeFullScreen(GlWindow& window, Display* display, ModeArea& area) {
    if (!startModeGuard(DisplayString(display), window.window, &window.native.modeGuard)) {
        window.fullScreen = 0;
        return;
    }
    if (!holdDisplayMode(display, window.window, window.width, window.height, window.bits, &area)) {
        finishModeGuard(&window.native.modeGuard);
        window.fullScreen = 0;
        return;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XChangeWindowAttributes(display, window.window, CWOverrideRedirect, &attributes);
    XMoveWindow(display, window.window, area.x, area.y);
}

// Full screen when the mode can be set (a window over the whole mode, past the window manager,
// with the pointer and keyboard grabbed, the cursor hidden and every other monitor covered);
// otherwise a bordered window of the asked client size with the cursor left alone.
void createOwnWindow(GlWindow& window, Display* display) {
    NativeWindowState& native = window.native;
    const int screen = DefaultScreen(display);
    // The pixel format comes before the window here: X fixes a window's visual when it is made.
    GLXFBConfig config = chooseFramebufferConfig(display, screen, window.bits, 0);
    XVisualInfo* visual = config ? glXGetVisualFromFBConfig(display, config) : nullptr;
    if (!visual) {
        window.fullScreen = 0;
        reportStartFailure(window, "no double-buffered GL visual with a depth buffer on display %s",
                           DisplayString(display));
        return;
    }
    const Window root = RootWindow(display, screen);
    native.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = native.colormap;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.event_mask = OWN_WINDOW_EVENTS;
    window.window = XCreateWindow(
        display, root, 0, 0, static_cast<unsigned>(window.width),
        static_cast<unsigned>(window.height), 0, visual->depth, InputOutput, visual->visual,
        CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    XFree(visual);
    ModeArea area{0, 0};
    if (window.fullScreen) {
        takeFullScreen(window, display, area);
    }
    describeWindow(window, display);
    makeGlContext(window, display, config);
    if (!window.isReady()) {
        reportStartFailure(window, "no GL context on display %s", DisplayString(display));
        return;
    }

    int covers = 0;
    if (window.fullScreen) {
        native.invisibleCursor = makeInvisibleCursor(display, window.window);
        XDefineCursor(display, window.window, native.invisibleCursor);
        native.pictureArea = {area.x, area.y, window.width, window.height};
        // Watched before the first covers are made, so that no change slips in between.
        watchMonitors(display);
        covers = updateMonitorCovers(display, window.window, native.pictureArea,
                                     native.invisibleCursor, &native.covers);
    }
    // Raised after the covers, so that a cover of a larger clone never hides the picture.
    XMapRaised(display, window.window);
    waitUntilMapped(display, window.window);
    XSetInputFocus(display, window.window, RevertToParent, CurrentTime);
    // Like a captured mouse, the grabbed pointer reports its motion wherever it goes. Alone it
    // stays on the picture; beside covers it may rest or move on any monitor, where the user
    // left it, and still reports to the window.
    const bool confined = window.fullScreen && covers == 0;
    native.pointerGrabbed =
        XGrabPointer(display, window.window, False,
                     PointerMotionMask | ButtonPressMask | ButtonReleaseMask, GrabModeAsync,
                     GrabModeAsync, confined ? window.window : None, native.invisibleCursor,
                     CurrentTime) == GrabSuccess;
    if (window.fullScreen) {
        native.keyboardGrabbed = XGrabKeyboard(display, window.window, False, GrabModeAsync,
                                               GrabModeAsync, CurrentTime) == GrabSuccess;
    }
    native.session.inputGrabbed = native.pointerGrabbed && native.keyboardGrabbed;
    XFlush(display);
}

// Draws into the target window at its own size. Its owner keeps it: no mode change, no cursor,
// no grab, and only its destruction is listened for (and its size).
void useTargetWindow(GlWindow& window, Display* display) {
    NativeWindowState& native = window.native;
    const Window target = native.targetWindow;
    if (!target) {
        if (native.targetText) {
            reportStartFailure(window, "%s \"%s\" is not a window id", native.targetSource,
                               native.targetText);
        } else {
            reportStartFailure(window, "%s needs a window id", native.targetSource);
        }
        return;
    }
    ErrorTrap trap(display);
    // Selected before the window is looked at, so that its destruction cannot slip between.
    XSelectInput(display, target, StructureNotifyMask);
    XWindowAttributes attributes;
    const Status found = XGetWindowAttributes(display, target, &attributes);
    if (!trap.succeeded() || !found) {
        reportStartFailure(window, "no window 0x%lx on display %s", target, DisplayString(display));
        return;
    }
    GLXFBConfig config =
        chooseFramebufferConfig(display, XScreenNumberOfScreen(attributes.screen), window.bits,
                                XVisualIDFromVisual(attributes.visual));
    if (!config) {
        reportStartFailure(window, "window 0x%lx has no visual that GL can draw into", target);
        return;
    }
    ErrorTrap glTrap(display);
    window.window = target;
    window.width = attributes.width;
    window.height = attributes.height;
    makeGlContext(window, display, config);
    if (!glTrap.succeeded() || !window.isReady()) {
        window.window = 0;
        reportStartFailure(window, "no GL context for window 0x%lx", target);
    }
}

} // namespace

void x11CreateWindow(GlWindow& window) {
    NativeWindowState& native = window.native;
    Display* display = XOpenDisplay(nullptr);
    native.session.display = display;
    native.session.embedded = native.targetRequested;
    window.instance = &native.session;
    if (native.targetRequested || native.windowed) {
        window.fullScreen = 0;
    }
    if (!display) {
        window.fullScreen = 0;
        const char* name = XDisplayName(nullptr);
        reportStartFailure(window, "cannot open display %s", name[0] ? name : "(DISPLAY is unset)");
        return;
    }
    if (!hasGlx(display)) {
        window.fullScreen = 0;
        reportStartFailure(window, "no GLX (1.3 or later) on display %s", DisplayString(display));
        return;
    }
    installErrorHandler();
    native.protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
    native.deleteWindowAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (native.targetRequested) {
        useTargetWindow(window, display);
    } else {
        createOwnWindow(window, display);
    }
}

void x11DestroyWindow(GlWindow& window) {
    NativeWindowState& native = window.native;
    Display* display = native.session.display;
    if (!window.created || !display) {
        return;
    }
    if (window.fullScreen) {
        finishModeGuard(&native.modeGuard);
        if (window.window) {
            XUndefineCursor(display, window.window);
        }
    }
    if (window.glContext) {
        glXMakeContextCurrent(display, None, None, nullptr);
        glXDestroyContext(display, window.glContext);
    }
    if (window.deviceContext) {
        glXDestroyWindow(display, window.deviceContext);
    }
    if (window.window) {
        if (!native.session.embedded) {
            XDestroyWindow(display, window.window);
        }
        window.window = 0;
    }
    if (native.invisibleCursor) {
        XFreeCursor(display, native.invisibleCursor);
        native.invisibleCursor = 0;
    }
    if (native.colormap) {
        XFreeColormap(display, native.colormap);
        native.colormap = 0;
    }
    XCloseDisplay(display);
    native.session.display = nullptr;
}

bool x11WindowReady(const GlWindow& window) {
    return window.window && window.glContext && window.deviceContext &&
           glXGetCurrentContext() == window.glContext;
}

// Showing a frame on Linux is XScreenSaver's way: the frame rate over it when asked, the swap,
// then the pause that keeps a screensaver from taking a whole processor.
void x11SwapBuffers(GlWindow& window) {
    NativeWindowState& native = window.native;
    if (!native.session.display || !window.deviceContext) {
        return;
    }
    if (native.showFrameRate) {
        native.frameRate.frameShown(clockMilliseconds());
        drawFrameRate(native.frameRate.framesPerSecond);
    }
    glXSwapBuffers(native.session.display, window.deviceContext);
    pauseBetweenFrames(native.frameDelayMicroseconds);
}
