#include "Landscape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Picture {
    const char* name;
    std::vector<uint8_t> samples; // size x size pixels, `channels` bytes each
    int size;
    int channels;
    int at(int column, int row, int channel) const {
        return samples[(static_cast<size_t>(row) * size + column) * channels + channel];
    }
};

const Picture& shippedMap() {
    static const Picture map = {"height map",
                                generateHeightMap(LANDSCAPE_MAP_SIZE, LANDSCAPE_MAP_SEED),
                                LANDSCAPE_MAP_SIZE, 1};
    return map;
}

const Picture& shippedTexture() {
    static const Picture texture = {
        "texture", generateGroundTexture(LANDSCAPE_TEXTURE_SIZE, LANDSCAPE_TEXTURE_SEED),
        LANDSCAPE_TEXTURE_SIZE, 3};
    return texture;
}

// Mean absolute step between neighbours, either inside the picture or from its last row or
// column across to its first, and the largest of each.
struct Steps {
    double meanInside = 0.0, meanAcross = 0.0;
    int largestInside = 0, largestAcross = 0;
};

Steps measureSteps(const Picture& p, int channel) {
    Steps steps;
    for (int row = 0; row < p.size; ++row) {
        for (int column = 0; column < p.size; ++column) {
            int right = (column + 1) % p.size, up = (row + 1) % p.size;
            int horizontal = std::abs(p.at(right, row, channel) - p.at(column, row, channel));
            int vertical = std::abs(p.at(column, up, channel) - p.at(column, row, channel));
            for (auto [step, across] :
                 {std::make_pair(horizontal, right == 0), std::make_pair(vertical, up == 0)}) {
                (across ? steps.meanAcross : steps.meanInside) += step;
                int& largest = across ? steps.largestAcross : steps.largestInside;
                largest = std::max(largest, step);
            }
        }
    }
    steps.meanInside /= 2.0 * p.size * (p.size - 1);
    steps.meanAcross /= 2.0 * p.size;
    return steps;
}

} // namespace

TEST(Landscape, EdgesJoinAsSmoothlyAsNeighboursInside) {
    for (const Picture* picture : {&shippedMap(), &shippedTexture()}) {
        ASSERT_EQ(picture->samples.size(),
                  static_cast<size_t>(picture->size) * picture->size * picture->channels);
        for (int channel = 0; channel < picture->channels; ++channel) {
            Steps steps = measureSteps(*picture, channel);
            EXPECT_LE(steps.meanAcross, 1.25 * steps.meanInside) << picture->name << channel;
            EXPECT_LE(steps.largestAcross, steps.largestInside) << picture->name << channel;
        }
    }
    // The measure itself notices a map that does not repeat: the lower left quarter.
    Picture quarter = {"quarter", {}, LANDSCAPE_MAP_SIZE / 2, 1};
    for (int row = 0; row < quarter.size; ++row)
        for (int column = 0; column < quarter.size; ++column)
            quarter.samples.push_back(static_cast<uint8_t>(shippedMap().at(column, row, 0)));
    Steps cut = measureSteps(quarter, 0);
    EXPECT_GT(cut.meanAcross, 1.25 * cut.meanInside);
}

TEST(Landscape, HeightsFillTheRangeWithGentleSlopes) {
    const Picture& map = shippedMap();
    int bands[8] = {};
    std::vector<double> slopes;
    for (int row = 0; row < map.size; ++row) {
        for (int column = 0; column < map.size; ++column) {
            ++bands[map.at(column, row, 0) / 32];
            // World units per unit: heights are 5 x the sample / 255, one texel is one unit.
            double dx =
                (map.at((column + 1) % map.size, row, 0) - map.at(column, row, 0)) * 5.0 / 255;
            double dy =
                (map.at(column, (row + 1) % map.size, 0) - map.at(column, row, 0)) * 5.0 / 255;
            slopes.push_back(std::sqrt(dx * dx + dy * dy));
        }
    }
    EXPECT_EQ(*std::min_element(map.samples.begin(), map.samples.end()), 0);
    EXPECT_EQ(*std::max_element(map.samples.begin(), map.samples.end()), 255);
    // No eighth of the range holds a quarter of the map: hills and valleys, not a plain.
    for (int count : bands)
        EXPECT_LT(count, static_cast<int>(map.samples.size()) / 4);

    std::sort(slopes.begin(), slopes.end());
    double mean = 0.0;
    for (double slope : slopes)
        mean += slope / slopes.size();
    EXPECT_GT(mean, 0.08); // rolling, not flat
    EXPECT_LT(mean, 0.25); // mostly gentle
    EXPECT_LT(slopes[slopes.size() * 99 / 100], 0.6);
    // The eye flies 0.75 above the ground one unit behind it: no slope may bury it.
    EXPECT_LT(slopes.back(), 0.75);
}

TEST(Landscape, TextureIsMidRangeGroundWithoutLargeShapes) {
    const Picture& texture = shippedTexture();
    const int blocks = 8, block = texture.size / blocks;
    double means[3] = {}, lowest = 255.0, highest = 0.0;
    for (int by = 0; by < blocks; ++by) {
        for (int bx = 0; bx < blocks; ++bx) {
            double sum = 0.0;
            for (int row = by * block; row < (by + 1) * block; ++row) {
                for (int column = bx * block; column < (bx + 1) * block; ++column) {
                    for (int channel = 0; channel < 3; ++channel)
                        means[channel] += texture.at(column, row, channel);
                    sum += 0.299 * texture.at(column, row, 0) + 0.587 * texture.at(column, row, 1) +
                           0.114 * texture.at(column, row, 2);
                }
            }
            lowest = std::min(lowest, sum / (block * block));
            highest = std::max(highest, sum / (block * block));
        }
    }
    for (double& mean : means)
        mean /= static_cast<double>(texture.size) * texture.size;
    EXPECT_GT(means[1], means[0]); // green grass over brown earth
    EXPECT_GT(means[0], means[2]);
    double brightness = 0.299 * means[0] + 0.587 * means[1] + 0.114 * means[2];
    EXPECT_GT(brightness, 80.0);
    EXPECT_LT(brightness, 150.0);
    // Shapes an eighth of the tile across would show as a grid when the tile repeats: blocks of
    // that size hardly differ in brightness.
    EXPECT_LT(highest - lowest, 0.12 * brightness);
    // Fine detail is there: neighbouring texels differ visibly on average.
    EXPECT_GT(measureSteps(texture, 1).meanInside, 3.0);
}

TEST(Landscape, TheSameSeedGivesTheSameBytesAndAnotherSeedOthers) {
    for (auto generate : {generateHeightMap, generateGroundTexture}) {
        std::vector<uint8_t> first = generate(64, 1234);
        EXPECT_EQ(first, generate(64, 1234));
        EXPECT_NE(first, generate(64, 1235));
    }
}

TEST(Landscape, SizesOutsideTheLimitsGiveNothing) {
    for (int size : {-1, 0, LANDSCAPE_MIN_SIZE - 1, LANDSCAPE_MAX_SIZE + 1, 1 << 30}) {
        EXPECT_TRUE(generateHeightMap(size, 1).empty()) << size;
        EXPECT_TRUE(generateGroundTexture(size, 1).empty()) << size;
    }
    EXPECT_EQ(generateHeightMap(LANDSCAPE_MIN_SIZE, 1).size(),
              static_cast<size_t>(LANDSCAPE_MIN_SIZE * LANDSCAPE_MIN_SIZE));
}
