#include "TgaWriter.h"

#include <cstdio>

namespace {

bool sidesValid(int width, int height) {
    return width >= 1 && width <= TGA_MAX_SIDE && height >= 1 && height <= TGA_MAX_SIDE;
}

void putLittle16(std::vector<uint8_t>& out, size_t offset, int value) {
    out[offset] = static_cast<uint8_t>(value & 0xFF);
    out[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

std::vector<uint8_t> header(int type, int width, int height, int bitsPerPixel) {
    std::vector<uint8_t> out(TGA_HEADER_SIZE, 0);
    out[2] = static_cast<uint8_t>(type);
    putLittle16(out, 12, width);
    putLittle16(out, 14, height);
    out[16] = static_cast<uint8_t>(bitsPerPixel);
    // Descriptor 0: no alpha bits, origin at the bottom left.
    out[17] = 0;
    return out;
}

} // namespace

std::vector<uint8_t> encodeGreyTga(int width, int height, const std::vector<uint8_t>& grey) {
    if (!sidesValid(width, height) ||
        grey.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return {};
    std::vector<uint8_t> out = header(TGA_TYPE_GREY, width, height, 8);
    out.insert(out.end(), grey.begin(), grey.end());
    return out;
}

std::vector<uint8_t> encodeRgbTga(int width, int height, const std::vector<uint8_t>& rgb) {
    size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (!sidesValid(width, height) || rgb.size() != pixels * 3)
        return {};
    std::vector<uint8_t> out = header(TGA_TYPE_TRUE_COLOUR, width, height, 24);
    out.reserve(TGA_HEADER_SIZE + rgb.size());
    for (size_t i = 0; i < pixels; ++i) {
        out.push_back(rgb[i * 3 + 2]);
        out.push_back(rgb[i * 3 + 1]);
        out.push_back(rgb[i * 3]);
    }
    return out;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    return written && closed;
}
