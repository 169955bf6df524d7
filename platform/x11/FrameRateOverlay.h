// The frame rate written in the lower left corner of the picture (-fps), with what OpenGL 1.1 and
// GLX offer: the X core font "fixed" turned into display lists by glXUseXFont.
#pragma once

struct GlWindow;

// Counts the frame about to be shown and writes the rate over it, in the window's current GL
// context. The glyphs are made on first use; without the font nothing is written. Every GL state
// that it changes is put back.
void drawFrameRate(GlWindow& window);
