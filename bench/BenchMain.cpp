// Runs every benchmark; the reader files are made first and removed at the end.
#include "HeadlessBench.h"
#include "ReaderBench.h"
#include "TestImages.h"

#include <benchmark/benchmark.h>

#include <cstdio>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const TestImages images;
    if (images.files().empty()) {
        std::fprintf(stderr, "quellmoor_bench: could not write the reader test files\n");
        return 1;
    }
    registerReaderBenchmarks(images.files());
    benchmark::AddCustomContext("gl_renderer", headlessRenderer());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
