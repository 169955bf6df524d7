#include "InputDevices.h"

#include "InputBackend.h"
#include "InputTranslation.h"

InputDevices::InputDevices()
    : events(), mouseX(0), mouseY(0), mouseWheel(0), directInput(nullptr), mouse(nullptr),
      mouseBuffer(), keyboard(nullptr), keyboardBuffer() {}

void InputDevices::poll() {
    std::vector<InputEvent>().swap(events);
    // The keyboard goes first so that its events carry the position from before this poll's
    // mouse records.
    if (keyboard) {
        acquireInputDevice(keyboard);
        prepareRecords(keyboardBuffer, KEYBOARD_END_MARK);
        readInputDevice(keyboard, keyboardBuffer, INPUT_BUFFER_RECORDS);
        appendKeyboardEvents(*this);
    }
    if (mouse) {
        acquireInputDevice(mouse);
        prepareRecords(mouseBuffer, MOUSE_END_MARK);
        readInputDevice(mouse, mouseBuffer, INPUT_BUFFER_RECORDS);
        appendMouseEvents(*this);
    }
}

void InputDevices::discardBuffered() {
    if (keyboard) {
        acquireInputDevice(keyboard);
        discardInputDevice(keyboard);
    }
    if (mouse) {
        acquireInputDevice(mouse);
        discardInputDevice(mouse);
    }
}
