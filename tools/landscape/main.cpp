// Writes the landscape's height map and ground texture into the directory given on the command
// line, where the program looks for them.
#include "Landscape.h"
#include "TgaWriter.h"

#include <cstdio>
#include <string>

namespace {

bool writeTga(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!bytes.empty() && writeFileBytes(path, bytes))
        return true;
    std::fprintf(stderr, "landscape: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: landscape OUTPUT-DIRECTORY\n");
        return 2;
    }
    std::string directory = argv[1];
    if (!directory.empty() && directory.back() != '/')
        directory += '/';

    std::vector<uint8_t> map = generateHeightMap(LANDSCAPE_MAP_SIZE, LANDSCAPE_MAP_SEED);
    std::vector<uint8_t> texture =
        generateGroundTexture(LANDSCAPE_TEXTURE_SIZE, LANDSCAPE_TEXTURE_SEED);
    bool mapWritten = writeTga(directory + "quellmoorMap.tga",
                               encodeGreyTga(LANDSCAPE_MAP_SIZE, LANDSCAPE_MAP_SIZE, map));
    bool textureWritten =
        writeTga(directory + "quellmoorTex.tga",
                 encodeRgbTga(LANDSCAPE_TEXTURE_SIZE, LANDSCAPE_TEXTURE_SIZE, texture));
    return mapWritten && textureWritten ? 0 : 1;
}
