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
// (i + 1) spacing steps after it. The vector paths take the products (i + 1) * spacingStep
// several at a time and then the sums one by one, in the same order.
class StripDistances {
  public:
    // Held by value, so that the vertices written between two distances cannot change them.
    explicit StripDistances(const StripRay& ray)
        : nearDistance_(ray.nearDistance), spacingStep_(ray.spacingStep), acc_(ray.spacingStep),
          next_(0) {}
    float next() { return nextWithStep(static_cast<float>(next_ + 1) * spacingStep_); }
    // The next distance when the caller has worked out (index + 1) * spacingStep for it.
    float nextWithStep(float step) {
        const float distance = acc_ + nearDistance_;
        ++next_;
        acc_ = acc_ + step;
        return distance;
    }

  private:
    float nearDistance_;
    float spacingStep_;
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
