// heightAt's arithmetic, split so that the samples of one strip vertex can share their work: the
// map's layout is read once, each coordinate is floored and wrapped once, and a sample's column or
// row serves the next sample that lies on it. Every value and every scratch field comes out as
// heightAt gives it, bit for bit.
#pragma once

#include "terrain/Terrain.h"

#include <cmath>
#include <cstddef>
#include <cstring>

// Where one coordinate falls along one side of the map.
struct HeightAxis {
    float floorValue; // floor of the coordinate, but +0 where the floor is -0
    int cell;         // the scratch's cellX or cellY
    size_t first;     // offsets in floats of the two texel columns (or rows) that the sample blends
    size_t second;    //   (both 0 for a map without texels)
};

// The first channels of the four texels around a sample: a, b on the near row, c, d on the far.
struct HeightTexels {
    float a, b, c, d;
};

// The coordinate's place in its cell, x - floor(x). That is never -0, so adding +0, which
// changes nothing else, makes up for the +0 that the axis keeps for a floor of -0.
inline float cellFraction(float value, const HeightAxis& axis) {
    return (value - axis.floorValue) + 0.0f;
}

// The bilinear blend of a, b (near row) and c, d (far row), scaled to world heights.
inline float blendHeight(float fracX, float fracY, float a, float b, float c, float d) {
    const float nearRow = (1.0f - fracX) * a + fracX * b;
    const float farRow = fracX * d + (1.0f - fracX) * c;
    return (nearRow * (1.0f - fracY) + fracY * farRow) * 5.0f;
}

class HeightSampler {
  public:
    explicit HeightSampler(Terrain& terrain)
        : terrain_(terrain), pixels_(terrain.heightMap.pixels), width_(terrain.heightMap.width),
          height_(terrain.heightMap.height),
          channels_(static_cast<size_t>(terrain.heightMap.channels)),
          rowFloats_(static_cast<size_t>(width_ > 0 ? width_ : 0) * channels_) {}

    // False for a map without texels, whose heights come from whatever the scratch holds.
    bool hasTexels() const { return width_ > 0 && height_ > 0; }
    // True when every texel's offset in floats fits a 32-bit int, as the vector paths index them.
    bool offsetsFitInt() const {
        return static_cast<unsigned long long>(rowFloats_) * static_cast<unsigned>(height_) <=
               2147483647ull;
    }

    // The map's layout, for the strip paths that wrap and read several samples at a time.
    const float* pixels() const { return pixels_; }
    int mapWidth() const { return width_; }
    int mapHeight() const { return height_; }
    size_t channels() const { return channels_; }
    size_t rowFloats() const { return rowFloats_; }

    HeightAxis column(float x) const { return axis(x, width_, channels_); }
    HeightAxis row(float y) const { return axis(y, height_, rowFloats_); }
    // The same for a coordinate just past one whose axis is known: it usually lies in the same
    // cell, whose wrap is then already done.
    HeightAxis columnPast(const HeightAxis& known, float x) const {
        return axisPast(known, x, width_, channels_);
    }
    HeightAxis rowPast(const HeightAxis& known, float y) const {
        return axisPast(known, y, height_, rowFloats_);
    }

    // Reading texels needs a map that has them.
    HeightTexels texels(const HeightAxis& column, const HeightAxis& row) const {
        const float* nearRow = pixels_ + row.first;
        const float* farRow = pixels_ + row.second;
        return {nearRow[column.first], nearRow[column.second], farRow[column.first],
                farRow[column.second]};
    }
    // The texels on column and row, taken from a known sample's when they are the same ones.
    HeightTexels texelsPast(const HeightTexels& known, const HeightAxis& knownColumn,
                            const HeightAxis& knownRow, const HeightAxis& column,
                            const HeightAxis& row) const {
        if (column.first == knownColumn.first && row.first == knownRow.first) {
            return known;
        }
        return texels(column, row);
    }

    // The height at (x, y), which lies on column and row with the given texels; the scratch
    // stays as it is.
    static float height(const HeightTexels& texels, const HeightAxis& column, const HeightAxis& row,
                        float x, float y) {
        return blendHeight(cellFraction(x, column), cellFraction(y, row), texels.a, texels.b,
                           texels.c, texels.d);
    }

    // Leaves the scratch as heightAt (x, y) does.
    void keepScratch(const HeightAxis& column, const HeightAxis& row, float x, float y) const {
        terrain_.cellX = column.cell;
        terrain_.cellY = row.cell;
        if (hasTexels()) {
            const float* nearRow = pixels_ + row.first;
            const float* farRow = pixels_ + row.second;
            copyTexel(terrain_.texel00, nearRow + column.first);
            copyTexel(terrain_.texel10, nearRow + column.second);
            copyTexel(terrain_.texel01, farRow + column.first);
            copyTexel(terrain_.texel11, farRow + column.second);
        }
        terrain_.fracX = cellFraction(x, column);
        terrain_.fracY = cellFraction(y, row);
    }

    // Cells up to this size go to the wrap as they are; larger ones are first reduced by the
    // map's period so that the cell and its neighbour stay representable as int.
    static constexpr float LARGEST_DIRECT_CELL = 1073741824.0f;

  private:
    static HeightAxis axis(float value, int period, size_t stride) {
        HeightAxis axis = floorAxis(value, period);
        wrapAxis(axis, period, stride);
        return axis;
    }

    static HeightAxis axisPast(const HeightAxis& known, float value, int period, size_t stride) {
        HeightAxis axis = floorAxis(value, period);
        if (axis.cell == known.cell) {
            axis.first = known.first;
            axis.second = known.second;
        } else {
            wrapAxis(axis, period, stride);
        }
        return axis;
    }

    // The floor of value and its cell, without the texel offsets.
    static HeightAxis floorAxis(float value, int period) {
        HeightAxis axis{0.0f, 0, 0, 0};
        // Within the direct range the floor is the truncation, one lower below a non-integer
        // negative value.
        if (std::fabs(value) <= LARGEST_DIRECT_CELL) {
            const int truncated = static_cast<int>(value);
            const float whole = static_cast<float>(truncated);
            const bool below = whole > value;
            axis.floorValue = below ? whole - 1.0f : whole;
            axis.cell = below ? truncated - 1 : truncated;
        } else {
            axis.floorValue = std::floor(value);
            if (std::isfinite(axis.floorValue) && period > 0) {
                axis.cell =
                    static_cast<int>(std::fmod(static_cast<double>(axis.floorValue), period));
            }
        }
        return axis;
    }

    // The offsets of the cell's two texels, wrapped into the map as getPixelWrapped wraps them:
    // the non-negative remainder, with a division only off the map.
    static void wrapAxis(HeightAxis& axis, int period, size_t stride) {
        if (period <= 0) {
            return;
        }
        int first = axis.cell;
        if (static_cast<unsigned>(first) >= static_cast<unsigned>(period)) {
            first %= period;
            first = first < 0 ? first + period : first;
        }
        const int second = first + 1 == period ? 0 : first + 1;
        axis.first = static_cast<size_t>(first) * stride;
        axis.second = static_cast<size_t>(second) * stride;
    }

    // All of a texel's channels, as getPixelWrapped copies them.
    void copyTexel(float* out, const float* texel) const {
        switch (channels_) {
        case 1:
            std::memcpy(out, texel, sizeof(float));
            break;
        case 3:
            std::memcpy(out, texel, 3 * sizeof(float));
            break;
        case 4:
            std::memcpy(out, texel, 4 * sizeof(float));
            break;
        default:
            std::memcpy(out, texel, channels_ * sizeof(float));
            break;
        }
    }

    Terrain& terrain_;
    const float* pixels_;
    int width_;
    int height_;
    size_t channels_;
    size_t rowFloats_;
};
