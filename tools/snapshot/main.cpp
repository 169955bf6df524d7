// Renders the screensaver's frame for one clock value into a PNG, off screen and without a GPU.
#include "PngWriter.h"
#include "SnapshotOptions.h"

#include "platform/Platform.h"
#include "platform/headless/EglContext.h"
#include "terrain/Flight.h"

#include <cstdio>

namespace {

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

} // namespace

int main(int argc, char** argv) {
    const SnapshotOptions options = parseSnapshotOptions(argc, argv);
    if (options.showHelp && options.error.empty()) {
        std::fputs(SNAPSHOT_USAGE, stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "snapshot: %s\n%s", options.error.c_str(), SNAPSHOT_USAGE);
        return EXIT_USAGE;
    }

    EglContext context;
    if (context.create(FRAME_WIDTH, FRAME_HEIGHT) != 1) {
        std::fputs("snapshot: no off-screen GL context (EGL on Mesa) could be made\n", stderr);
        return EXIT_FAILED;
    }
    Viewer viewer;
    setStartUpValues(viewer);
    viewer.terrain.loadAssets(options.mapFileName, options.textureFileName, TERRAIN_TILING_SIZE,
                              PLATFORM_WINDOWS_DATA_DIRECTORY);
    drawFrame(viewer, options.milliseconds);
    context.swap();

    std::vector<unsigned char> rgba;
    context.readPixels(rgba);
    std::string error;
    if (!writePng(options.outputFileName, FRAME_WIDTH, FRAME_HEIGHT, rgba, &error)) {
        std::fprintf(stderr, "snapshot: %s\n", error.c_str());
        return EXIT_FAILED;
    }
    return 0;
}
