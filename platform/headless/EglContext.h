// A desktop GL context from Mesa through EGL that renders into an off-screen pbuffer: it needs no
// display server and no GPU (Mesa's software renderer serves when there is none).
#pragma once

#include <EGL/egl.h>

#include <vector>

struct EglContext {
    EGLDisplay display;
    EGLSurface surface;
    EGLContext context;
    int width;
    int height;

    EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;
    ~EglContext();

    // A width x height pbuffer with RGBA8 colour and the deepest depth buffer up to 24 bits, and a
    // compatibility-profile context for it, made current. Returns 1 on success; on failure 0, with
    // everything made so far released. Sides must be positive; a second create replaces the first.
    int create(int width, int height);
    // Makes this context current on the calling thread; 1 on success, 0 without a context.
    int makeCurrent();
    // Finishes the frame; a pbuffer has no second buffer to show. 1 on success.
    int swap();
    // Releases the context and surface (the process-wide display stays); safe to call again.
    void destroy();
    // The colour buffer of the current context as 8-bit RGBA, top row first: width * height * 4
    // bytes. Empty without a context.
    void readPixels(std::vector<unsigned char>& rgba) const;
};
