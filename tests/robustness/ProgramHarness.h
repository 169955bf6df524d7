// Runs the whole program over the headless backend as a fresh process would, frame by frame, and
// reads back what each frame drew.
#pragma once

#include "app/Program.h"
#include "platform/GlWindow.h"
#include "platform/headless/EglContext.h"
#include "platform/headless/HeadlessControl.h"

#include <functional>
#include <vector>

// The program runs once per process and never clears its program-wide records; a test that runs
// it again first puts them back as they are at load.
inline void resetProgram() {
    std::vector<InputEvent>().swap(inputDevices.events);
    inputDevices.mouseX = inputDevices.mouseY = inputDevices.mouseWheel = 0;
    delete[] glWindow.title;
    glWindow = GlWindow{};
    resetHeadlessSystem();
}

// The RGBA bytes of the frame just drawn, top row first.
inline std::vector<unsigned char> framePixels() {
    std::vector<unsigned char> rgba;
    if (glWindow.native.egl != nullptr) {
        glWindow.native.egl->readPixels(rgba);
    }
    return rgba;
}

// Runs the screensaver with onFrame called after every swap. Past frameLimit frames a quit
// message with the code limitCode is posted, so a loop that does not end by itself still ends.
inline int runScreensaver(int frameLimit, uintptr_t limitCode,
                          const std::function<void(int frame)>& onFrame) {
    HeadlessSystem& system = headlessSystem();
    system.afterSwap = [&](int swaps) {
        if (onFrame) {
            onFrame(swaps);
        }
        if (swaps == frameLimit) {
            system.messages.push_back({HEADLESS_MESSAGE_QUIT, limitCode});
        }
    };
    const int exitCode = runProgram("/s");
    system.afterSwap = nullptr;
    return exitCode;
}
