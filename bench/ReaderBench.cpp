#include "ReaderBench.h"

#include "image/Image.h"

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <cstring>

namespace {

// Ours: file to float samples, as the program loads its images.
void readOurs(benchmark::State& state, const TestImage& file) {
    for (auto _ : state) {
        Image image;
        image.load(file.path.c_str());
        if (!image.isLoaded()) {
            state.SkipWithError("our reader refused the file");
            return;
        }
        benchmark::DoNotOptimize(image.pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.bytes));
}

// What any reader that produces floats pays before decoding a byte: a fresh picture of the same
// sides and kind, written once from end to end.
void writeFreshPicture(benchmark::State& state, const TestImage& file) {
    Image loaded;
    loaded.load(file.path.c_str());
    if (!loaded.isLoaded()) {
        state.SkipWithError("our reader refused the file");
        return;
    }
    for (auto _ : state) {
        Image image;
        image.allocate(loaded.width, loaded.height, loaded.kind);
        std::memset(image.pixels, 0,
                    static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                        static_cast<size_t>(image.channels) * sizeof(float));
        benchmark::DoNotOptimize(image.pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.bytes));
}

// stb_image: file to 8-bit samples in the file's own channel count.
void readStb(benchmark::State& state, const TestImage& file) {
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        stbi_uc* pixels = stbi_load(file.path.c_str(), &width, &height, &channels, 0);
        if (pixels == nullptr) {
            state.SkipWithError("stb_image refused the file");
            return;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.bytes));
}

} // namespace

void registerReaderBenchmarks(const std::vector<TestImage>& files) {
    for (const TestImage& file : files) {
        benchmark::RegisterBenchmark(("read/" + file.name + "/ours").c_str(), readOurs, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("read/" + file.name + "/stb").c_str(), readStb, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("read/" + file.name + "/fresh_floats").c_str(),
                                     writeFreshPicture, file)
            ->Unit(benchmark::kMillisecond);
    }
}
