#include "FanRays.h"

#include "terrain/Flight.h"

#include <utility>

namespace {

// One turn of the flight's circle in milliseconds: 2 pi at 0.00001 radians per millisecond.
constexpr uint32_t TURN_MILLISECONDS = 628318;

} // namespace

uint32_t flightClock(int place) {
    return static_cast<uint32_t>(static_cast<uint64_t>(TURN_MILLISECONDS) *
                                 static_cast<uint64_t>(place % FLIGHT_PLACES) / FLIGHT_PLACES);
}

bool prepareViewer(Viewer& viewer, const std::string& appDir) {
    setStartUpValues(viewer);
    viewer.terrain.heightMap.load((appDir + "/" + TERRAIN_MAP_FILE_NAME).c_str());
    viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
    return viewer.terrain.heightMap.isLoaded();
}

int fanVertices(const Viewer& viewer) {
    return (viewer.raySegments + 1) * viewer.samplesPerRay;
}

float buildFanRays(Viewer& viewer) {
    const float first = viewer.heading - viewer.fieldOfView * 0.5f;
    RayStrip newer = viewer.buildRayStrip(first);
    RayStrip older;
    for (int i = 1; i <= viewer.raySegments; ++i) {
        older = std::move(newer);
        const float fraction = static_cast<float>(i) / static_cast<float>(viewer.raySegments);
        newer = viewer.buildRayStrip(first + fraction * viewer.fieldOfView);
    }
    return newer.empty() ? 0.0f : newer.back().position.z;
}
