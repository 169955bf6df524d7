#include "Landscape.h"

#include "PeriodicNoise.h"

#include <algorithm>
#include <cmath>

namespace {

// Lengths are in texels, which the program takes as world units.
struct Octave {
    double wavelength;
    double amplitude;
};
const Octave TERRAIN_OCTAVES[] = {{128.0, 0.15}, {64.0, 0.4}, {32.0, 0.75},
                                  {16.0, 0.35},  {8.0, 0.08}, {4.0, 0.015}};
const double TERRAIN_WARP_WAVELENGTH = 160.0;
const double TERRAIN_WARP_DISTANCE = 22.0;
const double TERRAIN_RIDGE_WAVELENGTH = 96.0;
const double TERRAIN_RIDGE_MASK_WAVELENGTH = 300.0;
const double TERRAIN_RIDGE_HEIGHT = 0.55;
// Heights this many standard deviations from the mean land 70% of the way from the middle of the
// range to its end; rarer extremes are compressed towards the ends.
const double TERRAIN_SPREAD = 1.1;
// Slope of the height curve at the bottom of the range: below 1 flattens the valley floors.
const double TERRAIN_VALLEY_FLATNESS = 0.8;
const double TERRAIN_HEIGHT_RANGE = 5.0;   // world units from sample 0 to sample 255
const double TERRAIN_STEEPEST_STEP = 0.48; // world units between neighbouring texels
const int TERRAIN_SLOPE_PASSES = 64;
const double TEXTURE_EARTH[3] = {0.50, 0.42, 0.31};

bool sizeValid(int size) {
    return size >= LANDSCAPE_MIN_SIZE && size <= LANDSCAPE_MAX_SIZE;
}

// Noise whose features repeat about every `wavelength` texels, rounded so that a whole number of
// them fits across a map of `size` texels.
struct Layer {
    PeriodicNoise noise;
    double cellsPerTexel;
    Layer(int size, double wavelength, Pcg32& random)
        : noise(periodFor(size, wavelength), periodFor(size, wavelength), random),
          cellsPerTexel(static_cast<double>(noise.periodX) / size) {}
    double at(double u, double v) const { return noise.at(u * cellsPerTexel, v * cellsPerTexel); }
    static int periodFor(int size, double wavelength) {
        return std::max(1, static_cast<int>(std::floor(size / wavelength + 0.5)));
    }
};

double clamp01(double value) {
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

uint8_t toByte(double value) {
    return static_cast<uint8_t>(std::floor(clamp01(value) * 255.0 + 0.5));
}

void normalise(std::vector<double>& field) {
    auto [low, high] = std::minmax_element(field.begin(), field.end());
    double lowest = *low;
    double span = *high - *low;
    for (double& h : field)
        h = span > 0.0 ? (h - lowest) / span : 0.0;
}

// Spreads the bulk of the heights over 0..1 and lets the rare extremes approach the ends softly,
// so that the fixed range of heights goes into hills rather than into a few outliers.
void spreadHeights(std::vector<double>& field) {
    double mean = 0.0;
    for (double h : field)
        mean += h;
    mean /= field.size();
    double variance = 0.0;
    for (double h : field)
        variance += (h - mean) * (h - mean);
    double deviation = std::sqrt(variance / field.size());
    for (double& h : field) {
        double z = deviation > 0.0 ? (h - mean) / (TERRAIN_SPREAD * deviation) : 0.0;
        h = z / std::sqrt(1.0 + z * z);
    }
    normalise(field);
    // Broad valley floors: the low half is flattened, the high half keeps its shape.
    for (double& h : field)
        h = h * (TERRAIN_VALLEY_FLATNESS + (1.0 - TERRAIN_VALLEY_FLATNESS) * h);
}

// Lets steep places slide like scree: wherever a height differs from a neighbour by more than the
// limit, both move towards each other. The field holds heights in 0..1 of the range.
void limitSlopes(std::vector<double>& field, int size) {
    const double limit = TERRAIN_STEEPEST_STEP / TERRAIN_HEIGHT_RANGE;
    std::vector<double> change(field.size());
    for (int pass = 0; pass < TERRAIN_SLOPE_PASSES; ++pass) {
        std::fill(change.begin(), change.end(), 0.0);
        bool steep = false;
        for (int row = 0; row < size; ++row) {
            int up = row + 1 == size ? 0 : row + 1;
            for (int column = 0; column < size; ++column) {
                int right = column + 1 == size ? 0 : column + 1;
                size_t here = static_cast<size_t>(row) * size + column;
                size_t neighbours[2] = {static_cast<size_t>(row) * size + right,
                                        static_cast<size_t>(up) * size + column};
                for (size_t other : neighbours) {
                    double step = field[here] - field[other];
                    double excess = std::fabs(step) - limit;
                    if (excess <= 0.0)
                        continue;
                    steep = true;
                    double move = std::copysign(excess * 0.25, step);
                    change[here] -= move;
                    change[other] += move;
                }
            }
        }
        if (!steep)
            break;
        for (size_t i = 0; i < field.size(); ++i)
            field[i] += change[i];
    }
}

// Rolling hills from broad swells down to small bumps, on ground bent by a gentle warp so that
// hillsides curve, plus ridges along the zero lines of one more noise where a mask allows them.
std::vector<double> roughHeights(int size, uint64_t seed) {
    Pcg32 random(seed, 1);
    Layer warpU(size, TERRAIN_WARP_WAVELENGTH, random);
    Layer warpV(size, TERRAIN_WARP_WAVELENGTH, random);
    std::vector<Layer> hills;
    for (const Octave& octave : TERRAIN_OCTAVES)
        hills.emplace_back(size, octave.wavelength, random);
    Layer ridge(size, TERRAIN_RIDGE_WAVELENGTH, random);
    Layer ridgeMask(size, TERRAIN_RIDGE_MASK_WAVELENGTH, random);

    std::vector<double> field(static_cast<size_t>(size) * size);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            double u = column + TERRAIN_WARP_DISTANCE * warpU.at(column, row);
            double v = row + TERRAIN_WARP_DISTANCE * warpV.at(column, row);
            double height = 0.0;
            for (size_t i = 0; i < hills.size(); ++i)
                height += TERRAIN_OCTAVES[i].amplitude * hills[i].at(u, v);
            // A softened absolute value keeps the crest rounded, without a crease in the normals.
            double ridgeValue = ridge.at(u, v);
            double crest = 1.0 - std::sqrt(ridgeValue * ridgeValue + 0.004);
            double mask = clamp01(ridgeMask.at(column, row) * 2.5 + 0.3);
            height += TERRAIN_RIDGE_HEIGHT * mask * crest * crest * crest;
            field[static_cast<size_t>(row) * size + column] = height;
        }
    }
    return field;
}

} // namespace

std::vector<uint8_t> generateHeightMap(int size, uint64_t seed) {
    if (!sizeValid(size))
        return {};
    std::vector<double> field = roughHeights(size, seed);
    spreadHeights(field);
    limitSlopes(field, size);
    normalise(field);
    std::vector<uint8_t> map(field.size());
    for (size_t i = 0; i < field.size(); ++i)
        map[i] = toByte(field[i]);
    return map;
}

std::vector<uint8_t> generateGroundTexture(int size, uint64_t seed) {
    if (!sizeValid(size))
        return {};
    // Every feature is small against the tile, so that no shape stands out when the tile repeats.
    Pcg32 random(seed, 2);
    Layer hue(size, size / 12.0, random);
    Layer soil(size, size / 18.0, random);
    Layer soilDetail(size, size / 40.0, random);
    Layer clumps(size, size / 36.0, random);
    Layer blades(size, size / 80.0, random);

    std::vector<uint8_t> rgb(static_cast<size_t>(size) * size * 3);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            double yellow = clamp01(0.5 + 0.8 * hue.at(column, row));
            double earth =
                clamp01((soil.at(column, row) + 0.45 * soilDetail.at(column, row)) * 2.2 - 0.8);
            double blade = 1.0 - std::fabs(blades.at(column, row));
            double grassShade = 0.72 + 0.30 * blade * blade + 0.16 * clumps.at(column, row);
            // Bare earth is lit evenly; grass shows the shadows between its blades and clumps.
            double shade = grassShade + (1.0 - grassShade) * earth * 0.8;
            shade += 0.12 * (random.nextUnit() - 0.5);
            const double grass[3] = {0.36 + 0.16 * yellow, 0.56 + 0.05 * yellow, 0.22};
            size_t at = (static_cast<size_t>(row) * size + column) * 3;
            for (int channel = 0; channel < 3; ++channel) {
                double colour = grass[channel] + (TEXTURE_EARTH[channel] - grass[channel]) * earth;
                rgb[at + channel] = toByte(colour * shade);
            }
        }
    }
    return rgb;
}
