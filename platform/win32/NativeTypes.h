// The handles of the Win32 backend, named by the tags that <windows.h> and <dinput.h> give them,
// so that code seeing the platform interface does not pull in those headers and their macros.
#pragma once

struct HINSTANCE__;
struct HWND__;
struct HDC__;
struct HGLRC__;
struct IDirectInput8A;
struct IDirectInputDevice8A;

using NativeInstance = HINSTANCE__*;
using NativeWindow = HWND__*;
using NativeDeviceContext = HDC__*;
using NativeGlContext = HGLRC__*;
using NativeDirectInput = IDirectInput8A*;
using NativeInputDevice = IDirectInputDevice8A*;

// The black windows over the other monitors of a full-screen run (see MonitorCovers.h).
struct MonitorCoverSet;

// What a full-screen run must give back: the primary monitor's device and the mode it had, so
// that only that one monitor is changed back (see PrimaryMode.h); and the covers, which it owns.
struct NativeWindowState {
    char primaryDevice[32];
    unsigned long primaryWidth;
    unsigned long primaryHeight;
    unsigned long primaryBits;
    unsigned long primaryFrequency;
    MonitorCoverSet* covers;
};
