// What the shared poll needs of a backend for each open device.
#pragma once

#include "InputDevices.h"

#include <cstdint>

// Starts or resumes delivery; a device that cannot be acquired simply delivers nothing.
void acquireInputDevice(NativeInputDevice device);

// Copies up to `capacity` buffered records, oldest first, into `records` and removes them from
// the device. On failure, and past the last record delivered, `records` stays as it was.
void readInputDevice(NativeInputDevice device, DeviceRecord* records, uint32_t capacity);

// Removes every buffered record from the device; a device that cannot be read keeps them.
void discardInputDevice(NativeInputDevice device);
