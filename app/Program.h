// The program's life: the command line decides, start-up opens the display, the input devices
// and the terrain, the frame loop runs until a quit condition, and shut-down closes them again.
// Written once against platform/; each system's entry point only hands over its command line.
#pragma once

#include "platform/InputDevices.h"
#include "terrain/Viewer.h"

// The program-wide objects besides glWindow (platform/GlWindow.h).
extern InputDevices inputDevices;
extern Viewer viewer;

#define ABOUT_CAPTION "Lumivane"
#define ABOUT_TEXT                                                                                 \
    "This screensaver was written by Tamsel Varrow.\n"                                             \
    "You can contact me at (tamsel.varrow@quellmoor.example)."

// Opens the window (640 by 480, 32 bits, full screen), the keyboard and the mouse, and the
// terrain. Stops after the window when it or its GL context could not be made.
void startUp();

// Releases the input devices, then gives back the display mode and destroys the window.
void shutDown();

// Runs the program for the command line that follows the program's name; returns the exit code.
int runProgram(const char* commandLine);
