// Surfaceless EGL on Mesa: a pbuffer and a desktop GL context without any window system.
#include "platform/headless/EglContext.h"

#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

namespace {

EGLDisplay surfacelessDisplay() {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions == nullptr ||
        std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr) {
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// The deepest of 24, 16 or any depth buffer that a pbuffer config for desktop GL offers.
bool chooseConfig(EGLDisplay display, EGLConfig* config) {
    for (EGLint depth : {24, 16, 1}) {
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_ALPHA_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     depth,
                                     EGL_NONE};
        EGLint count = 0;
        if (eglChooseConfig(display, attributes, config, 1, &count) == EGL_TRUE && count > 0) {
            return true;
        }
    }
    return false;
}

} // namespace

EglContext::EglContext()
    : display(EGL_NO_DISPLAY), surface(EGL_NO_SURFACE), context(EGL_NO_CONTEXT), width(0),
      height(0) {}

EglContext::~EglContext() {
    destroy();
}

int EglContext::create(int width, int height) {
    destroy();
    if (width <= 0 || height <= 0) {
        return 0;
    }
    display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
        return 0;
    }
    // The display is one per process and stays initialized until the process ends: terminating
    // it would end every other context on it, and unloading the driver hides its allocations.
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        display = EGL_NO_DISPLAY;
        return 0;
    }

    EGLConfig config = nullptr;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    if (!chooseConfig(display, &config) || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        destroy();
        return 0;
    }
    surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        destroy();
        return 0;
    }
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        destroy();
        return 0;
    }
    this->width = width;
    this->height = height;
    if (makeCurrent() != 1) {
        destroy();
        return 0;
    }
    return 1;
}

int EglContext::makeCurrent() {
    if (context == EGL_NO_CONTEXT) {
        return 0;
    }
    return eglMakeCurrent(display, surface, surface, context) == EGL_TRUE ? 1 : 0;
}

int EglContext::swap() {
    if (context == EGL_NO_CONTEXT) {
        return 0;
    }
    return eglSwapBuffers(display, surface) == EGL_TRUE ? 1 : 0;
}

void EglContext::destroy() {
    if (display == EGL_NO_DISPLAY) {
        return;
    }
    if (eglGetCurrentContext() == context && context != EGL_NO_CONTEXT) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (context != EGL_NO_CONTEXT) {
        eglDestroyContext(display, context);
    }
    if (surface != EGL_NO_SURFACE) {
        eglDestroySurface(display, surface);
    }
    display = EGL_NO_DISPLAY;
    surface = EGL_NO_SURFACE;
    context = EGL_NO_CONTEXT;
    width = 0;
    height = 0;
}

void EglContext::readPixels(std::vector<unsigned char>& rgba) const {
    rgba.clear();
    if (context == EGL_NO_CONTEXT) {
        return;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    // RGBA rows are whole multiples of four bytes, so the default pack alignment fits them.
    std::vector<unsigned char> bottomUp(rowBytes * static_cast<size_t>(height));
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    rgba.resize(bottomUp.size());
    for (int row = 0; row < height; ++row) {
        std::memcpy(&rgba[static_cast<size_t>(row) * rowBytes],
                    &bottomUp[static_cast<size_t>(height - 1 - row) * rowBytes], rowBytes);
    }
}
