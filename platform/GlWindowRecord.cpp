// The part of the window record that is the same on every system: the one global window and the
// first steps of create.
#include "platform/GlWindow.h"

#include <cstring>

GlWindow glWindow;

bool GlWindow::beginCreate(int width, int height, int bits, int fullScreen, const char* title) {
    // Every call restarts the countdown, even one that finds the window made already.
    mouseMovesLeft = 5;
    if (created) {
        return false;
    }
    this->width = width;
    this->height = height;
    this->bits = bits;
    this->fullScreen = fullScreen;
    // The record owns its own copy of the title, kept until the process ends.
    const char* source = title ? title : "";
    const size_t length = std::strlen(source);
    this->title = new char[length + 1];
    std::memcpy(this->title, source, length + 1);
    created = 1;
    return true;
}
