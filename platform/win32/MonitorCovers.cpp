#include "MonitorCovers.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

struct MonitorCover {
    HWND window;
    RECT monitor;
};

struct MonitorCoverSet {
    std::vector<MonitorCover> covers;
};

namespace {

const char COVER_CLASS_NAME[] = "tamsel cover";

struct MonitorSearch {
    HMONITOR primaryMonitor;
    RECT primary;
    std::vector<RECT> others;
    bool outOfMemory;
};

// Every monitor but the primary and those that lie wholly within it (Wine reports a mirror of the
// primary as a monitor of its own), which show only the picture.
BOOL CALLBACK collectOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorSearch& search = *reinterpret_cast<MonitorSearch*>(data);
    MONITORINFO info;
    info.cbSize = sizeof info;
    RECT outside;
    if (monitor != search.primaryMonitor && GetMonitorInfoA(monitor, &info) &&
        SubtractRect(&outside, &info.rcMonitor, &search.primary) != 0) {
        // No exception may pass through the system's code that calls back.
        try {
            search.others.push_back(info.rcMonitor);
        } catch (const std::bad_alloc&) {
            search.outOfMemory = true;
            return FALSE;
        }
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

bool registerCoverClass(HINSTANCE instance) {
    WNDCLASSA coverClass;
    std::memset(&coverClass, 0, sizeof coverClass);
    coverClass.lpfnWndProc = coverProc;
    coverClass.hInstance = instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = COVER_CLASS_NAME;
    return RegisterClassA(&coverClass) != 0;
}

// A monitor that overlaps the primary, a larger mirror of it, is covered only where the picture is
// not: the cover gets a hole over the primary, since a topmost cover there would hide the picture.
// Without the hole (out of memory) it stays hidden. Owned by the main window, so that it goes
// with it at the latest.
HWND makeCover(const GlWindow& window, const RECT& monitor, const RECT& primary) {
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                 COVER_CLASS_NAME, "", WS_POPUP, monitor.left, monitor.top,
                                 monitor.right - monitor.left, monitor.bottom - monitor.top,
                                 window.window, nullptr, window.instance, nullptr);
    if (!cover) {
        return nullptr;
    }
    RECT hole;
    if (IntersectRect(&hole, &monitor, &primary)) {
        OffsetRect(&hole, -monitor.left, -monitor.top);
        HRGN shape =
            CreateRectRgn(0, 0, monitor.right - monitor.left, monitor.bottom - monitor.top);
        HRGN cut = CreateRectRgn(hole.left, hole.top, hole.right, hole.bottom);
        bool shaped = shape && cut && CombineRgn(shape, shape, cut, RGN_DIFF) != ERROR &&
                      SetWindowRgn(cover, shape, FALSE) != 0;
        if (cut) {
            DeleteObject(cut);
        }
        if (!shaped) {
            // A region that the window took is the system's from then on.
            if (shape) {
                DeleteObject(shape);
            }
            DestroyWindow(cover);
            return nullptr;
        }
    }
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    return cover;
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

} // namespace

void updateMonitorCovers(GlWindow& window) {
    MonitorSearch search;
    search.outOfMemory = false;
    MONITORINFO primary;
    primary.cbSize = sizeof primary;
    const POINT origin = {0, 0};
    search.primaryMonitor = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoA(search.primaryMonitor, &primary)) {
        return;
    }
    search.primary = primary.rcMonitor;
    EnumDisplayMonitors(nullptr, nullptr, collectOtherMonitor, reinterpret_cast<LPARAM>(&search));
    if (search.outOfMemory || (!window.native.covers && search.others.empty())) {
        return;
    }
    if (!window.native.covers) {
        window.native.covers = new (std::nothrow) MonitorCoverSet;
        if (!window.native.covers) {
            return;
        }
        registerCoverClass(window.instance);
    }

    std::vector<MonitorCover>& covers = window.native.covers->covers;
    auto shown = [&search](const RECT& place) {
        return std::any_of(search.others.begin(), search.others.end(),
                           [&place](const RECT& monitor) { return sameRect(monitor, place); });
    };
    auto stale = std::partition(covers.begin(), covers.end(), [&shown](const MonitorCover& cover) {
        return shown(cover.monitor);
    });
    std::for_each(stale, covers.end(),
                  [](const MonitorCover& cover) { DestroyWindow(cover.window); });
    covers.erase(stale, covers.end());

    for (const RECT& monitor : search.others) {
        bool covered =
            std::any_of(covers.begin(), covers.end(), [&monitor](const MonitorCover& cover) {
                return sameRect(monitor, cover.monitor);
            });
        if (covered) {
            continue;
        }
        try {
            covers.reserve(covers.size() + 1);
        } catch (const std::bad_alloc&) {
            return; // the covers made so far stay; the next frame tries again
        }
        HWND cover = makeCover(window, monitor, search.primary);
        if (cover) {
            covers.push_back({cover, monitor});
        }
    }
}

void removeMonitorCovers(GlWindow& window) {
    NativeWindowState& native = window.native;
    if (!native.covers) {
        return;
    }
    for (const MonitorCover& cover : native.covers->covers) {
        DestroyWindow(cover.window);
    }
    delete native.covers;
    native.covers = nullptr;
    UnregisterClassA(COVER_CLASS_NAME, window.instance);
}
