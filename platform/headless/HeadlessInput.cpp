// The input devices of the headless system: the test buffers records in HeadlessSystem's keyboard
// and mouse, and the shared poll reads them as it would read DirectInput's.
#include "platform/InputBackend.h"
#include "platform/InputDevices.h"
#include "platform/headless/HeadlessControl.h"

namespace {

void closeDevice(HeadlessDevice*& device) {
    if (device) {
        device->acquired = 0;
        device->open = 0;
        device = nullptr;
    }
}

} // namespace

void InputDevices::createInterface(NativeInstance instance) {
    if (instance && !instance->refuseDirectInput) {
        directInput = instance;
        instance->directInputOpen = 1;
    }
}

int InputDevices::openKeyboard(NativeWindow, int) {
    if (!directInput || directInput->refuseKeyboard) {
        return 0;
    }
    keyboard = &directInput->keyboard;
    keyboard->open = 1;
    acquireInputDevice(keyboard);
    return 1;
}

int InputDevices::openMouse(NativeWindow, int exclusive) {
    mouseX = 0;
    mouseY = 0;
    if (!directInput || directInput->refuseMouse) {
        return 0;
    }
    mouse = &directInput->mouse;
    mouse->open = 1;
    if (exclusive) {
        directInput->cursorCount--;
    }
    acquireInputDevice(mouse);
    return 1;
}

void InputDevices::release() {
    closeDevice(mouse);
    closeDevice(keyboard);
    if (directInput) {
        directInput->directInputOpen = 0;
        directInput = nullptr;
    }
}

void acquireInputDevice(NativeInputDevice device) {
    device->acquireCalls++;
    device->acquired = device->open && !device->refuseAcquire;
}

void readInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity) {
    if (!device->acquired) {
        return;
    }
    for (uint32_t i = 0; i < capacity && !device->records.empty(); i++) {
        records[i] = device->records.front();
        device->records.pop_front();
    }
}

void discardInputDevice(NativeInputDevice device) {
    if (device->acquired) {
        device->records.clear();
    }
}
