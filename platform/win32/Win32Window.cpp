// The display window on Win32: window class, display-mode change with a fallback to a bordered
// window, pixel format and WGL context, and the window procedure.
#include "platform/GlWindow.h"

#include "MonitorCovers.h"
#include "PrimaryMode.h"
#include "platform/WindowRules.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <type_traits>

static_assert(std::is_same<NativeInstance, HINSTANCE>::value, "NativeInstance is HINSTANCE");
static_assert(std::is_same<NativeWindow, HWND>::value, "NativeWindow is HWND");
static_assert(std::is_same<NativeDeviceContext, HDC>::value, "NativeDeviceContext is HDC");
static_assert(std::is_same<NativeGlContext, HGLRC>::value, "NativeGlContext is HGLRC");
static_assert(sizeof(DEVMODEA) == 156, "the display mode is asked with the full DEVMODEA");
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "PIXELFORMATDESCRIPTOR as WGL expects it");

namespace {

const char CLASS_NAME[] = "tamsel";
const WORD ICON_WINLOGO = 32517;

WindowEvent windowEventOf(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        return wParam == SC_SCREENSAVE ? WINDOW_EVENT_SCREENSAVE : WINDOW_EVENT_OTHER;
    case WM_CLOSE:
        return WINDOW_EVENT_CLOSE;
    case WM_KEYDOWN:
        return WINDOW_EVENT_KEY_DOWN;
    case WM_MOUSEMOVE:
        return WINDOW_EVENT_MOUSE_MOVE;
    }
    return WINDOW_EVENT_OTHER;
}

void makeGlContext(GlWindow& window) {
    PIXELFORMATDESCRIPTOR descriptor;
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(window.bits);
    descriptor.cDepthBits = static_cast<BYTE>(window.bits);
    descriptor.iLayerType = PFD_MAIN_PLANE;

    window.deviceContext = GetDC(window.window);
    int format = ChoosePixelFormat(window.deviceContext, &descriptor);
    SetPixelFormat(window.deviceContext, format, &descriptor);
    window.glContext = wglCreateContext(window.deviceContext);
    wglMakeCurrent(window.deviceContext, window.glContext);
}

} // namespace

// Works on the one global window record; the quit rules are shared with every other backend.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (decideWindowAction(glWindow, windowEventOf(message, wParam))) {
    case WINDOW_ACTION_QUIT:
        PostQuitMessage(0);
        return 0;
    case WINDOW_ACTION_SWALLOW:
        return 0;
    case WINDOW_ACTION_DEFAULT:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void GlWindow::create(int width, int height, int bits, int fullScreen, const char* title) {
    if (!beginCreate(width, height, bits, fullScreen, title)) {
        return;
    }

    instance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(ICON_WINLOGO));
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&windowClass);

    if (this->fullScreen && !switchPrimaryMode(*this, width, height, bits)) {
        this->fullScreen = 0;
    }

    DWORD style;
    RECT rectangle;
    if (this->fullScreen) {
        style = WS_POPUP;
        rectangle = {0, 0, width, height};
    } else {
        style = WS_BORDER | WS_SYSMENU;
        rectangle = {0, 0, width + GL_WINDOW_FRAME_EXTRA_WIDTH,
                     height + GL_WINDOW_FRAME_EXTRA_HEIGHT};
    }
    AdjustWindowRectEx(&rectangle, style, FALSE, WS_EX_APPWINDOW);
    window = CreateWindowExA(WS_EX_APPWINDOW, CLASS_NAME, this->title, style, 0, 0,
                             rectangle.right - rectangle.left, rectangle.bottom - rectangle.top,
                             nullptr, nullptr, instance, nullptr);

    // Without a window there is nothing to draw into and nothing to show (and GetDC of no window
    // would hand over the whole screen); the cursor still follows the mode, so that destroy gives
    // back what create took.
    if (window) {
        makeGlContext(*this);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(window);
        SetCapture(window);
        if (this->fullScreen) {
            updateMonitorCovers(*this);
        }
    }
    ShowCursor(this->fullScreen ? FALSE : TRUE);
}

void GlWindow::destroy() {
    if (!created) {
        return;
    }
    // The covers go before the monitors move back, so none is ever seen out of place.
    removeMonitorCovers(*this);
    if (fullScreen) {
        restorePrimaryMode(*this);
        ShowCursor(TRUE);
    }
    if (glContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(glContext);
    }
    if (deviceContext) {
        ReleaseDC(window, deviceContext);
    }
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
    UnregisterClassA(CLASS_NAME, instance);
}

bool GlWindow::isReady() const {
    return window && glContext && wglGetCurrentContext() == glContext;
}

// Each frame the covers follow the monitors, so that one plugged in during the run goes black at
// once. Once the picture's own monitor is turned off (or given another mode) the picture would
// sit in a corner of whichever monitor took its place, beside the desktop: the run ends.
void GlWindow::swapBuffers() {
    SwapBuffers(deviceContext);
    if (fullScreen && window) {
        updateMonitorCovers(*this);
        if (!primaryShowsRunMode(*this)) {
            quit = 1;
        }
    }
}
