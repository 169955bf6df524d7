// The Linux entry point: hands the arguments, as one command line, to the same program code as
// WinMain, after noting what XScreenSaver's options ask of the window: the window to draw into,
// a window of our own instead of full screen, the pause between frames and the frame rate.
#include "app/Program.h"
#include "platform/GlWindow.h"
#include "platform/x11/LinuxArguments.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const LinuxOptions options = readLinuxOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    if (options.help) {
        std::fputs(LINUX_USAGE, stdout);
        return 0;
    }
    NativeWindowState& native = glWindow.native;
    native.targetRequested = options.target.requested;
    native.targetWindow = options.target.window;
    native.windowed = options.windowed;
    native.frameDelayMicroseconds = options.delayMicroseconds;
    native.showFrameRate = options.showFrameRate;
    return runProgram(joinArguments(argc, argv).c_str());
}
