#include "terrain/Terrain.h"

#include "TestMaps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Every texel distinct: 4 columns, 3 rows.
float sampleAt(int column, int row) {
    return 0.05f * static_cast<float>(column + 4 * row) + 0.1f;
}

class HeightSampling : public ::testing::Test {
  protected:
    void SetUp() override { makeGreyMap(terrain.heightMap, 4, 3, sampleAt); }
    Terrain terrain;
};

struct PointCase {
    float x, y;
    double expected;
};

TEST_F(HeightSampling, MatchesTheBlendOfTheSurroundingTexels) {
    auto h = [](int column, int row) { return 5.0 * sampleAt(column, row); };
    const PointCase cases[] = {
        // Integer points give the texel itself.
        {0.0f, 0.0f, h(0, 0)},
        {3.0f, 2.0f, h(3, 2)},
        {1.0f, 1.0f, h(1, 1)},
        // Exact negative integers and far points wrap by the map's width and height.
        {-3.0f, 0.0f, h(1, 0)},
        {4.0f, 0.0f, h(0, 0)},
        {0.0f, -1.0f, h(0, 2)},
        {4002.0f, 3001.0f, h(2, 1)},
        {-4002.0f, -3001.0f, h(2, 2)},
        // Halfway along one axis: the mean of the two texels.
        {0.5f, 0.0f, (h(0, 0) + h(1, 0)) / 2},
        {2.0f, 1.5f, (h(2, 1) + h(2, 2)) / 2},
        // Just below zero: the last and the first column (or row) blended, never extrapolated.
        {-0.25f, 0.0f, 0.25 * h(3, 0) + 0.75 * h(0, 0)},
        {0.0f, -0.25f, 0.25 * h(0, 2) + 0.75 * h(0, 0)},
        // Past the last column the blend reaches back to the first.
        {3.5f, 0.0f, (h(3, 0) + h(0, 0)) / 2},
        // Inside a cell: bilinear.
        {1.25f, 0.5f,
         0.5 * (0.75 * h(1, 0) + 0.25 * h(2, 0)) + 0.5 * (0.75 * h(1, 1) + 0.25 * h(2, 1))},
        {-1.75f, 2.75f,
         0.25 * (0.75 * h(2, 2) + 0.25 * h(3, 2)) + 0.75 * (0.75 * h(2, 0) + 0.25 * h(3, 0))},
    };
    for (const PointCase& c : cases) {
        EXPECT_NEAR(terrain.heightAt(c.x, c.y), c.expected, 1e-5) << "at " << c.x << ", " << c.y;
    }
}

TEST_F(HeightSampling, RepeatsWithThePeriodOfTheMap) {
    const float xs[] = {0.25f, 1.5f, 3.75f};
    const float ys[] = {0.125f, 2.5f};
    for (float x : xs) {
        for (float y : ys) {
            const float base = terrain.heightAt(x, y);
            EXPECT_FLOAT_EQ(terrain.heightAt(x + 4.0f, y), base);
            EXPECT_FLOAT_EQ(terrain.heightAt(x - 40.0f, y + 3.0f), base);
            EXPECT_FLOAT_EQ(terrain.heightAt(x + 400.0f, y - 300.0f), base);
        }
    }
}

TEST_F(HeightSampling, HugeCoordinatesStillWrapAndNonFiniteOnesGiveNaN) {
    // 2^28 and 2^40 are multiples of the width 4 and leave 1 when divided by the height 3.
    const float powers[] = {268435456.0f, 1099511627776.0f};
    for (float p : powers) {
        EXPECT_FLOAT_EQ(terrain.heightAt(p, 1.0f), terrain.heightAt(0.0f, 1.0f)) << p;
        EXPECT_FLOAT_EQ(terrain.heightAt(-p, 1.0f), terrain.heightAt(0.0f, 1.0f)) << p;
        EXPECT_FLOAT_EQ(terrain.heightAt(2.0f, p), terrain.heightAt(2.0f, 1.0f)) << p;
        EXPECT_FLOAT_EQ(terrain.heightAt(2.0f, -p), terrain.heightAt(2.0f, 2.0f)) << p;
    }
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(std::isnan(terrain.heightAt(std::nanf(""), 0.0f)));
    EXPECT_TRUE(std::isnan(terrain.heightAt(0.0f, infinity)));
    EXPECT_TRUE(std::isnan(terrain.heightAt(-infinity, 0.0f)));
    EXPECT_FALSE(std::isnan(terrain.heightAt(std::numeric_limits<float>::max(), 0.5f)));
}

TEST(HeightSamplingChannels, OnlyTheFirstChannelSetsTheHeight) {
    Terrain terrain;
    terrain.heightMap.allocate(2, 2, KIND_RGB);
    const float colour[4] = {0.2f, 0.9f, 0.7f, 1.0f};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            terrain.heightMap.setPixel(colour, column, row);
        }
    }
    const float points[][2] = {{0.0f, 0.0f}, {0.5f, 0.5f}, {-7.3f, 12.9f}, {100.1f, -0.01f}};
    for (const auto& p : points) {
        EXPECT_NEAR(terrain.heightAt(p[0], p[1]), 1.0f, 1e-6f);
    }
}

TEST(HeightSamplingChannels, AnEmptyMapIsFlatAtZero) {
    Terrain terrain;
    const float points[][2] = {{0.0f, 0.0f}, {0.5f, 0.5f}, {-7.3f, 12.9f}, {1e9f, -1e9f}};
    for (const auto& p : points) {
        EXPECT_EQ(terrain.heightAt(p[0], p[1]), 0.0f);
    }
}

} // namespace
