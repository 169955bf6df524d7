// Start-up and whole frames on the headless backend: the program's own window, a 640 x 480 EGL
// pbuffer on Mesa, with the shipped landscape files.
#pragma once

#include <string>

// The GL renderer behind the headless window, or an empty string when no window could be made.
std::string headlessRenderer();
