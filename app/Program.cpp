#include "app/Program.h"

#include "app/LaunchDecision.h"
#include "platform/GlWindow.h"
#include "platform/Platform.h"
#include "terrain/Flight.h"

InputDevices inputDevices;
Viewer viewer;

namespace {

// Draws and shows one frame; input seen while drawing ends the loop after this frame. What the
// devices buffered before the first frame is shown came before the user could act on the run
// (Wine, for one, queues the pointer's position as a movement once the mouse is acquired), so the
// first frame throws it away instead of polling.
void runFrame(bool firstFrame) {
    drawFrame(viewer, clockMilliseconds());
    if (firstFrame) {
        inputDevices.discardBuffered();
    } else {
        inputDevices.poll();
    }
    if (!inputDevices.events.empty()) {
        glWindow.quit = 1;
    }
    glWindow.swapBuffers();
}

// Returns the exit code: the wParam of the last message taken, or 0 when the loop took none.
int runFrameLoop() {
    uintptr_t exitCode = 0;
    bool firstFrame = true;
    while (!glWindow.quit) {
        PlatformMessage message = takeMessage();
        if (!message.taken) {
            runFrame(firstFrame);
            firstFrame = false;
            continue;
        }
        exitCode = message.wParam;
        if (message.isQuit) {
            glWindow.quit = 1;
        }
    }
    return static_cast<int>(exitCode);
}

} // namespace

void startUp() {
    glWindow.create(640, 480, 32, 1, "Quellmoor");
    // With no window or no GL context there is nothing to show and nothing to end the run.
    if (!glWindow.isReady()) {
        return;
    }
    inputDevices.createInterface(glWindow.instance);
    inputDevices.openKeyboard(glWindow.window, 0);
    inputDevices.openMouse(glWindow.window, 0);
    setStartUpValues(viewer);
    viewer.terrain.loadDefaultAssets(fallbackDataDirectory());
}

void shutDown() {
    inputDevices.release();
    glWindow.destroy();
}

int runProgram(const char* commandLine) {
    LaunchDecision decision = decideLaunch(commandLineTokens(commandLine));
    if (decision.showAbout) {
        showAbout(ABOUT_CAPTION, ABOUT_TEXT);
    }
    if (decision.noRun) {
        return 0;
    }
    startUp();
    int exitCode = 0;
    if (glWindow.isReady()) {
        exitCode = runFrameLoop();
    }
    shutDown();
    return exitCode;
}
