// What every strip path shares: one ray's constants, the plain computation of a vertex, and the
// builders that compute several vertices at a time.
#pragma once

#include "terrain/HeightSampler.h"
#include "terrain/Viewer.h"

#include <algorithm>

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

// GROUP computes LANES vertices at the given distances, or returns false, with nothing written,
// when a lane lies outside its direct range.
using StripGroup = bool (*)(const HeightSampler& sampler, const StripRay& ray,
                            const float* distances, StripVertex* vertices);

template <int LANES, StripGroup GROUP>
__attribute__((always_inline)) inline void groupOrPlain(const HeightSampler& sampler,
                                                        const StripRay& ray, const float* distances,
                                                        StripVertex* vertices) {
    if (!GROUP(sampler, ray, distances, vertices)) {
        for (int lane = 0; lane < LANES; ++lane) {
            plainVertex(sampler, ray, distances[lane], vertices[lane]);
        }
    }
}

// Fill count vertices LANES at a time through GROUP. Always inlined, so that the loop is compiled
// for the caller's instruction set and can call or inline an AVX2 GROUP, which GCC will not
// inline into generic code.
template <int LANES, StripGroup GROUP>
__attribute__((always_inline)) inline void buildVerticesInGroups(const HeightSampler& sampler,
                                                                 const StripRay& ray,
                                                                 StripVertex* vertices, int count) {
    StripDistances distances(ray);
    float group[LANES];
    int i = 0;
    for (; i + LANES <= count; i += LANES) {
        // The products as next() takes them, all first so that they can be taken side by side;
        // the running sums stay in order.
        float steps[LANES];
        for (int lane = 0; lane < LANES; ++lane) {
            steps[lane] = static_cast<float>(i + lane + 1) * ray.spacingStep;
        }
        for (int lane = 0; lane < LANES; ++lane) {
            group[lane] = distances.nextWithStep(steps[lane]);
        }
        groupOrPlain<LANES, GROUP>(sampler, ray, group, vertices + i);
    }
    if (i == count) {
        return;
    }
    if (i == 0) {
        for (; i < count; ++i) {
            plainVertex(sampler, ray, distances.next(), vertices[i]);
        }
        return;
    }
    // The rest as the last full group of the strip: the vertices it computes again come out the
    // same.
    const int rest = count - i;
    std::copy(group + rest, group + LANES, group);
    for (int lane = LANES - rest; lane < LANES; ++lane) {
        group[lane] = distances.next();
    }
    groupOrPlain<LANES, GROUP>(sampler, ray, group, vertices + count - LANES);
}

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
