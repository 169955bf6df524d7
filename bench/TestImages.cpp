#include "TestImages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& bytes, unsigned value) {
    bytes.push_back(static_cast<unsigned char>(value & 255));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 255));
}

void put32(Bytes& bytes, std::uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

// Noise rather than a smooth pattern, so that no reader profits from repeated values.
Bytes noise(size_t count) {
    Bytes bytes(count);
    std::uint32_t state = 0x9E3779B9u;
    for (unsigned char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

Bytes tga(int channels) {
    Bytes bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = TEST_IMAGE_SIDE & 255;
    bytes[13] = TEST_IMAGE_SIDE >> 8;
    bytes[14] = TEST_IMAGE_SIDE & 255;
    bytes[15] = TEST_IMAGE_SIDE >> 8;
    bytes[16] = static_cast<unsigned char>(8 * channels);
    bytes[17] = channels == 4 ? 8 : 0;
    const Bytes raster = noise(size_t{TEST_IMAGE_SIDE} * TEST_IMAGE_SIDE * channels);
    bytes.insert(bytes.end(), raster.begin(), raster.end());
    return bytes;
}

Bytes bmp() {
    const std::uint32_t rasterBytes = 3u * TEST_IMAGE_SIDE * TEST_IMAGE_SIDE;
    Bytes bytes;
    put16(bytes, 0x4D42);
    put32(bytes, 54 + rasterBytes);
    put32(bytes, 0);
    put32(bytes, 54);
    put32(bytes, 40);
    put32(bytes, TEST_IMAGE_SIDE);
    put32(bytes, TEST_IMAGE_SIDE);
    put16(bytes, 1);
    put16(bytes, 24);
    put32(bytes, 0);
    put32(bytes, rasterBytes);
    put32(bytes, 2835);
    put32(bytes, 2835);
    put32(bytes, 0);
    put32(bytes, 0);
    const Bytes raster = noise(rasterBytes);
    bytes.insert(bytes.end(), raster.begin(), raster.end());
    return bytes;
}

Bytes pnm(int type, int channels) {
    const std::string header = "P" + std::to_string(type) + "\n" + std::to_string(TEST_IMAGE_SIDE) +
                               " " + std::to_string(TEST_IMAGE_SIDE) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    const Bytes raster = noise(size_t{TEST_IMAGE_SIDE} * TEST_IMAGE_SIDE * channels);
    bytes.insert(bytes.end(), raster.begin(), raster.end());
    return bytes;
}

bool writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

TestImages::TestImages() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quellmoor-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    directory_ = pattern;
    const struct {
        const char* name;
        const char* fileName;
        Bytes bytes;
    } made[] = {
        {"tga24", "rgb.tga", tga(3)},  {"tga32", "rgba.tga", tga(4)},  {"bmp24", "rgb.bmp", bmp()},
        {"ppm", "rgb.ppm", pnm(6, 3)}, {"pgm", "grey.pgm", pnm(5, 1)},
    };
    for (const auto& file : made) {
        const std::string path = directory_ + "/" + file.fileName;
        if (!writeFile(path, file.bytes)) {
            files_.clear();
            return;
        }
        files_.push_back({file.name, path, file.bytes.size()});
    }
}

TestImages::~TestImages() {
    if (!directory_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
}
