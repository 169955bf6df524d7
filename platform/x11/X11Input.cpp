// The keyboard and the mouse as XInput2 raw events, read on a connection of their own so that
// they never mix with the window's messages. Every raw event of the master devices is written into
// the buffer of its device while that device is acquired; the shared poll reads the buffers.
#include "platform/linux/RawInputRecords.h"
#include "platform/x11/X11Backend.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

struct X11InputConnection;

struct X11InputDevice : LinuxInputDevice {
    X11InputConnection* connection;
    int open;
    // Acquired while the window has the input focus or holds the grabs (LinuxSession): like a
    // foreground DirectInput device, it sees nothing of input meant for other windows.
    int acquired;
    RecordQueue queue;
};

struct X11InputConnection : LinuxInputConnection {
    const LinuxSession* session;
    Display* display;
    int extensionOpcode;
    Window window;
    uint32_t sequence;
    double remainderX;
    double remainderY;
    X11InputDevice keyboard;
    X11InputDevice mouse;
};

namespace {

// Raw events go to the root window whichever window has the focus or a grab; only the master
// devices are asked for, so that one key press is one event and not one per device.
void selectRawEvents(X11InputConnection* connection) {
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    if (connection->keyboard.open) {
        XISetMask(mask, XI_RawKeyPress);
        XISetMask(mask, XI_RawKeyRelease);
    }
    if (connection->mouse.open) {
        XISetMask(mask, XI_RawButtonPress);
        XISetMask(mask, XI_RawButtonRelease);
        XISetMask(mask, XI_RawMotion);
    }
    XIEventMask eventMask;
    eventMask.deviceid = XIAllMasterDevices;
    eventMask.mask_len = sizeof mask;
    eventMask.mask = mask;
    XISelectEvents(connection->display, DefaultRootWindow(connection->display), &eventMask, 1);
    // Input from here on counts; the round trip makes sure the server knows.
    XSync(connection->display, False);
}

void openDevice(X11InputConnection* connection, X11InputDevice* device, Window window) {
    connection->window = window;
    device->connection = connection;
    device->open = 1;
    device->acquired = 0;
    device->queue.clear();
    selectRawEvents(connection);
    x11AcquireInputDevice(device);
}

void closeDevice(X11InputDevice* device) {
    device->open = 0;
    device->acquired = 0;
    device->queue.clear();
}

// The values of valuators 0 and 1 (the pointer's X and Y) among those the event carries; the
// values are packed in the order of the mask bits.
void pointerAxes(const XIRawEvent& raw, bool* hasX, double* x, bool* hasY, double* y) {
    *hasX = false;
    *hasY = false;
    const double* value = raw.raw_values;
    for (int axis = 0; axis < raw.valuators.mask_len * 8; axis++) {
        if (!XIMaskIsSet(raw.valuators.mask, axis)) {
            continue;
        }
        if (axis == 0) {
            *hasX = true;
            *x = *value;
        } else if (axis == 1) {
            *hasY = true;
            *y = *value;
        }
        value++;
    }
}

void bufferRawEvent(X11InputConnection* connection, const XIRawEvent& raw) {
    const uint32_t time = static_cast<uint32_t>(raw.time);
    X11InputDevice& keyboard = connection->keyboard;
    X11InputDevice& mouse = connection->mouse;
    DeviceRecord records[2];
    switch (raw.evtype) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease:
        if (keyboard.acquired && keyRecord(raw.detail, raw.evtype == XI_RawKeyPress, time,
                                           connection->sequence++, &records[0])) {
            keyboard.queue.push(records[0]);
        }
        break;
    case XI_RawButtonPress:
    case XI_RawButtonRelease:
        if (mouse.acquired && buttonRecord(raw.detail, raw.evtype == XI_RawButtonPress, time,
                                           connection->sequence++, &records[0])) {
            mouse.queue.push(records[0]);
        }
        break;
    case XI_RawMotion:
        if (mouse.acquired) {
            bool hasX, hasY;
            double x = 0.0, y = 0.0;
            pointerAxes(raw, &hasX, &x, &hasY, &y);
            const int count =
                motionRecords(hasX, x, hasY, y, &connection->remainderX, &connection->remainderY,
                              time, connection->sequence++, records);
            for (int i = 0; i < count; i++) {
                mouse.queue.push(records[i]);
            }
        }
        break;
    default:
        break;
    }
}

// Moves every raw event that the server has sent so far into the device buffers.
void drainEvents(X11InputConnection* connection) {
    Display* display = connection->display;
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != connection->extensionOpcode ||
            !XGetEventData(display, cookie)) {
            continue;
        }
        bufferRawEvent(connection, *static_cast<const XIRawEvent*>(cookie->data));
        XFreeEventData(display, cookie);
    }
}

} // namespace

void x11CreateInputInterface(InputDevices& devices, NativeInstance instance) {
    if (devices.directInput || !instance || !instance->display || instance->embedded) {
        return;
    }
    Display* display = XOpenDisplay(DisplayString(instance->display));
    if (!display) {
        return;
    }
    int opcode = 0, firstEvent = 0, firstError = 0;
    // From 2.1 on the server sends raw events even while a device is grabbed, as the window's own
    // pointer grab keeps it; an older server still serves them without a grab.
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return;
    }
    X11InputConnection* connection = new X11InputConnection{};
    connection->session = instance;
    connection->display = display;
    connection->extensionOpcode = opcode;
    connection->sequence = 1;
    devices.directInput = connection;
}

// Raw events are always shared with every other client: exclusive use, which the program never
// asks for, is not offered.
int x11OpenKeyboard(InputDevices& devices, NativeWindow window) {
    X11InputConnection* connection = static_cast<X11InputConnection*>(devices.directInput);
    if (!connection) {
        return 0;
    }
    devices.keyboard = &connection->keyboard;
    openDevice(connection, &connection->keyboard, window);
    return 1;
}

int x11OpenMouse(InputDevices& devices, NativeWindow window) {
    devices.mouseX = 0;
    devices.mouseY = 0;
    X11InputConnection* connection = static_cast<X11InputConnection*>(devices.directInput);
    if (!connection) {
        return 0;
    }
    devices.mouse = &connection->mouse;
    openDevice(connection, &connection->mouse, window);
    return 1;
}

void x11ReleaseInput(InputDevices& devices) {
    X11InputConnection* connection = static_cast<X11InputConnection*>(devices.directInput);
    devices.mouse = nullptr;
    devices.keyboard = nullptr;
    if (connection) {
        closeDevice(&connection->mouse);
        closeDevice(&connection->keyboard);
        XCloseDisplay(connection->display);
        delete connection;
        devices.directInput = nullptr;
    }
}

void x11AcquireInputDevice(NativeInputDevice handle) {
    X11InputDevice* device = static_cast<X11InputDevice*>(handle);
    X11InputConnection* connection = device->connection;
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(connection->display, &focus, &revertTo);
    const bool foreground = connection->window != 0 &&
                            (focus == connection->window || connection->session->inputGrabbed);
    device->acquired = device->open && foreground;
    // A device that loses the foreground loses what it had buffered.
    if (!device->acquired) {
        device->queue.clear();
    }
    drainEvents(connection);
}

void x11ReadInputDevice(NativeInputDevice handle, DeviceRecord* records, uint32_t capacity) {
    X11InputDevice* device = static_cast<X11InputDevice*>(handle);
    if (device->acquired) {
        device->queue.take(records, capacity);
    }
}

// The acquire before it has moved every raw event the server sent into the queue.
void x11DiscardInputDevice(NativeInputDevice handle) {
    static_cast<X11InputDevice*>(handle)->queue.clear();
}
