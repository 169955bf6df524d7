// Power-of-two resizing, rounding down, of a large and a small RGB picture.
#include "image/Image.h"

#include <benchmark/benchmark.h>

namespace {

void fillPattern(Image& image) {
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                         static_cast<size_t>(image.channels);
    for (size_t i = 0; i < count; ++i) {
        image.pixels[i] = static_cast<float>((i * 2654435761u) % 256) / 255.0f;
    }
}

void resizeDown(benchmark::State& state) {
    Image source;
    source.allocate(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), KIND_RGB);
    fillPattern(source);
    // The copy that each pass resizes is made, and the previous result freed, outside the timing.
    Image image;
    for (auto _ : state) {
        state.PauseTiming();
        image.copy(source);
        state.ResumeTiming();
        image.resizeToPowerOfTwo(1, 0);
        benchmark::DoNotOptimize(image.pixels);
    }
    state.counters["out_pixels"] = static_cast<double>(image.width) * image.height;
}
BENCHMARK(resizeDown)
    ->Name("resize_down")
    ->Args({3000, 2000})
    ->Args({300, 200})
    ->Unit(benchmark::kMillisecond);

} // namespace
