// The Windows entry point: the screensaver host passes its switches on the command line.
#include "app/Program.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return runProgram(commandLine);
}
