// The keyboard and the mouse through DirectInput 8, both buffered: the shared poll reads their
// records straight into the DeviceRecord buffers.
#include "platform/InputBackend.h"
#include "platform/InputDevices.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>

#include <dinput.h>

#include <cstddef>
#include <type_traits>

static_assert(std::is_same<NativeDirectInput, LPDIRECTINPUT8A>::value, "IDirectInput8A");
static_assert(std::is_same<NativeInputDevice, LPDIRECTINPUTDEVICE8A>::value,
              "IDirectInputDevice8A");

// GetDeviceData writes DIDEVICEOBJECTDATA records into the DeviceRecord buffers.
static_assert(sizeof(DeviceRecord) == sizeof(DIDEVICEOBJECTDATA), "record size");
static_assert(offsetof(DeviceRecord, dwOfs) == offsetof(DIDEVICEOBJECTDATA, dwOfs), "dwOfs");
static_assert(offsetof(DeviceRecord, dwData) == offsetof(DIDEVICEOBJECTDATA, dwData), "dwData");
static_assert(offsetof(DeviceRecord, dwTimeStamp) == offsetof(DIDEVICEOBJECTDATA, dwTimeStamp),
              "dwTimeStamp");
static_assert(offsetof(DeviceRecord, dwSequence) == offsetof(DIDEVICEOBJECTDATA, dwSequence),
              "dwSequence");
static_assert(offsetof(DeviceRecord, uAppData) == offsetof(DIDEVICEOBJECTDATA, uAppData),
              "uAppData");

namespace {

// Returns the device, or null when the system cannot open it; then nothing is configured.
LPDIRECTINPUTDEVICE8A openDevice(LPDIRECTINPUT8A directInput, REFGUID device,
                                 const DIDATAFORMAT* format, HWND window, int exclusive,
                                 int hideCursor) {
    LPDIRECTINPUTDEVICE8A opened = nullptr;
    if (FAILED(directInput->CreateDevice(device, &opened, nullptr)) || !opened) {
        return nullptr;
    }
    opened->SetDataFormat(format);
    if (exclusive && hideCursor) {
        ShowCursor(FALSE);
    }
    opened->SetCooperativeLevel(window, exclusive ? DISCL_EXCLUSIVE | DISCL_FOREGROUND
                                                  : DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    DIPROPDWORD bufferSize;
    bufferSize.diph.dwSize = sizeof(DIPROPDWORD);
    bufferSize.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    bufferSize.diph.dwObj = 0;
    bufferSize.diph.dwHow = DIPH_DEVICE;
    bufferSize.dwData = INPUT_BUFFER_RECORDS;
    opened->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph);
    opened->Acquire();
    return opened;
}

void closeDevice(LPDIRECTINPUTDEVICE8A& device) {
    if (device) {
        device->Unacquire();
        device->Release();
        device = nullptr;
    }
}

} // namespace

void InputDevices::createInterface(NativeInstance instance) {
    // A failed call is not trusted to leave its output null, and the opens test for null.
    void* created = nullptr;
    if (FAILED(DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created,
                                  nullptr))) {
        created = nullptr;
    }
    directInput = static_cast<LPDIRECTINPUT8A>(created);
}

int InputDevices::openKeyboard(NativeWindow window, int exclusive) {
    if (!directInput) {
        return 0;
    }
    keyboard = openDevice(directInput, GUID_SysKeyboard, &c_dfDIKeyboard, window, exclusive, 0);
    return keyboard ? 1 : 0;
}

int InputDevices::openMouse(NativeWindow window, int exclusive) {
    mouseX = 0;
    mouseY = 0;
    if (!directInput) {
        return 0;
    }
    mouse = openDevice(directInput, GUID_SysMouse, &c_dfDIMouse, window, exclusive, 1);
    return mouse ? 1 : 0;
}

void InputDevices::release() {
    closeDevice(mouse);
    closeDevice(keyboard);
    if (directInput) {
        directInput->Release();
        directInput = nullptr;
    }
}

void acquireInputDevice(NativeInputDevice device) {
    device->Acquire();
}

void readInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity) {
    DWORD count = capacity;
    device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA),
                          reinterpret_cast<DIDEVICEOBJECTDATA*>(records), &count, 0);
}

// The flush that DirectInput documents: no buffer and an infinite count.
void discardInputDevice(NativeInputDevice device) {
    DWORD count = INFINITE;
    device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &count, 0);
}
