// The seat's keyboard and pointer written as the records of a buffered DirectInput device, as the
// X11 backend writes its raw events: the keyboard's evdev codes, the pointer's buttons, its wheel
// and its real movement. Events reach the buffers while the window's messages are dispatched;
// the shared poll reads them.
#include "platform/wayland/WaylandBackend.h"
#include "platform/wayland/SeatRecords.h"
#include "platform/wayland/WaylandClient.h"

#include <unistd.h>
#include <wayland-client.h>

namespace {

WaylandInput& inputOf(void* data) {
    return static_cast<WaylandClient*>(data)->input;
}

void push(WaylandDevice& device, const DeviceRecord& record) {
    if (device.open) {
        device.queue.push(record);
    }
}

// The pointer is hidden over the full-screen surfaces, as the X11 run hides it.
void pointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface*, wl_fixed_t x,
                  wl_fixed_t y) {
    WaylandClient& client = *static_cast<WaylandClient*>(data);
    if (client.fullScreen) {
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    }
    client.input.pointer.entered(wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void pointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
    inputOf(data).pointer.left();
}

void pointerMotion(void* data, wl_pointer*, uint32_t time, wl_fixed_t x, wl_fixed_t y) {
    WaylandInput& input = inputOf(data);
    DeviceRecord records[2];
    const int count = input.pointer.moved(wl_fixed_to_double(x), wl_fixed_to_double(y), time,
                                          input.sequence++, records);
    for (int i = 0; i < count; i++) {
        push(input.mouse, records[i]);
    }
}

void pointerButton(void* data, wl_pointer*, uint32_t, uint32_t time, uint32_t button,
                   uint32_t state) {
    WaylandInput& input = inputOf(data);
    DeviceRecord record;
    if (seatButtonRecord(button, state == WL_POINTER_BUTTON_STATE_PRESSED, time, input.sequence++,
                         &record)) {
        push(input.mouse, record);
    }
}

void pointerAxis(void* data, wl_pointer*, uint32_t time, uint32_t axis, wl_fixed_t value) {
    WaylandInput& input = inputOf(data);
    DeviceRecord record;
    if (seatAxisRecord(axis, wl_fixed_to_double(value), time, input.sequence++, &record)) {
        push(input.mouse, record);
    }
}

// The keymap names keys, which the program never needs: only the codes count.
void keyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) {
    close(fd);
}

void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}

void keyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t time, uint32_t key, uint32_t state) {
    WaylandInput& input = inputOf(data);
    DeviceRecord record;
    if (seatKeyRecord(key, state == WL_KEYBOARD_KEY_STATE_PRESSED, time, input.sequence++,
                      &record)) {
        push(input.keyboard, record);
    }
}

// Version 4 of the seat sends none of the events that later versions added, so these are all.
const wl_pointer_listener* pointerListener() {
    static wl_pointer_listener listener{};
    listener.enter = pointerEnter;
    listener.leave = pointerLeave;
    listener.motion = pointerMotion;
    listener.button = pointerButton;
    listener.axis = pointerAxis;
    return &listener;
}

const wl_keyboard_listener* keyboardListener() {
    static wl_keyboard_listener listener{};
    listener.keymap = keyboardKeymap;
    listener.enter = keyboardEnter;
    listener.leave = keyboardLeave;
    listener.key = keyboardKey;
    listener.modifiers = keyboardModifiers;
    listener.repeat_info = keyboardRepeat;
    return &listener;
}

// A device that the seat gains is listened to; one that it loses is let go.
void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    WaylandClient& client = *static_cast<WaylandClient*>(data);
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    const bool hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    if (hasPointer && !client.pointer) {
        client.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(client.pointer, pointerListener(), &client);
    } else if (!hasPointer && client.pointer) {
        wl_pointer_destroy(client.pointer);
        client.pointer = nullptr;
        client.input.pointer.left();
    }
    if (hasKeyboard && !client.keyboard) {
        client.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(client.keyboard, keyboardListener(), &client);
    } else if (!hasKeyboard && client.keyboard) {
        wl_keyboard_destroy(client.keyboard);
        client.keyboard = nullptr;
    }
}

void seatName(void*, wl_seat*, const char*) {}

WaylandDevice* openDevice(InputDevices& devices, WaylandDevice WaylandInput::*which) {
    WaylandInput* input = static_cast<WaylandInput*>(devices.directInput);
    if (!input) {
        return nullptr;
    }
    WaylandDevice& device = input->*which;
    device.open = 1;
    device.queue.clear();
    return &device;
}

} // namespace

void bindWaylandSeat(WaylandClient& client, uint32_t name, uint32_t version) {
    if (client.seat) {
        return;
    }
    static wl_seat_listener listener{};
    listener.capabilities = seatCapabilities;
    listener.name = seatName;
    client.seat = static_cast<wl_seat*>(
        wl_registry_bind(client.registry, name, &wl_seat_interface, version < 4 ? version : 4));
    wl_seat_add_listener(client.seat, &listener, &client);
    client.input.sequence = 1;
}

void releaseWaylandSeat(WaylandClient& client) {
    if (client.pointer) {
        wl_pointer_destroy(client.pointer);
        client.pointer = nullptr;
    }
    if (client.keyboard) {
        wl_keyboard_destroy(client.keyboard);
        client.keyboard = nullptr;
    }
    if (client.seat) {
        wl_seat_destroy(client.seat);
        client.seat = nullptr;
    }
}

// The devices read the seat that the window's connection bound; a run without a seat reads
// nothing and ends only when the compositor closes it.
void waylandCreateInputInterface(InputDevices& devices, NativeInstance instance) {
    if (!devices.directInput && instance && instance->wayland) {
        devices.directInput = &instance->wayland->input;
    }
}

int waylandOpenKeyboard(InputDevices& devices, NativeWindow) {
    devices.keyboard = openDevice(devices, &WaylandInput::keyboard);
    return devices.keyboard != nullptr;
}

int waylandOpenMouse(InputDevices& devices, NativeWindow) {
    devices.mouseX = 0;
    devices.mouseY = 0;
    devices.mouse = openDevice(devices, &WaylandInput::mouse);
    return devices.mouse != nullptr;
}

void waylandReleaseInput(InputDevices& devices) {
    WaylandInput* input = static_cast<WaylandInput*>(devices.directInput);
    if (input) {
        input->keyboard.open = 0;
        input->keyboard.queue.clear();
        input->mouse.open = 0;
        input->mouse.queue.clear();
    }
    devices.keyboard = nullptr;
    devices.mouse = nullptr;
    devices.directInput = nullptr;
}

// The records are written as the events are dispatched, which taking the window's messages does;
// input only goes to surfaces of ours, so an open device always reads.
void waylandAcquireInputDevice(NativeInputDevice) {}

void waylandReadInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity) {
    static_cast<WaylandDevice*>(device)->queue.take(records, capacity);
}

void waylandDiscardInputDevice(NativeInputDevice device) {
    static_cast<WaylandDevice*>(device)->queue.clear();
}
