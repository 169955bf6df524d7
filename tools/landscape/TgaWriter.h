// Writes uncompressed TGA files with the usual bottom-left origin: the first row stored is the
// bottom row of the picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum {
    TGA_TYPE_TRUE_COLOUR = 2,
    TGA_TYPE_GREY = 3,
    TGA_HEADER_SIZE = 18,
    TGA_MAX_SIDE = 32767, // readers take the sides as signed 16-bit values
};

// grey holds width x height bytes, bottom row first. Gives an empty result when a side is outside
// 1..TGA_MAX_SIDE or grey has the wrong size.
std::vector<uint8_t> encodeGreyTga(int width, int height, const std::vector<uint8_t>& grey);

// rgb holds width x height pixels of red, green, blue bytes, bottom row first; the file stores
// them blue, green, red. Empty result on the same faults as above.
std::vector<uint8_t> encodeRgbTga(int width, int height, const std::vector<uint8_t>& rgb);

// Replaces the file at path with bytes; false when it cannot be written completely.
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
