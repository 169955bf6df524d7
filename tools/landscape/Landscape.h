// The shipped landscape: a height map and a ground texture, each tiling the plane seamlessly, made
// from a fixed seed so that every build produces the same bytes.
#pragma once

#include <cstdint>
#include <vector>

enum {
    LANDSCAPE_MAP_SIZE = 512,
    LANDSCAPE_TEXTURE_SIZE = 256, // a power of two, so the texture is uploaded unscaled
    LANDSCAPE_MIN_SIZE = 16,
    LANDSCAPE_MAX_SIZE = 4096,
};

const uint64_t LANDSCAPE_MAP_SEED = 0x51E11A00D5EEDULL;
const uint64_t LANDSCAPE_TEXTURE_SEED = 0x6A55E47E27ULL;

// size x size heights, one byte per texel, row 0 at the bottom, using the whole range 0..255.
// Feature sizes are in texels (the renderer's world units), so a larger map holds more hills
// rather than larger ones. A size outside LANDSCAPE_MIN_SIZE..LANDSCAPE_MAX_SIZE gives an empty
// result.
std::vector<uint8_t> generateHeightMap(int size, uint64_t seed);

// size x size pixels of red, green, blue bytes, row 0 at the bottom: grass and earth. Feature
// sizes are fractions of the tile. Same size limits as above.
std::vector<uint8_t> generateGroundTexture(int size, uint64_t seed);
