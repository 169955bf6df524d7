// Counts instructions under callgrind, which is steady on a busy machine where clocks are not.
// Run as
//   valgrind --tool=callgrind --collect-atstart=no bench_frame_instructions frame|height_at
// "frame" collects the CPU side of one frame at each place of the flight; "height_at" collects
// heightAt over the points that those frames sample. Prints how many frames or calls were
// collected, so that the totals can be divided by it.
#include "FanRays.h"

#include "terrain/Flight.h"

#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

float collectFrames(Viewer& viewer, long& count) {
    float sink = 0.0f;
    for (int place = 0; place < FLIGHT_PLACES; ++place) {
        placeOnCircle(viewer, flightClock(place));
        CALLGRIND_TOGGLE_COLLECT;
        sink += buildFanRays(viewer);
        CALLGRIND_TOGGLE_COLLECT;
        ++count;
    }
    return sink;
}

float collectHeights(Viewer& viewer, long& count) {
    float sink = 0.0f;
    for (int place = 0; place < FLIGHT_PLACES; ++place) {
        placeOnCircle(viewer, flightClock(place));
        std::vector<float> points;
        const float first = viewer.heading - viewer.fieldOfView * 0.5f;
        for (int i = 0; i <= viewer.raySegments; ++i) {
            const float fraction = static_cast<float>(i) / static_cast<float>(viewer.raySegments);
            for (const StripVertex& vertex :
                 viewer.buildRayStrip(first + fraction * viewer.fieldOfView)) {
                const float px = vertex.position.x;
                const float py = vertex.position.y;
                points.insert(points.end(), {px, py, px + 0.01f, py, px, py + 0.01f});
            }
        }
        CALLGRIND_TOGGLE_COLLECT;
        for (size_t i = 0; i < points.size(); i += 2) {
            sink += viewer.terrain.heightAt(points[i], points[i + 1]);
        }
        CALLGRIND_TOGGLE_COLLECT;
        count += static_cast<long>(points.size() / 2);
    }
    return sink;
}

} // namespace

int main(int argc, char** argv) {
    const bool frames = argc == 2 && std::strcmp(argv[1], "frame") == 0;
    const bool heights = argc == 2 && std::strcmp(argv[1], "height_at") == 0;
    if (!frames && !heights) {
        std::fprintf(stderr, "usage: bench_frame_instructions frame|height_at\n");
        return 2;
    }
    Viewer viewer;
    if (!prepareViewer(viewer, QUELLMOOR_APP_DIR)) {
        std::fprintf(stderr, "bench_frame_instructions: cannot read the shipped height map\n");
        return 1;
    }
    long count = 0;
    const float sink = frames ? collectFrames(viewer, count) : collectHeights(viewer, count);
    std::printf("%ld %s (check %g)\n", count, frames ? "frames" : "calls", sink);
    return 0;
}
