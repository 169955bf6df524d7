// One ray of the fan: vertices on the ground at quadratically growing distances from the viewer.
#include "terrain/Viewer.h"

#include "terrain/HeightSampler.h"

#include <cmath>

namespace {

// Ground offset of the forward differences that give each vertex its normal.
constexpr float NORMAL_OFFSET = 0.01f;

} // namespace

Viewer::Viewer()
    : x(0.0f), y(0.0f), eyeHeight(0.0f), heading(0.0f), fieldOfView(0.0f), samplesPerRay(0),
      raySegments(0), nearDistance(0.0f), spacingStep(0.0f) {}

RayStrip Viewer::buildRayStrip(float angle) {
    RayStrip strip;
    if (samplesPerRay <= 0) {
        return strip;
    }
    strip.resize(static_cast<size_t>(samplesPerRay));

    const float cosA = std::cos(angle);
    const float sinA = std::sin(angle);
    // Each vertex takes heightAt at its point, beside it and beyond it. The three are taken
    // together: the sample beside shares the vertex's row, the one beyond its column, and the
    // scratch ends as the last of those heightAt calls would leave it. A map without texels has
    // no work to share and goes through heightAt itself.
    const HeightSampler sampler(terrain);
    const float tilingSize = terrain.tilingSize;
    const bool shareSamples = sampler.hasTexels();
    float acc = spacingStep;
    for (int i = 0; i < samplesPerRay; ++i) {
        StripVertex& vertex = strip[static_cast<size_t>(i)];
        const float distance = acc + nearDistance;
        const float px = distance * cosA + x;
        const float py = distance * sinA + y;
        const float besideX = px + NORMAL_OFFSET;
        const float beyondY = py + NORMAL_OFFSET;
        float height = 0.0f;
        float heightBeside = 0.0f;
        float heightBeyond = 0.0f;
        if (shareSamples) {
            const HeightAxis column = sampler.column(px);
            const HeightAxis row = sampler.row(py);
            const HeightAxis columnBeside = sampler.columnPast(column, besideX);
            const HeightAxis rowBeyond = sampler.rowPast(row, beyondY);
            const HeightTexels around = sampler.texels(column, row);
            height = HeightSampler::height(around, column, row, px, py);
            heightBeside =
                HeightSampler::height(sampler.texelsPast(around, column, row, columnBeside, row),
                                      columnBeside, row, besideX, py);
            heightBeyond =
                HeightSampler::height(sampler.texelsPast(around, column, row, column, rowBeyond),
                                      column, rowBeyond, px, beyondY);
            if (i + 1 == samplesPerRay) {
                sampler.keepScratch(column, rowBeyond, px, beyondY);
            }
        } else {
            height = terrain.heightAt(px, py);
            heightBeside = terrain.heightAt(besideX, py);
            heightBeyond = terrain.heightAt(px, beyondY);
        }
        vertex.position = {px, py, height};

        const Vec3 alongX{besideX, py, heightBeside};
        const Vec3 alongY{px, beyondY, heightBeyond};
        const Vec3 n = (alongX - vertex.position).cross(alongY - vertex.position);
        const float lengthSquared = n.x * n.x + n.y * n.y + n.z * n.z;
        // So far out that the offset is lost in rounding, the differences vanish: call it flat.
        if (std::isnormal(lengthSquared)) {
            const float inverse = 1.0f / std::sqrt(lengthSquared);
            vertex.normal = {n.x * inverse, n.y * inverse, n.z * inverse};
        } else {
            vertex.normal = {0.0f, 0.0f, 1.0f};
        }

        const Vec2 texCoord = Vec2{px, py} / tilingSize;
        vertex.texCoord[0] = texCoord.x;
        vertex.texCoord[1] = texCoord.y;

        acc = acc + static_cast<float>(i + 1) * spacingStep;
    }
    return strip;
}
