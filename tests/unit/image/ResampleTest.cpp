#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Irregular values, so that the two resamplers never give the same result by accident.
void fillIrregular(Image& image, int width, int height, int kind) {
    image.allocate(width, height, kind);
    unsigned state = 12345;
    for (int i = 0; i < width * height * image.channels; ++i) {
        state = state * 1103515245u + 12345u;
        image.pixels[i] = static_cast<float>((state >> 16) % 1000) / 1000.0f;
    }
}

bool sameSamples(const Image& a, const Image& b) {
    return a.kind == b.kind && a.width == b.width && a.height == b.height &&
           std::memcmp(a.pixels, b.pixels,
                       sizeof(float) * static_cast<size_t>(a.width * a.height * a.channels)) == 0;
}

enum Route { UNCHANGED, ENLARGE, REDUCE };

struct SizeCase {
    int width, height, roundDown, square;
    int newWidth, newHeight;
    Route route;
};

TEST(Resample, PowerOfTwoSizesAndTheResamplerThatMakesThem) {
    const SizeCase cases[] = {
        {300, 200, 1, 0, 256, 128, REDUCE},
        {300, 200, 0, 0, 512, 256, ENLARGE},
        {300, 100, 0, 0, 512, 128, ENLARGE},
        {256, 256, 1, 0, 256, 256, UNCHANGED},
        {256, 256, 0, 1, 256, 256, UNCHANGED},
        {4, 4, 0, 0, 4, 4, UNCHANGED},
        {4, 4, 1, 1, 4, 4, UNCHANGED},
        {256, 100, 1, 0, 256, 100, UNCHANGED},
        {256, 100, 0, 0, 256, 100, UNCHANGED},
        {256, 100, 1, 1, 256, 100, UNCHANGED},
        {256, 100, 0, 1, 128, 128, REDUCE},
        {3000, 10, 1, 0, 2048, 8, REDUCE},
        {3000, 10, 0, 0, 2048, 16, REDUCE},
        {1, 3, 1, 0, 1, 2, REDUCE},
        {1, 1, 1, 0, 1, 1, ENLARGE},
        {3, 5, 0, 1, 8, 8, ENLARGE},
        {3, 5, 1, 1, 2, 2, REDUCE},
        {2049, 3, 0, 0, 2048, 4, REDUCE},
        {1, 2, 0, 0, 1, 2, UNCHANGED},
        {2, 1, 1, 1, 2, 1, UNCHANGED},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " roundDown "
                                        << c.roundDown << " square " << c.square);
        Image image;
        fillIrregular(image, c.width, c.height, KIND_RGB);
        image.comment = "stays";
        Image enlarged(image);
        enlarged.resample(c.newWidth, c.newHeight);
        Image reduced(image);
        reduced.resampleDown(c.newWidth, c.newHeight);
        const Image before(image);
        image.resizeToPowerOfTwo(c.roundDown, c.square);
        EXPECT_EQ(image.width, c.newWidth);
        EXPECT_EQ(image.height, c.newHeight);
        EXPECT_EQ(image.comment, "stays");
        switch (c.route) {
        case UNCHANGED:
            EXPECT_TRUE(sameSamples(image, before));
            break;
        case ENLARGE:
            EXPECT_TRUE(sameSamples(image, enlarged));
            EXPECT_TRUE(c.width * c.height == 1 || !sameSamples(image, reduced));
            break;
        case REDUCE:
            EXPECT_TRUE(sameSamples(image, reduced));
            EXPECT_FALSE(sameSamples(image, enlarged));
            break;
        }
    }
}

TEST(Resample, EnlargingSamplesWithoutHalfPixelOffset) {
    Image image;
    image.allocate(2, 1, KIND_GREY);
    image.pixels[0] = 0.0f;
    image.pixels[1] = 1.0f;
    image.resample(4, 1);
    EXPECT_EQ(pixelOf(image, 0, 0)[0], 0.0f);
    EXPECT_EQ(pixelOf(image, 1, 0)[0], 0.5f);
    EXPECT_EQ(pixelOf(image, 2, 0)[0], 1.0f);
    EXPECT_EQ(pixelOf(image, 3, 0)[0], 1.0f);
}

TEST(Resample, EnlargingStepsColumnsByARoundedReciprocalAndRowsByDivision) {
    // Red holds the column and green the row, so each new pixel shows where it was sampled.
    Image image;
    image.allocate(7, 7, KIND_RGB);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const float value[3] = {static_cast<float>(x), static_cast<float>(y), 0.0f};
            image.setPixel(value, x, y);
        }
    }
    image.resample(8, 8);
    EXPECT_EQ(pixelOf(image, 3, 3), (std::vector<float>{2.62499976f, 2.625f, 0}));
    EXPECT_EQ(pixelOf(image, 5, 5), (std::vector<float>{4.37499952f, 4.375f, 0}));
    EXPECT_EQ(pixelOf(image, 7, 7), (std::vector<float>{6, 6, 0}));
}

TEST(Resample, ReducingByTwoWeighsQuarterHalfQuarterButKeepsTheFirstColumn) {
    Image image;
    image.allocate(4, 1, KIND_GREY);
    const float values[4] = {0, 4, 8, 16};
    std::copy(values, values + 4, image.pixels);
    image.resampleDown(2, 1);
    EXPECT_EQ(pixelOf(image, 0, 0)[0], 0.0f);
    EXPECT_EQ(pixelOf(image, 1, 0)[0], 0.25f * 4 + 0.5f * 8 + 0.25f * 16);

    Image column;
    column.allocate(1, 4, KIND_GREY);
    std::copy(values, values + 4, column.pixels);
    column.resampleDown(1, 2);
    EXPECT_EQ(pixelOf(column, 0, 1)[0], 9.0f);
}

TEST(Resample, SinglePixelKeepsItsValue) {
    Image image;
    image.allocate(1, 1, KIND_RGBA);
    const float value[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    image.setPixel(value, 0, 0);
    image.resizeToPowerOfTwo(1, 0);
    EXPECT_EQ(pixelOf(image, 0, 0), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
}

TEST(Resample, ImagesWithoutSamplesEndEmptyOrZero) {
    Image empty;
    empty.resizeToPowerOfTwo(1, 0);
    EXPECT_TRUE(isEmptyPicture(empty));

    // A buffer with a side of 0 has nothing to sample: the new pixels are 0.
    Image flat;
    ASSERT_EQ(flat.allocate(0, 5, KIND_RGB), 1);
    flat.resizeToPowerOfTwo(1, 0);
    ASSERT_EQ(flat.width, 1);
    ASSERT_EQ(flat.height, 4);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(pixelOf(flat, 0, y), (std::vector<float>{0, 0, 0}));
    }
    flat.resample(-3, 2);
    EXPECT_TRUE(isEmptyPicture(flat));
}

} // namespace
