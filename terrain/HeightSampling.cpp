// Height of the tiling ground at any point: a bilinear blend of the four map texels around it.
#include "terrain/Terrain.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// Cells up to this size go to the wrapping fetch as they are; larger ones are first reduced by the
// map's period so that the cell and its right-hand neighbour stay representable as int.
constexpr float LARGEST_DIRECT_CELL = 1073741824.0f;

int cellOf(float floorValue, int period) {
    if (std::fabs(floorValue) <= LARGEST_DIRECT_CELL) {
        return static_cast<int>(floorValue);
    }
    if (!std::isfinite(floorValue) || period <= 0) {
        return 0;
    }
    return static_cast<int>(std::fmod(static_cast<double>(floorValue), period));
}

// The non-negative remainder of getPixelWrapped, dividing only for indexes outside the map.
int wrapped(int index, int period) {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(period)) {
        return index;
    }
    const int remainder = index % period;
    return remainder < 0 ? remainder + period : remainder;
}

// Copies all of a texel's channels, as getPixelWrapped does; the usual counts get fixed-size
// copies that the compiler can do in place.
void copyTexel(float* out, const float* texel, size_t channels) {
    switch (channels) {
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
        std::memcpy(out, texel, channels * sizeof(float));
        break;
    }
}

} // namespace

Terrain::Terrain()
    : tilingSize(0.0f), textureId(0), cellX(0), cellY(0), fracX(0.0f),
      fracY(0.0f), texel00{}, texel10{}, texel01{}, texel11{} {}

float Terrain::heightAt(float x, float y) {
    const float floorX = std::floor(x);
    const float floorY = std::floor(y);
    cellX = cellOf(floorX, heightMap.width);
    cellY = cellOf(floorY, heightMap.height);

    // The four texels as getPixelWrapped fetches them, with each column and row wrapped once
    // rather than once per texel: this runs three times for every vertex of every frame.
    const int width = heightMap.width;
    const int height = heightMap.height;
    if (width > 0 && height > 0) {
        const int column0 = wrapped(cellX, width);
        const int column1 = column0 + 1 == width ? 0 : column0 + 1;
        const int row0 = wrapped(cellY, height);
        const int row1 = row0 + 1 == height ? 0 : row0 + 1;
        const size_t channels = static_cast<size_t>(heightMap.channels);
        const size_t rowFloats = static_cast<size_t>(width) * channels;
        const float* firstRow = heightMap.pixels + static_cast<size_t>(row0) * rowFloats;
        const float* secondRow = heightMap.pixels + static_cast<size_t>(row1) * rowFloats;
        const size_t offset0 = static_cast<size_t>(column0) * channels;
        const size_t offset1 = static_cast<size_t>(column1) * channels;
        copyTexel(texel00, firstRow + offset0, channels);
        copyTexel(texel10, firstRow + offset1, channels);
        copyTexel(texel01, secondRow + offset0, channels);
        copyTexel(texel11, secondRow + offset1, channels);
    }

    fracX = x - floorX;
    fracY = y - floorY;

    const float a = texel00[0];
    const float b = texel10[0];
    const float c = texel01[0];
    const float d = texel11[0];
    const float nearRow = (1.0f - fracX) * a + fracX * b;
    const float farRow = fracX * d + (1.0f - fracX) * c;
    return (nearRow * (1.0f - fracY) + fracY * farRow) * 5.0f;
}
