#include "MonitorCovers.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

const char COVER_CLASS_NAME[] = "tamsel cover";

struct MonitorSearch {
    RECT primary;
    std::vector<RECT> others;
};

BOOL CALLBACK collectOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorSearch& search = *reinterpret_cast<MonitorSearch*>(data);
    MONITORINFO info;
    info.cbSize = sizeof info;
    RECT overlap;
    // The primary overlaps itself, so it is never covered either.
    if (GetMonitorInfoA(monitor, &info) &&
        !IntersectRect(&overlap, &info.rcMonitor, &search.primary)) {
        search.others.push_back(info.rcMonitor);
    }
    return TRUE;
}

// While the main window holds the mouse capture no mouse message comes here; once another
// program has taken the foreground (and DirectInput reads nothing), a move over a cover still
// counts towards the end of the run, and a click must not activate the cover.
LRESULT CALLBACK coverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) {
        return MA_NOACTIVATE;
    }
    return windowProc(window, message, wParam, lParam);
}

} // namespace

void coverOtherMonitors(GlWindow& window) {
    MonitorSearch search;
    MONITORINFO primary;
    primary.cbSize = sizeof primary;
    const POINT origin = {0, 0};
    if (!GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &primary)) {
        return;
    }
    search.primary = primary.rcMonitor;
    EnumDisplayMonitors(nullptr, nullptr, collectOtherMonitor, reinterpret_cast<LPARAM>(&search));
    if (search.others.empty()) {
        return;
    }
    HWND* covers = new (std::nothrow) HWND[search.others.size()];
    if (!covers) {
        return;
    }

    WNDCLASSA coverClass;
    std::memset(&coverClass, 0, sizeof coverClass);
    coverClass.lpfnWndProc = coverProc;
    coverClass.hInstance = window.instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = COVER_CLASS_NAME;
    RegisterClassA(&coverClass);

    window.native.covers = covers;
    window.native.coverCount = 0;
    for (const RECT& monitor : search.others) {
        // Owned by the main window, so that they go with it at the latest.
        HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                     COVER_CLASS_NAME, "", WS_POPUP, monitor.left, monitor.top,
                                     monitor.right - monitor.left, monitor.bottom - monitor.top,
                                     window.window, nullptr, window.instance, nullptr);
        if (cover) {
            covers[window.native.coverCount++] = cover;
            ShowWindow(cover, SW_SHOWNOACTIVATE);
        }
    }
}

void removeMonitorCovers(GlWindow& window) {
    NativeWindowState& native = window.native;
    if (!native.covers) {
        return;
    }
    for (int i = 0; i < native.coverCount; i++) {
        DestroyWindow(native.covers[i]);
    }
    delete[] native.covers;
    native.covers = nullptr;
    native.coverCount = 0;
    UnregisterClassA(COVER_CLASS_NAME, window.instance);
}
