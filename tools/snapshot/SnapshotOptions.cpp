// Command-line parsing for the snapshot tool: every mistake is reported, none is guessed at.
#include "SnapshotOptions.h"

#include "terrain/Terrain.h"

#include <cstring>

const char* const SNAPSHOT_USAGE =
    "usage: snapshot [--time MS] [--map FILE] [--texture FILE] OUTPUT.png\n"
    "Renders the screensaver's frame at millisecond-clock value MS (default 0) into a 640 x 480\n"
    "PNG. The map and texture default to " TERRAIN_MAP_FILE_NAME " and " TERRAIN_TEXTURE_FILE_NAME
    ",\n"
    "each read in place or else from the Windows system folder, as the screensaver does.\n";

namespace {

bool parseMilliseconds(const char* text, uint32_t* value) {
    if (*text == '\0') {
        return false;
    }
    uint64_t total = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
        total = total * 10 + static_cast<uint64_t>(*c - '0');
        if (total > UINT32_MAX) {
            return false;
        }
    }
    *value = static_cast<uint32_t>(total);
    return true;
}

} // namespace

SnapshotOptions parseSnapshotOptions(int argc, const char* const* argv) {
    SnapshotOptions options;
    options.mapFileName = TERRAIN_MAP_FILE_NAME;
    options.textureFileName = TERRAIN_TEXTURE_FILE_NAME;
    bool haveOutput = false;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const char* argument = argv[i];
        const bool takesValue = std::strcmp(argument, "--time") == 0 ||
                                std::strcmp(argument, "--map") == 0 ||
                                std::strcmp(argument, "--texture") == 0;
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.showHelp = true;
        } else if (takesValue && i + 1 >= argc) {
            options.error = std::string(argument) + " needs a value";
        } else if (std::strcmp(argument, "--time") == 0) {
            if (!parseMilliseconds(argv[++i], &options.milliseconds)) {
                options.error = std::string("--time wants a whole number of milliseconds from 0 "
                                            "to 4294967295, not \"") +
                                argv[i] + "\"";
            }
        } else if (std::strcmp(argument, "--map") == 0) {
            options.mapFileName = argv[++i];
        } else if (std::strcmp(argument, "--texture") == 0) {
            options.textureFileName = argv[++i];
        } else if (argument[0] == '-' && argument[1] != '\0') {
            options.error = std::string("unknown option ") + argument;
        } else if (haveOutput) {
            options.error = std::string("only one output file, but also got ") + argument;
        } else {
            options.outputFileName = argument;
            haveOutput = true;
        }
    }
    if (options.error.empty() && !options.showHelp && !haveOutput) {
        options.error = "no output file given";
    }
    return options;
}
