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

// Windows keeps the mode to go back to in the registry; the window keeps only the black windows
// over the other monitors of a full-screen run, a heap array of coverCount handles that it owns.
struct NativeWindowState {
    NativeWindow* covers;
    int coverCount;
};
