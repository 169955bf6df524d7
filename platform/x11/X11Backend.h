// The X11 backend's side of the platform interface; the Linux platform (platform/linux/) calls
// these when the run is on X11.
#pragma once

#include "platform/GlWindow.h"
#include "platform/InputDevices.h"
#include "platform/Platform.h"

// The window, after GlWindow::beginCreate has stored the request.
void x11CreateWindow(GlWindow& window);
void x11DestroyWindow(GlWindow& window);
bool x11WindowReady(const GlWindow& window);
void x11SwapBuffers(GlWindow& window);
PlatformMessage x11TakeMessage();

void x11CreateInputInterface(InputDevices& devices, NativeInstance instance);
int x11OpenKeyboard(InputDevices& devices, NativeWindow window);
int x11OpenMouse(InputDevices& devices, NativeWindow window);
void x11ReleaseInput(InputDevices& devices);
void x11AcquireInputDevice(NativeInputDevice device);
void x11ReadInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity);
void x11DiscardInputDevice(NativeInputDevice device);
