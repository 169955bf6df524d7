#include "GlTest.h"

#include "image/TextureUpload.h"

#include <cmath>
#include <vector>

namespace {

class TextureUploadTest : public GlTest {
  protected:
    static GLint levelParameter(int level, GLenum name) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }

    // Every level from the given size halves down to 1 x 1, and there is none below that.
    static void expectFullMipmapChain(int width, int height) {
        int level = 0;
        for (;; ++level) {
            EXPECT_EQ(levelParameter(level, GL_TEXTURE_WIDTH), width) << "level " << level;
            EXPECT_EQ(levelParameter(level, GL_TEXTURE_HEIGHT), height) << "level " << level;
            if (width == 1 && height == 1) {
                break;
            }
            width = width > 1 ? width / 2 : 1;
            height = height > 1 ? height / 2 : 1;
        }
        EXPECT_EQ(levelParameter(level + 1, GL_TEXTURE_WIDTH), 0);
    }

    static std::vector<float> levelZero(GLenum format, int width, int height) {
        const int channels = format == GL_RGBA ? 4 : 3;
        std::vector<float> texels(static_cast<size_t>(width * height * channels));
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_FLOAT, texels.data());
        return texels;
    }

    static void fill(Image& image, int width, int height, int kind) {
        ASSERT_EQ(image.allocate(width, height, kind), 1);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const float value[4] = {x / 255.0f, y / 255.0f, ((x ^ y) & 255) / 255.0f,
                                        ((x + y) & 255) / 255.0f};
                image.setPixel(value, x, y);
            }
        }
    }

    static void expectCheckerboard() {
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
        expectFullMipmapChain(4, 4);
        const std::vector<float> texels = levelZero(GL_RGB, 4, 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const float* t = &texels[static_cast<size_t>((y * 4 + x) * 3)];
                const bool light = (x + y) % 2 == 0;
                EXPECT_NEAR(t[0], light ? 1.0f : 0.8f, 0.6f / 255) << x << ", " << y;
                EXPECT_NEAR(t[1], light ? 1.0f : 0.0f, 0.6f / 255) << x << ", " << y;
                EXPECT_NEAR(t[2], light ? 1.0f : 0.5f, 0.6f / 255) << x << ", " << y;
            }
        }
    }

    static GLuint boundTexture() {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        return static_cast<GLuint>(bound);
    }
};

TEST_F(TextureUploadTest, AnImageThatDidNotLoadBecomesTheCheckerboard) {
    Image image;
    GLuint name = 0;
    uploadTexture(image, &name, 1);
    EXPECT_NE(name, 0u);
    EXPECT_EQ(boundTexture(), name);
    expectCheckerboard();
}

TEST_F(TextureUploadTest, AGreyImageBecomesTheCheckerboard) {
    Image image;
    fill(image, 8, 8, KIND_GREY);
    GLuint name = 0;
    uploadTexture(image, &name, 1);
    EXPECT_EQ(boundTexture(), name);
    expectCheckerboard();
}

TEST_F(TextureUploadTest, SidesThatAreNotPowersOfTwoAreReducedToThem) {
    Image image;
    fill(image, 300, 200, KIND_RGB);
    GLuint name = 0;
    uploadTexture(image, &name, 1);
    EXPECT_EQ(boundTexture(), name);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_GT(levelParameter(0, GL_TEXTURE_RED_SIZE), 0);
    expectFullMipmapChain(256, 128);
}

TEST_F(TextureUploadTest, AFourChannelPowerOfTwoImageIsUploadedAsItIs) {
    Image image;
    fill(image, 256, 256, KIND_RGBA);
    Image original(image);
    GLuint name = 0;
    uploadTexture(image, &name, 1);
    EXPECT_GT(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    expectFullMipmapChain(256, 256);
    const std::vector<float> texels = levelZero(GL_RGBA, 256, 256);
    int mismatches = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            float expected[4];
            original.getPixelClamped(expected, x, y);
            for (int c = 0; c < 4; ++c) {
                const float texel = texels[static_cast<size_t>((y * 256 + x) * 4 + c)];
                if (std::abs(texel - expected[c]) > 0.6f / 255) {
                    ++mismatches;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(TextureUploadTest, EveryUploadMakesAndBindsANewName) {
    GLuint names[3] = {};
    for (GLuint& name : names) {
        Image image;
        uploadTexture(image, &name, 1);
        EXPECT_EQ(boundTexture(), name);
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(names[1], names[2]);
    EXPECT_NE(names[0], names[2]);
}

} // namespace
