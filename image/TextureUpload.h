// Turns an Image into a mipmapped GL texture; needs a current GL context.
#pragma once

#include "Image.h"
#include "GlIncludes.h"

// Creates and binds a new texture name (written to textureId), replaces an unusable image by the
// 4 x 4 checkerboard, brings the sides to powers of two and uploads all mipmap levels.
void uploadTexture(Image& image, GLuint* textureId, int roundDown);
