// The snapshot tool's command line.
#pragma once

#include <cstdint>
#include <string>

struct SnapshotOptions {
    uint32_t milliseconds = 0;
    std::string mapFileName;
    std::string textureFileName;
    std::string outputFileName;
    bool showHelp = false;
    // Empty when the command line was understood; otherwise what was wrong with it.
    std::string error;
};

// Reads [--time MS] [--map FILE] [--texture FILE] OUTPUT.png (or --help). MS is a decimal count
// from 0 to 4294967295; the map and texture default to the screensaver's two files.
SnapshotOptions parseSnapshotOptions(int argc, const char* const* argv);

extern const char* const SNAPSHOT_USAGE;
