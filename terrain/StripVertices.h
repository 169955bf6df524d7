// What every strip path shares: one ray's constants, the plain computation of a vertex, and the
// builders that compute several vertices at a time.
#pragma once

#include "terrain/HeightSampler.h"
#include "terrain/Viewer.h"

// Ground offset of the forward differences that give each vertex its normal.
constexpr float STRIP_NORMAL_OFFSET = 0.01f;

struct StripRay {
    float x, y; // the fan origin
    float cosA, sinA;
    float nearDistance;
    float spacingStep;
    float inverseTiling; // 1 / tilingSize, as Vec2's division takes it
};

// The running distance of the vertices: vertex i lies at acc + nearDistance, and acc grows by
// (i + 1) spacing steps after it.
class StripDistances {
  public:
    explicit StripDistances(const StripRay& ray) : ray_(ray), acc_(ray.spacingStep), next_(0) {}
    float next() {
        const float distance = acc_ + ray_.nearDistance;
        ++next_;
        acc_ = acc_ + static_cast<float>(next_) * ray_.spacingStep;
        return distance;
    }

  private:
    const StripRay& ray_;
    float acc_;
    int next_;
};

// Position z, normal and texture coordinate of the vertex at (px, py) from its three heights.
void finishVertex(const StripRay& ray, float px, float py, float height, float heightBeside,
                  float heightBeyond, StripVertex& vertex);

// The vertex at the given distance along the ray over a map with texels; the scratch stays.
void plainVertex(const HeightSampler& sampler, const StripRay& ray, float distance,
                 StripVertex& vertex);

// Fill count vertices over a map with texels whose offsets fit an int, leaving the scratch.
void buildVerticesSse2(const HeightSampler& sampler, const StripRay& ray, StripVertex* vertices,
                       int count);
void buildVerticesAvx2(const HeightSampler& sampler, const StripRay& ray, StripVertex* vertices,
                       int count);

// The non-negative remainder of cell by period, as getPixelWrapped wraps a column or row; the
// vector paths take it lane by lane for cells more than one period off the map.
inline int wrapCell(int cell, int period) {
    const int remainder = cell % period;
    return remainder < 0 ? remainder + period : remainder;
}
