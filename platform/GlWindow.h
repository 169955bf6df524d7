// The screensaver's one window with its double-buffered GL context, declared once for every
// backend. NativeTypes.h comes from the backend folder that the build chooses.
#pragma once

#include "NativeTypes.h"

// A bordered window is asked with this much room around the picture for its frame and caption.
constexpr int GL_WINDOW_FRAME_EXTRA_WIDTH = 4;
constexpr int GL_WINDOW_FRAME_EXTRA_HEIGHT = 24;

struct GlWindow {
    NativeInstance instance;
    NativeWindow window;
    NativeDeviceContext deviceContext;
    NativeGlContext glContext;
    int width;
    int height;
    int bits;
    int fullScreen;
    char* title;
    int created;
    int quit;
    int mouseMovesLeft;
    // Whatever else the backend must keep (display connection, saved mode).
    NativeWindowState native;

    void create(int width, int height, int bits, int fullScreen, const char* title);
    // The record's part of create, the same on every system: restarts the mouse-move countdown
    // and, on the first call only, stores the request and a copy of the title. False when the
    // window was made already.
    bool beginCreate(int width, int height, int bits, int fullScreen, const char* title);
    void destroy();
    // True when the window exists and its GL context is current: without both nothing can be shown.
    bool isReady() const;
    void swapBuffers();
};

// All-zero at load; the window procedure has no pointer of its own and works on this one.
extern GlWindow glWindow;
