// One ray of the fan: vertices on the ground at quadratically growing distances from the viewer.
#include "terrain/SineCosine.h"
#include "terrain/StripVertices.h"

#include <cmath>

Viewer::Viewer()
    : x(0.0f), y(0.0f), eyeHeight(0.0f), heading(0.0f), fieldOfView(0.0f), samplesPerRay(0),
      raySegments(0), nearDistance(0.0f), spacingStep(0.0f), stripPath(fastestStripPath()) {}

void finishVertex(const StripRay& ray, float px, float py, float height, float heightBeside,
                  float heightBeyond, StripVertex& vertex) {
    vertex.position = {px, py, height};
    const Vec3 alongX{px + STRIP_NORMAL_OFFSET, py, heightBeside};
    const Vec3 alongY{px, py + STRIP_NORMAL_OFFSET, heightBeyond};
    const Vec3 n = (alongX - vertex.position).cross(alongY - vertex.position);
    const float lengthSquared = n.x * n.x + n.y * n.y + n.z * n.z;
    // So far out that the offset is lost in rounding, the differences vanish: call it flat.
    if (std::isnormal(lengthSquared)) {
        const float inverse = 1.0f / std::sqrt(lengthSquared);
        vertex.normal = {n.x * inverse, n.y * inverse, n.z * inverse};
    } else {
        vertex.normal = {0.0f, 0.0f, 1.0f};
    }
    vertex.texCoord[0] = px * ray.inverseTiling;
    vertex.texCoord[1] = py * ray.inverseTiling;
}

void plainVertex(const HeightSampler& sampler, const StripRay& ray, float distance,
                 StripVertex& vertex) {
    const float px = distance * ray.cosA + ray.x;
    const float py = distance * ray.sinA + ray.y;
    const float besideX = px + STRIP_NORMAL_OFFSET;
    const float beyondY = py + STRIP_NORMAL_OFFSET;
    // The sample beside shares the vertex's row, the one beyond its column.
    const HeightAxis column = sampler.column(px);
    const HeightAxis row = sampler.row(py);
    const HeightAxis columnBeside = sampler.columnPast(column, besideX);
    const HeightAxis rowBeyond = sampler.rowPast(row, beyondY);
    const HeightTexels around = sampler.texels(column, row);
    const float height = HeightSampler::height(around, column, row, px, py);
    const float heightBeside = HeightSampler::height(
        sampler.texelsPast(around, column, row, columnBeside, row), columnBeside, row, besideX, py);
    const float heightBeyond = HeightSampler::height(
        sampler.texelsPast(around, column, row, column, rowBeyond), column, rowBeyond, px, beyondY);
    finishVertex(ray, px, py, height, heightBeside, heightBeyond, vertex);
}

RayStrip Viewer::buildRayStrip(float angle) {
    RayStrip strip;
    if (samplesPerRay <= 0) {
        return strip;
    }
    strip.resize(static_cast<size_t>(samplesPerRay));
    StripVertex* vertices = strip.data();

    // The cosine and sine once per ray, rounded to floats.
    const SineCosine direction = sineCosine(angle);
    const StripRay ray{x,
                       y,
                       static_cast<float>(direction.cosine),
                       static_cast<float>(direction.sine),
                       nearDistance,
                       spacingStep,
                       1.0f / terrain.tilingSize};
    StripDistances distances(ray);
    const HeightSampler sampler(terrain);
    // A map without texels has no work to share: each vertex takes heightAt three times.
    if (!sampler.hasTexels()) {
        for (int i = 0; i < samplesPerRay; ++i) {
            const float distance = distances.next();
            const float px = distance * ray.cosA + ray.x;
            const float py = distance * ray.sinA + ray.y;
            const float height = terrain.heightAt(px, py);
            const float heightBeside = terrain.heightAt(px + STRIP_NORMAL_OFFSET, py);
            const float heightBeyond = terrain.heightAt(px, py + STRIP_NORMAL_OFFSET);
            finishVertex(ray, px, py, height, heightBeside, heightBeyond, vertices[i]);
        }
        return strip;
    }

    // A path this processor cannot run, or a map too large for int offsets, goes the plain way.
    const StripPath path =
        stripPathRuns(stripPath) && sampler.offsetsFitInt() ? stripPath : STRIP_PATH_PLAIN;
    switch (path) {
#if defined(__x86_64__) || defined(__i386__)
    case STRIP_PATH_AVX2:
        buildVerticesAvx2(sampler, ray, vertices, samplesPerRay);
        break;
    case STRIP_PATH_SSE2:
        buildVerticesSse2(sampler, ray, vertices, samplesPerRay);
        break;
#endif
    default:
        for (int i = 0; i < samplesPerRay; ++i) {
            plainVertex(sampler, ray, distances.next(), vertices[i]);
        }
        break;
    }
    // The scratch ends as the last heightAt of the strip, the one beyond its last vertex, leaves
    // it.
    const Vec3& last = strip.back().position;
    const float beyondY = last.y + STRIP_NORMAL_OFFSET;
    sampler.keepScratch(sampler.column(last.x), sampler.row(beyondY), last.x, beyondY);
    return strip;
}
