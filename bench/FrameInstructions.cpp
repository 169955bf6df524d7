// Counts instructions under callgrind, which is steady on a busy machine where clocks are not.
// Run as
//   valgrind --tool=callgrind --collect-atstart=no bench_frame_instructions frame|height_at [PATH]
// with PATH plain, sse2 or avx2 to force the strip path (the fastest one here by default).
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
    const bool frames = (argc == 2 || argc == 3) && std::strcmp(argv[1], "frame") == 0;
    const bool heights = (argc == 2 || argc == 3) && std::strcmp(argv[1], "height_at") == 0;
    Viewer viewer;
    bool knownPath = argc == 2;
    for (int path = 0; path < STRIP_PATH_COUNT && !knownPath; ++path) {
        if (std::strcmp(argv[2], stripPathName(static_cast<StripPath>(path))) == 0 &&
            stripPathRuns(static_cast<StripPath>(path))) {
            viewer.stripPath = static_cast<StripPath>(path);
            knownPath = true;
        }
    }
    if ((!frames && !heights) || !knownPath) {
        std::fprintf(stderr, "usage: bench_frame_instructions frame|height_at [plain|sse2|avx2]\n"
                             "(a path that this processor runs)\n");
        return 2;
    }
    if (!prepareViewer(viewer, QUELLMOOR_APP_DIR)) {
        std::fprintf(stderr, "bench_frame_instructions: cannot read the shipped height map\n");
        return 1;
    }
    long count = 0;
    const float sink = frames ? collectFrames(viewer, count) : collectHeights(viewer, count);
    std::printf("%ld %s (check %g, %s path)\n", count, frames ? "frames" : "calls", sink,
                stripPathName(viewer.stripPath));
    return 0;
}
