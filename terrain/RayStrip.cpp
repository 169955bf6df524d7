// One ray of the fan: vertices on the ground at quadratically growing distances from the viewer.
#include "terrain/Viewer.h"

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
    float acc = spacingStep;
    for (int i = 0; i < samplesPerRay; ++i) {
        StripVertex& vertex = strip[static_cast<size_t>(i)];
        const float distance = acc + nearDistance;
        const float px = distance * cosA + x;
        const float py = distance * sinA + y;
        vertex.position = {px, py, terrain.heightAt(px, py)};

        const Vec3 alongX{px + NORMAL_OFFSET, py, terrain.heightAt(px + NORMAL_OFFSET, py)};
        const Vec3 alongY{px, py + NORMAL_OFFSET, terrain.heightAt(px, py + NORMAL_OFFSET)};
        const Vec3 n = (alongX - vertex.position).cross(alongY - vertex.position);
        const float lengthSquared = n.x * n.x + n.y * n.y + n.z * n.z;
        // So far out that the offset is lost in rounding, the differences vanish: call it flat.
        if (std::isnormal(lengthSquared)) {
            const float inverse = 1.0f / std::sqrt(lengthSquared);
            vertex.normal = {n.x * inverse, n.y * inverse, n.z * inverse};
        } else {
            vertex.normal = {0.0f, 0.0f, 1.0f};
        }

        const Vec2 texCoord = Vec2{px, py} / terrain.tilingSize;
        vertex.texCoord[0] = texCoord.x;
        vertex.texCoord[1] = texCoord.y;

        acc = acc + static_cast<float>(i + 1) * spacingStep;
    }
    return strip;
}
