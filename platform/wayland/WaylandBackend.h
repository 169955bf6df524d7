// The Wayland backend's side of the platform interface; the Linux platform (platform/linux/)
// calls these when the run is on Wayland.
#pragma once

#include "platform/GlWindow.h"
#include "platform/InputDevices.h"
#include "platform/Platform.h"

// Connects to the compositor at WAYLAND_DISPLAY and finds its globals. True when it answers;
// otherwise false, and when `required` the reason has been reported.
bool waylandConnect(GlWindow& window, bool required);
// The window on the connection made, after GlWindow::beginCreate has stored the request.
void waylandCreateWindow(GlWindow& window);
void waylandDestroyWindow(GlWindow& window);
bool waylandWindowReady(const GlWindow& window);
void waylandSwapBuffers(GlWindow& window);
PlatformMessage waylandTakeMessage();

void waylandCreateInputInterface(InputDevices& devices, NativeInstance instance);
int waylandOpenKeyboard(InputDevices& devices, NativeWindow window);
int waylandOpenMouse(InputDevices& devices, NativeWindow window);
void waylandReleaseInput(InputDevices& devices);
void waylandAcquireInputDevice(NativeInputDevice device);
void waylandReadInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity);
void waylandDiscardInputDevice(NativeInputDevice device);
