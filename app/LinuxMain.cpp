// The Linux entry point: hands the arguments, as one command line, to the same program code as
// WinMain, after noting what XScreenSaver's options ask of the window: the window to draw into,
// a window of our own instead of full screen, the pause between frames, the frame rate and the
// display system asked for. A run that could not start, or arguments it cannot follow, end with
// status 1.
#include "app/LinuxArguments.h"
#include "app/Program.h"
#include "platform/GlWindow.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const LinuxOptions options = readLinuxOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    // Refused before the display is touched: a mistyped option must not take the screen.
    if (!options.refusal.empty()) {
        std::fprintf(stderr, "quellmoor: %s; --help lists the options\n", options.refusal.c_str());
        return 1;
    }
    if (options.help) {
        std::fputs(LINUX_USAGE, stdout);
        return 0;
    }
    NativeWindowState& native = glWindow.native;
    native.targetRequested = options.target.requested;
    native.targetWindow = options.target.window;
    native.targetSource = options.target.source;
    native.targetText = options.target.text;
    native.windowed = options.windowed;
    native.frameDelayMicroseconds = options.delayMicroseconds;
    native.showFrameRate = options.showFrameRate;
    native.backendRequest = options.backend;
    const int exitCode = runProgram(joinArguments(argc, argv).c_str());
    // The window has said why the run could not happen; the status tells whoever started it.
    return glWindow.native.startFailed ? 1 : exitCode;
}
