// The Linux entry point: hands the arguments, as one command line, to the same program code as
// WinMain, after noting the window to draw into when XScreenSaver runs the program.
#include "app/Program.h"
#include "platform/GlWindow.h"
#include "platform/x11/LinuxArguments.h"

#include <cstdlib>

int main(int argc, char** argv) {
    const TargetWindowChoice target =
        chooseTargetWindow(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    glWindow.native.targetRequested = target.requested;
    glWindow.native.targetWindow = target.window;
    return runProgram(joinArguments(argc, argv).c_str());
}
