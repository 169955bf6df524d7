// Height of the tiling ground at any point: a bilinear blend of the four map texels around it.
#include "terrain/HeightSampler.h"

Terrain::Terrain()
    : tilingSize(0.0f), textureId(0), cellX(0), cellY(0), fracX(0.0f),
      fracY(0.0f), texel00{}, texel10{}, texel01{}, texel11{} {}

float Terrain::heightAt(float x, float y) {
    const HeightSampler sampler(*this);
    sampler.keepScratch(sampler.column(x), sampler.row(y), x, y);
    // A map without texels leaves the scratch's texels as they were: zero from the start.
    return blendHeight(fracX, fracY, texel00[0], texel10[0], texel01[0], texel11[0]);
}
