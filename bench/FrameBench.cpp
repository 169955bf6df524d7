// The CPU side of a frame with the start-up settings over the shipped height map, and heightAt on
// its own over the points that such frames sample.
#include "FanRays.h"

#include "terrain/Flight.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Place {
    float x, y, heading;
};

std::vector<Place> flightPlaces() {
    Viewer viewer;
    std::vector<Place> places;
    for (int place = 0; place < FLIGHT_PLACES; ++place) {
        placeOnCircle(viewer, flightClock(place));
        places.push_back({viewer.x, viewer.y, viewer.heading});
    }
    return places;
}

void frameCpuSide(benchmark::State& state, StripPath path) {
    if (!stripPathRuns(path)) {
        state.SkipWithError("this processor does not run the path");
        return;
    }
    Viewer viewer;
    if (!prepareViewer(viewer, QUELLMOOR_APP_DIR)) {
        state.SkipWithError("the shipped height map could not be read");
        return;
    }
    viewer.stripPath = path;
    const std::vector<Place> places = flightPlaces();
    size_t next = 0;
    for (auto _ : state) {
        const Place& place = places[next];
        next = (next + 1) % places.size();
        viewer.x = place.x;
        viewer.y = place.y;
        viewer.heading = place.heading;
        benchmark::DoNotOptimize(buildFanRays(viewer));
    }
    state.counters["vertices"] = fanVertices(viewer);
    state.counters["path"] = static_cast<double>(path);
}
// The path that the program takes here, then each path on its own.
BENCHMARK_CAPTURE(frameCpuSide, fastest, fastestStripPath())->Name("frame_cpu");
BENCHMARK_CAPTURE(frameCpuSide, plain, STRIP_PATH_PLAIN)->Name("frame_cpu/plain");
BENCHMARK_CAPTURE(frameCpuSide, sse2, STRIP_PATH_SSE2)->Name("frame_cpu/sse2");
BENCHMARK_CAPTURE(frameCpuSide, avx2, STRIP_PATH_AVX2)->Name("frame_cpu/avx2");

// The three points that each vertex of a frame samples, in the order that the strips sample them.
std::vector<float> framePoints(Viewer& viewer, const Place& place) {
    viewer.x = place.x;
    viewer.y = place.y;
    viewer.heading = place.heading;
    std::vector<float> points;
    const float first = viewer.heading - viewer.fieldOfView * 0.5f;
    for (int i = 0; i <= viewer.raySegments; ++i) {
        const float fraction = static_cast<float>(i) / static_cast<float>(viewer.raySegments);
        const RayStrip strip = viewer.buildRayStrip(first + fraction * viewer.fieldOfView);
        for (const StripVertex& vertex : strip) {
            const float px = vertex.position.x;
            const float py = vertex.position.y;
            points.insert(points.end(), {px, py, px + 0.01f, py, px, py + 0.01f});
        }
    }
    return points;
}

void heightAtAlone(benchmark::State& state) {
    Viewer viewer;
    if (!prepareViewer(viewer, QUELLMOOR_APP_DIR)) {
        state.SkipWithError("the shipped height map could not be read");
        return;
    }
    std::vector<std::vector<float>> frames;
    for (const Place& place : flightPlaces()) {
        frames.push_back(framePoints(viewer, place));
    }
    size_t next = 0;
    for (auto _ : state) {
        const std::vector<float>& points = frames[next];
        next = (next + 1) % frames.size();
        float sum = 0.0f;
        for (size_t i = 0; i < points.size(); i += 2) {
            sum += viewer.terrain.heightAt(points[i], points[i + 1]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["calls"] = static_cast<double>(frames[0].size() / 2);
}
BENCHMARK(heightAtAlone)->Name("height_at");

} // namespace
