// The handles of the Linux product, whose backend (X11 or Wayland) is chosen when the window is
// made. The handles in GlWindow are X11's; a Wayland run keeps its surfaces in `wayland` and
// leaves them 0. Xlib, GLX and Wayland headers stay out of this file: their macros (None, Bool,
// Status, Success) would leak into every file that sees the platform interface.
#pragma once

#include "platform/linux/FramePacing.h"
#include "platform/x11/CoverSet.h"

#include <cstdint>

struct _XDisplay;
struct __GLXcontextRec;
struct LinuxSession;
struct WaylandClient;

// What the shared poll holds of the input: each backend's connection and devices derive from
// these, and only the backend that made them looks inside.
struct LinuxInputConnection {};
struct LinuxInputDevice {};

// The window's display connection and the way the program runs on it; the input devices reach
// the display through it, as DirectInput reaches the system through the module instance.
using NativeInstance = LinuxSession*;
using NativeWindow = unsigned long;        // Window
using NativeDeviceContext = unsigned long; // GLXWindow: the GL drawable made for the window
using NativeGlContext = __GLXcontextRec*;  // GLXContext
using NativeDirectInput = LinuxInputConnection*;
using NativeInputDevice = LinuxInputDevice*;

struct LinuxSession {
    _XDisplay* display;
    // Set when the program draws into a window that another program owns (XScreenSaver's):
    // that owner decides when the program ends, so no input device is opened.
    int embedded;
    // The compositor's connection and every surface of a Wayland run; null on X11.
    WaylandClient* wayland;
    // Set once a full-screen run holds the pointer and keyboard grabs. Every key and button then
    // goes to its window whichever window has the focus, and under XWayland, where the compositor
    // keeps the X focus at None, no window ever has it: the input devices count input as the
    // foreground's while the grabs are held.
    int inputGrabbed;
};

// Which backend the entry point asks for; LINUX_BACKEND_ANY lets the window choose.
enum LinuxBackendRequest { LINUX_BACKEND_ANY, LINUX_BACKEND_X11, LINUX_BACKEND_WAYLAND };

// The helper process that puts the display mode back (ModeGuard.h); pid 0 while there is none.
struct ModeGuard {
    int pid;
    int pipe; // write end; the guard restores the mode once every copy of it is closed
};

// Everything else that the window must keep; all zero at load like the GlWindow around it.
struct NativeWindowState {
    LinuxSession session;
    LinuxBackendRequest backendRequest;
    // The window to draw into instead of a window of our own; chosen by the entry point before
    // create, 0 for none.
    unsigned long targetWindow;
    // The entry point asked for a window of someone else's (targetWindow may still be 0 when the
    // value given could not be read).
    int targetRequested;
    // Where the entry point found the request (the option as written, or XSCREENSAVER_WINDOW) and
    // the value given (null when the option had none), for the message when it is no window.
    const char* targetSource;
    const char* targetText;
    // XScreenSaver's options, chosen by the entry point: a window of our own with no mode change
    // (-window), the pause after every frame (-delay) and the frame rate in a corner (-fps).
    int windowed;
    long frameDelayMicroseconds;
    int showFrameRate;
    FrameRateMeter frameRate;
    unsigned long colormap;
    unsigned long invisibleCursor;
    unsigned long protocolsAtom;
    unsigned long deleteWindowAtom;
    int pointerGrabbed;
    int keyboardGrabbed;
    // The window procedure's quit request, taken by the frame loop once no event is pending.
    int quitPosted;
    uintptr_t quitCode;
    ModeGuard modeGuard;
    // A full-screen run's covers of the other monitors, the picture's place on the screen, and a
    // change of the monitors that the covers have yet to follow.
    CoverSet covers;
    ScreenArea pictureArea;
    int monitorsChanged;
    // Set when the run could not happen, or could not go on, and said why on stderr.
    int startFailed;
};
