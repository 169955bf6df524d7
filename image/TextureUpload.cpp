// Uploads an Image as a mipmapped texture, with a checkerboard for anything that cannot be shown.
#include "image/TextureUpload.h"

namespace {

const float CHECKER_LIGHT[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float CHECKER_DARK[4] = {0.8f, 0.0f, 0.5f, 1.0f};

void makeCheckerboard(Image& image) {
    image.allocate(4, 4, KIND_RGB);
    for (int x = 0; x < image.width; ++x) {
        for (int y = 0; y < image.height; ++y) {
            image.setPixel((x + y) % 2 == 0 ? CHECKER_LIGHT : CHECKER_DARK, x, y);
        }
    }
}

} // namespace

void uploadTexture(Image& image, GLuint* textureId, int roundDown) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    if (textureId != nullptr) {
        *textureId = name;
    }

    if (!image.isLoaded() || (image.channels != 3 && image.channels != 4)) {
        makeCheckerboard(image);
    }
    image.resizeToPowerOfTwo(roundDown, 0);
    // A failed allocation leaves no picture; the texture then simply has no image.
    if (!image.isLoaded()) {
        return;
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, image.channels, image.width, image.height,
                      image.channels == 3 ? GL_RGB : GL_RGBA, GL_FLOAT, image.pixels);
}
