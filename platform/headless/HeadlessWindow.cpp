// The display window of the headless system: the window is a record of the HeadlessSystem and its
// GL surface an EGL pbuffer of the client size.
#include "platform/GlWindow.h"

#include "platform/headless/EglContext.h"
#include "platform/headless/HeadlessControl.h"

namespace {

void showCursor(HeadlessSystem& system, int show) {
    system.cursorCount += show ? 1 : -1;
}

} // namespace

void GlWindow::create(int width, int height, int bits, int fullScreen, const char* title) {
    if (!beginCreate(width, height, bits, fullScreen, title)) {
        return;
    }

    HeadlessSystem& system = headlessSystem();
    instance = &system;
    system.classRegistered = 1;

    if (this->fullScreen) {
        if (system.refuseDisplayMode) {
            this->fullScreen = 0;
        } else {
            system.displayModeChanged = 1;
            system.displayWidth = width;
            system.displayHeight = height;
            system.displayBits = bits;
        }
    }

    window = nullptr;
    if (!system.refuseWindow) {
        system.window = HeadlessWindow{};
        system.window.open = 1;
        system.window.bordered = !this->fullScreen;
        system.window.width = this->fullScreen ? width : width + GL_WINDOW_FRAME_EXTRA_WIDTH;
        system.window.height = this->fullScreen ? height : height + GL_WINDOW_FRAME_EXTRA_HEIGHT;
        system.window.title = this->title;
        system.windowsCreated++;
        window = &system.window;
    }
    // Without a window there is nothing to draw into and nothing to show; the cursor still
    // follows the mode, so that destroy gives back what create took.
    if (window) {
        if (!system.refuseGlContext) {
            EglContext* egl = new EglContext;
            if (egl->create(width, height)) {
                native.egl = egl;
                deviceContext = egl->surface;
                glContext = egl->context;
            } else {
                delete egl;
            }
        }
        system.window.shown = 1;
        system.window.captured = 1;
    }
    showCursor(system, !this->fullScreen);
}

void GlWindow::destroy() {
    if (!created) {
        return;
    }
    HeadlessSystem& system = headlessSystem();
    if (fullScreen) {
        system.displayModeChanged = 0;
        showCursor(system, 1);
    }
    if (native.egl) {
        delete native.egl;
        native.egl = nullptr;
    }
    if (window) {
        window->open = 0;
        window->shown = 0;
        window->captured = 0;
        window = nullptr;
    }
    system.classRegistered = 0;
}

bool GlWindow::isReady() const {
    return window && native.egl && glContext && eglGetCurrentContext() == glContext;
}

void GlWindow::swapBuffers() {
    if (!native.egl) {
        return;
    }
    native.egl->swap();
    HeadlessSystem& system = headlessSystem();
    system.swaps++;
    if (system.afterSwap) {
        system.afterSwap(system.swaps);
    }
}
