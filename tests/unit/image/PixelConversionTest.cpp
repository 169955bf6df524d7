#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Pixel = std::vector<float>;

Pixel converted(Pixel pixel, int kind) {
    Image image;
    image.convertPixel(pixel.data(), kind);
    return pixel;
}

struct ConversionCase {
    int kind;
    Pixel in;
    Pixel expected;
};

TEST(PixelConversion, ReordersAndConvertsByKind) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const ConversionCase cases[] = {
        {KIND_BGR, {0.2f, 0.4f, 0.6f, 0.5f}, {0.6f, 0.4f, 0.2f, 1.0f}},
        {KIND_BGRA, {0.2f, 0.4f, 0.6f, 0.5f}, {0.6f, 0.4f, 0.2f, 0.5f}},
        {KIND_RGB, {0.2f, 0.4f, 0.6f, 0.5f}, {0.2f, 0.4f, 0.6f, 1.0f}},
        {KIND_RGBA, {0.2f, 0.4f, 0.6f, 0.5f}, {0.2f, 0.4f, 0.6f, 0.5f}},
        {0, {0.2f, 0.4f, 0.6f, 0.5f}, {0.2f, 0.4f, 0.6f, 0.5f}},
        {7, {0.2f, 0.4f, 0.6f, 0.5f}, {0.2f, 0.4f, 0.6f, 0.5f}},
        {KIND_GREY, {1, 1, 1, 0.5f}, {1.0333333f, 1.0333333f, 1.0333333f, 1.0f}},
        {KIND_GREY, {1, 0, 0, 0}, {0.33333334f, 0.33333334f, 0.33333334f, 1.0f}},
        {KIND_GREY, {0, 1, 0, 0}, {0.43333334f, 0.43333334f, 0.43333334f, 1.0f}},
        {KIND_GREY, {0, 0, 1, 0}, {0.26666668f, 0.26666668f, 0.26666668f, 1.0f}},
        {KIND_HSV, {1, 0, 0, 0.3f}, {0, 1, 1, 0.3f}},
        {KIND_HSV, {0, 1, 0, 0.3f}, {120, 1, 1, 0.3f}},
        {KIND_HSV, {0, 0, 1, 0.3f}, {240, 1, 1, 0.3f}},
        {KIND_HSV, {1, 0, 0.5f, 0.3f}, {330, 1, 1, 0.3f}},
        {KIND_HSV, {0.5f, 1, 0, 0.3f}, {90, 1, 1, 0.3f}},
        {KIND_HSV, {0, 0, 0, 0.3f}, {0, 0, 0, 0.3f}},
        // Equal components have no hue: 0, with saturation 0 and the component as value.
        {KIND_HSV, {0.5f, 0.5f, 0.5f, 0.3f}, {0, 0, 0.5f, 0.3f}},
        {KIND_HSV, {nan, 0.5f, 0.25f, 0.3f}, {nan, 0.5f, 0.25f, 0.3f}},
    };
    for (const ConversionCase& c : cases) {
        const Pixel out = converted(c.in, c.kind);
        for (int i = 0; i < 4; ++i) {
            if (std::isnan(c.expected[i])) {
                EXPECT_TRUE(std::isnan(out[i]));
            } else {
                EXPECT_EQ(out[i], c.expected[i]) << "kind " << c.kind << " channel " << i;
            }
        }
    }
}

TEST(PixelConversion, GreyIsSummedInDoubleAndRoundedOnce) {
    // Rounding each product to float on the way would change some of these values.
    int differFromFloatSums = 0;
    for (int c = 0; c < 256; ++c) {
        const float r = c / 255.0f;
        const float g = (255 - c) / 255.0f;
        const float b = (c * 7 % 256) / 255.0f;
        const float expected = static_cast<float>((0.8 * b + 1.3 * g + r) * 0.3333333333333333);
        const float inFloat = (0.8f * b + 1.3f * g + r) * 0.33333334f;
        differFromFloatSums += expected != inFloat;
        EXPECT_EQ(converted({r, g, b, 1}, KIND_GREY)[0], expected) << c;
    }
    EXPECT_GT(differFromFloatSums, 0);
}

TEST(PixelConversion, MaxAndMinTakeTheFirstQualifyingComponent) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float negZero = -0.0f;
    struct Case {
        Pixel pixel;
        float max, min;
    } cases[] = {
        {{1, 2, 3}, 3, 1}, {{3, 2, 1}, 3, 1},   {{2, 3, 1}, 3, 1},
        {{5, 5, 5}, 5, 5}, {{nan, 1, 2}, 0, 0}, {{1, nan, 2}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(maxOfThree(c.pixel.data()), c.max);
        EXPECT_EQ(minOfThree(c.pixel.data()), c.min);
    }
    // -0 and +0 compare equal, so the first of them is returned.
    const Pixel zeros = {negZero, 0.0f, 0.0f};
    EXPECT_TRUE(std::signbit(maxOfThree(zeros.data())));
}

struct SampleCase {
    float x, y;
    float expected;
};

TEST(PixelConversion, SampleBilinearTruncatesAndClamps) {
    Image image;
    image.allocate(2, 1, KIND_GREY);
    image.pixels[0] = 0.0f;
    image.pixels[1] = 1.0f;
    const float inf = std::numeric_limits<float>::infinity();
    const SampleCase cases[] = {
        {0.5f, 0, 0.5f},    {-0.25f, 0, -0.25f}, {-0.75f, 0.5f, -0.75f},
        {-1, 0, 0},         {-2, 0, 0},          {5, 0, 1},
        {1, 7, 1},          {0, 0, 0},           {1, 0, 1},
        {0.25f, -3, 0.25f}, {1e30f, 0, 1},       {-1e30f, 0, 0},
        {inf, 0, 1},        {-inf, 0, 0},        {3e9f, -3e9f, 1},
    };
    for (const SampleCase& c : cases) {
        float out = 42.0f;
        image.sampleBilinear(&out, c.x, c.y);
        EXPECT_EQ(out, c.expected) << c.x << "," << c.y;
    }
}

TEST(PixelConversion, SampleBilinearBlendsFourPixelsPerChannel) {
    Image image;
    image.allocate(2, 2, KIND_RGB);
    const float values[12] = {0, 10, 100, 4, 20, 200, 8, 30, 300, 12, 40, 400};
    std::copy(values, values + 12, image.pixels);
    float out[4] = {-1, -1, -1, -1};
    image.sampleBilinear(out, 0.5f, 0.5f);
    EXPECT_EQ(out[0], 6.0f);
    EXPECT_EQ(out[1], 25.0f);
    EXPECT_EQ(out[2], 250.0f);
    EXPECT_EQ(out[3], -1.0f);
    image.sampleBilinear(out, 1.0f, 1.0f);
    EXPECT_EQ(out[2], 400.0f);
}

} // namespace
