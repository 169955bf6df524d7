// The handles of the headless backend: an EGL pbuffer stands in for the window's surface, and
// the test's HeadlessSystem (HeadlessControl.h) stands in for the module, the message queue and
// DirectInput.
#pragma once

struct EglContext;
struct HeadlessSystem;
struct HeadlessWindow;
struct HeadlessDevice;

using NativeInstance = HeadlessSystem*;
using NativeWindow = HeadlessWindow*;
using NativeDeviceContext = void*; // EGLSurface
using NativeGlContext = void*;     // EGLContext
using NativeDirectInput = HeadlessSystem*;
using NativeInputDevice = HeadlessDevice*;

// A pointer keeps GlWindow a plain record that is all zero at load.
struct NativeWindowState {
    EglContext* egl;
};
