// Height of the tiling ground at any point: a bilinear blend of the four map texels around it.
#include "terrain/Terrain.h"

#include <cmath>

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

} // namespace

Terrain::Terrain()
    : tilingSize(0.0f), textureId(0), cellX(0), cellY(0), fracX(0.0f),
      fracY(0.0f), texel00{}, texel10{}, texel01{}, texel11{} {}

float Terrain::heightAt(float x, float y) {
    const float floorX = std::floor(x);
    const float floorY = std::floor(y);
    cellX = cellOf(floorX, heightMap.width);
    cellY = cellOf(floorY, heightMap.height);

    heightMap.getPixelWrapped(texel00, cellX, cellY);
    heightMap.getPixelWrapped(texel10, cellX + 1, cellY);
    heightMap.getPixelWrapped(texel01, cellX, cellY + 1);
    heightMap.getPixelWrapped(texel11, cellX + 1, cellY + 1);

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
