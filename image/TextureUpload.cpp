// Uploads an Image as a mipmapped texture, with a checkerboard for anything that cannot be shown.
#include "image/TextureUpload.h"

namespace {

constexpr float CHECKER_LIGHT[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float CHECKER_DARK[4] = {0.8f, 0.0f, 0.5f, 1.0f};

void makeCheckerboard(Image& image) {
    image.allocate(4, 4, KIND_RGB);
    for (int x = 0; x < image.width; ++x) {
        for (int y = 0; y < image.height; ++y) {
            image.setPixel((x + y) % 2 == 0 ? CHECKER_LIGHT : CHECKER_DARK, x, y);
        }
    }
}

int buildMipmaps(const Image& image) {
    return gluBuild2DMipmaps(GL_TEXTURE_2D, image.channels, image.width, image.height,
                             image.channels == 3 ? GL_RGB : GL_RGBA, GL_FLOAT, image.pixels);
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
    // A picture whose resized copy memory can't hold, or that GLU can't take, gives way to the
    // checkerboard, as an unreadable file does.
    if (!image.isLoaded()) {
        makeCheckerboard(image);
    }
    // Without memory even for the checkerboard, the texture simply has no image.
    if (!image.isLoaded()) {
        return;
    }
    if (buildMipmaps(image) != 0) {
        makeCheckerboard(image);
        if (image.isLoaded()) {
            buildMipmaps(image);
        }
    }
}
