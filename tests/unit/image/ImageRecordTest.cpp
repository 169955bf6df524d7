#include "TestFiles.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A 4 x 4 grey image whose pixel (x, y) holds x + 10 y.
void fillNumbered(Image& image) {
    image.allocate(4, 4, KIND_GREY);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const float value = static_cast<float>(x + 10 * y);
            image.setPixel(&value, x, y);
        }
    }
}

struct PixelRead {
    bool wrapped;
    int x, y;
    float expected;
};

TEST(ImageRecord, ReadsWrapAroundOrClampAtTheEdges) {
    const PixelRead cases[] = {
        {true, -1, -1, 33},    {true, 4, 9, 10},      {true, -9, 0, 3},
        {true, 2, 1, 12},      {true, -4, -8, 0},     {true, 7, -5, 33},
        {true, INT_MIN, 0, 0}, {true, INT_MAX, 0, 3}, {false, -5, 10, 30},
        {false, 2, 1, 12},     {false, 9, -1, 3},     {false, INT_MIN, INT_MAX, 30},
    };
    Image image;
    fillNumbered(image);
    for (const PixelRead& c : cases) {
        float out = -1.0f;
        if (c.wrapped) {
            image.getPixelWrapped(&out, c.x, c.y);
        } else {
            image.getPixelClamped(&out, c.x, c.y);
        }
        EXPECT_EQ(out, c.expected) << (c.wrapped ? "wrapped " : "clamped ") << c.x << "," << c.y;
    }
}

TEST(ImageRecord, EmptyImageWritesNothingAndIgnoresWrites) {
    Image image;
    float out[4] = {7, 7, 7, 7};
    image.getPixelClamped(out, 0, 0);
    image.getPixelWrapped(out, 0, 0);
    image.sampleBilinear(out, 0.5f, 0.5f);
    EXPECT_EQ(out[0], 7.0f);
    image.setPixel(out, 0, 0);
    EXPECT_TRUE(isEmptyPicture(image));
}

TEST(ImageRecord, SetPixelOutsideChangesNothing) {
    Image image;
    fillNumbered(image);
    const float value = 99.0f;
    const int outside[][2] = {{4, 0}, {-1, 0}, {0, 4}, {0, -1}, {INT_MAX, INT_MAX}};
    for (const auto& p : outside) {
        image.setPixel(&value, p[0], p[1]);
    }
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(image.pixels[i], static_cast<float>(i % 4 + 10 * (i / 4)));
    }
}

struct AllocateCase {
    int width, height, kind;
    int result, channels;
};

TEST(ImageRecord, AllocateChecksKindAndSize) {
    const AllocateCase cases[] = {
        {3, 2, KIND_RGBA, 1, 4},
        {3, 2, KIND_RGB, 1, 3},
        {3, 2, KIND_BGRA, 1, 4},
        {3, 2, KIND_BGR, 1, 3},
        {3, 2, KIND_GREY, 1, 1},
        {8, 8, KIND_HSV, 0, 0},
        {8, 8, 0, 0, 0},
        {8, 8, 7, 0, 0},
        {-1, 5, KIND_GREY, 0, 0},
        {5, -1, KIND_GREY, 0, 0},
        {INT_MAX, INT_MAX, KIND_RGBA, 0, 0},
        {INT_MAX, 1 << 30, KIND_GREY, 0, 0},
    };
    for (const AllocateCase& c : cases) {
        Image image;
        fillMarker(image);
        EXPECT_EQ(image.allocate(c.width, c.height, c.kind), c.result)
            << c.width << "x" << c.height;
        EXPECT_EQ(image.channels, c.channels);
        EXPECT_EQ(image.comment, "marker");
        if (c.result == 1) {
            EXPECT_EQ(image.kind, c.kind);
            EXPECT_EQ(image.width, c.width);
            // The whole buffer must be writable.
            for (int i = 0; i < c.width * c.height * c.channels; ++i) {
                image.pixels[i] = 1.0f;
            }
        } else {
            EXPECT_TRUE(isEmptyPicture(image));
        }
    }
}

TEST(ImageRecord, FlipVerticalReversesRows) {
    Image image;
    image.allocate(1, 3, KIND_GREY);
    for (int y = 0; y < 3; ++y) {
        const float value = static_cast<float>(y);
        image.setPixel(&value, 0, y);
    }
    image.flipVertical();
    EXPECT_EQ(pixelOf(image, 0, 0), std::vector<float>{2.0f});
    EXPECT_EQ(pixelOf(image, 0, 2), std::vector<float>{0.0f});

    Image colour;
    colour.allocate(2, 2, KIND_RGB);
    for (int i = 0; i < 12; ++i) {
        colour.pixels[i] = static_cast<float>(i);
    }
    colour.flipVertical();
    EXPECT_EQ(pixelOf(colour, 1, 0), (std::vector<float>{9, 10, 11}));
    EXPECT_EQ(pixelOf(colour, 0, 1), (std::vector<float>{0, 1, 2}));
}

TEST(ImageRecord, CopyTakesSamplesAndKindButNotComment) {
    Image source;
    fillNumbered(source);
    source.comment = "kept apart";
    Image copied(source);
    EXPECT_EQ(copied.kind, KIND_GREY);
    EXPECT_EQ(copied.width, 4);
    EXPECT_TRUE(copied.comment.empty());
    EXPECT_NE(copied.pixels, source.pixels);
    source.pixels[5] = -1.0f;
    EXPECT_EQ(copied.pixels[5], 11.0f);

    copied.copy(copied);
    EXPECT_EQ(copied.pixels[5], 11.0f);

    const Image empty;
    copied.copy(empty);
    EXPECT_TRUE(isEmptyPicture(copied));
}

TEST(ImageRecord, ReleaseEmptiesEverythingAndMayRepeat) {
    Image image;
    image.release();
    EXPECT_TRUE(isEmptyPicture(image));
    fillNumbered(image);
    image.comment = "text";
    image.release();
    image.release();
    EXPECT_TRUE(isEmptyPicture(image));
    EXPECT_TRUE(image.comment.empty());
}

TEST(ImageRecord, CountsAsLoadedOnlyWithSamplesSidesAndKind) {
    Image image;
    EXPECT_FALSE(image.isLoaded());
    ASSERT_EQ(image.allocate(0, 4, KIND_GREY), 1);
    EXPECT_NE(image.pixels, nullptr);
    EXPECT_FALSE(image.isLoaded());
    image.allocate(2, 2, KIND_RGB);
    EXPECT_TRUE(image.isLoaded());
    image.kind = 7;
    EXPECT_FALSE(image.isLoaded());
    image.kind = KIND_HSV;
    EXPECT_TRUE(image.isLoaded());
    image.height = 0;
    EXPECT_FALSE(image.isLoaded());
}

} // namespace
