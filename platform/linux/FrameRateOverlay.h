// The frame rate written in the lower left corner of the picture (-fps), with what OpenGL 1.1
// offers and a small font of its own, so that every Linux backend draws the same text.
#pragma once

// Writes "N.N fps" over the picture in the current GL context. Every GL state that it changes is
// put back.
void drawFrameRate(float framesPerSecond);
