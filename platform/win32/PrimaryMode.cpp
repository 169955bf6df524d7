#include "PrimaryMode.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

namespace {

static_assert(sizeof(NativeWindowState::primaryDevice) == sizeof(DISPLAY_DEVICEA::DeviceName),
              "the recorded device name holds any that Windows reports");

// The primary display device; false when there is none.
bool findPrimaryDevice(DISPLAY_DEVICEA& device) {
    for (DWORD index = 0;; index++) {
        std::memset(&device, 0, sizeof device);
        device.cb = sizeof device;
        if (!EnumDisplayDevicesA(nullptr, index, &device, 0)) {
            return false;
        }
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            return true;
        }
    }
}

struct MonitorSearch {
    const char* device;
    RECT place;
    bool found;
};

BOOL CALLBACK findMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorSearch& search = *reinterpret_cast<MonitorSearch*>(data);
    MONITORINFOEXA info;
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && std::strcmp(info.szDevice, search.device) == 0 &&
        EqualRect(&info.rcMonitor, &search.place)) {
        search.found = true;
        return FALSE;
    }
    return TRUE;
}

struct MirrorSearch {
    HMONITOR primary;
    RECT place;
    bool found;
};

BOOL CALLBACK findMirror(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MirrorSearch& search = *reinterpret_cast<MirrorSearch*>(data);
    MONITORINFO info;
    info.cbSize = sizeof info;
    RECT overlap;
    if (monitor != search.primary && GetMonitorInfoA(monitor, &info) &&
        IntersectRect(&overlap, &info.rcMonitor, &search.place)) {
        search.found = true;
        return FALSE;
    }
    return TRUE;
}

// Whether another monitor overlaps the primary: a mirror of it, which Windows counts as the same
// monitor and Wine as one of its own. Wine lays the monitors out anew at every mode change, side
// by side, so the mirror would be moved away during the run and stay moved afterwards.
bool primaryMirrored() {
    const POINT origin = {0, 0};
    MirrorSearch search = {MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), {}, false};
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(search.primary, &info)) {
        return false;
    }
    search.place = info.rcMonitor;
    EnumDisplayMonitors(nullptr, nullptr, findMirror, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DEVMODEA modeOf(unsigned long width, unsigned long height, unsigned long bits) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = bits;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    return mode;
}

} // namespace

// Asked of the monitors, not of the device's state or mode: under Wine a monitor turned off keeps
// its device attached, the devices are numbered anew (the next monitor takes the name of one
// turned off), and a running process goes on reporting the modes it last set itself.
bool primaryShowsRunMode(const GlWindow& window) {
    MonitorSearch search = {
        window.native.primaryDevice, {0, 0, window.width, window.height}, false};
    EnumDisplayMonitors(nullptr, nullptr, findMonitor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool switchPrimaryMode(GlWindow& window, int width, int height, int bits) {
    NativeWindowState& native = window.native;
    DISPLAY_DEVICEA primary;
    DEVMODEA current;
    std::memset(&current, 0, sizeof current);
    current.dmSize = sizeof current;
    if (primaryMirrored() || !findPrimaryDevice(primary) ||
        !EnumDisplaySettingsA(primary.DeviceName, ENUM_CURRENT_SETTINGS, &current)) {
        return false;
    }
    std::memcpy(native.primaryDevice, primary.DeviceName, sizeof native.primaryDevice);
    native.primaryWidth = current.dmPelsWidth;
    native.primaryHeight = current.dmPelsHeight;
    native.primaryBits = current.dmBitsPerPel;
    native.primaryFrequency = current.dmDisplayFrequency;

    DEVMODEA mode = modeOf(static_cast<unsigned long>(width), static_cast<unsigned long>(height),
                           static_cast<unsigned long>(bits));
    return ChangeDisplaySettingsExA(native.primaryDevice, &mode, nullptr, CDS_FULLSCREEN,
                                    nullptr) == DISP_CHANGE_SUCCESSFUL;
}

// Not ChangeDisplaySettings(NULL, 0): Wine answers it by applying the layout kept in its
// registry to every monitor, which turns back on a monitor the user turned off during the run and
// turns off one plugged in meanwhile.
void restorePrimaryMode(GlWindow& window) {
    NativeWindowState& native = window.native;
    if (!primaryShowsRunMode(window)) {
        return;
    }
    DEVMODEA mode = modeOf(native.primaryWidth, native.primaryHeight, native.primaryBits);
    // 0 and 1 stand for the hardware's default rate, which is what asking none gives.
    if (native.primaryFrequency > 1) {
        mode.dmFields |= DM_DISPLAYFREQUENCY;
        mode.dmDisplayFrequency = native.primaryFrequency;
    }
    ChangeDisplaySettingsExA(native.primaryDevice, &mode, nullptr, 0, nullptr);
}
