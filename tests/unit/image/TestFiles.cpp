#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

Bytes operator+(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes repeated(size_t count, unsigned char value) {
    return Bytes(count, value);
}

void appendLe16(Bytes& bytes, int value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void appendLe32(Bytes& bytes, long long value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
    }
}

Bytes tgaHeader(int idLength, int mapType, int imageType, int mapFirst, int mapLength, int mapBits,
                int width, int height, int depth) {
    Bytes bytes = {static_cast<unsigned char>(idLength), static_cast<unsigned char>(mapType),
                   static_cast<unsigned char>(imageType)};
    appendLe16(bytes, mapFirst);
    appendLe16(bytes, mapLength);
    bytes.push_back(static_cast<unsigned char>(mapBits));
    appendLe16(bytes, 0);
    appendLe16(bytes, 0);
    appendLe16(bytes, width);
    appendLe16(bytes, height);
    bytes.push_back(static_cast<unsigned char>(depth));
    bytes.push_back(0);
    return bytes;
}

Bytes bmpHeaders(int width, int height, int bits, int dataOffset, int infoSize, int compression) {
    Bytes bytes = textBytes("BM");
    appendLe32(bytes, 0);
    appendLe32(bytes, 0);
    appendLe32(bytes, dataOffset);
    appendLe32(bytes, infoSize);
    appendLe32(bytes, width);
    appendLe32(bytes, height);
    appendLe16(bytes, 1);
    appendLe16(bytes, bits);
    appendLe32(bytes, compression);
    for (int i = 0; i < 5; ++i) {
        appendLe32(bytes, 0);
    }
    return bytes;
}

std::vector<float> pixelOf(const Image& image, int x, int y) {
    const float* first = image.pixels + (static_cast<size_t>(y) * image.width + x) * image.channels;
    return std::vector<float>(first, first + image.channels);
}

void expectPicture(const Image& image, int kind, int width, int height,
                   const std::vector<Expect>& pixels) {
    ASSERT_TRUE(image.isLoaded());
    EXPECT_EQ(image.kind, kind);
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    for (const Expect& e : pixels) {
        EXPECT_EQ(pixelOf(image, e.x, e.y), e.value) << "pixel " << e.x << "," << e.y;
    }
}

void fillMarker(Image& image) {
    image.release();
    image.allocate(1, 1, KIND_GREY);
    image.pixels[0] = 42.0f;
    image.comment = "marker";
}

bool holdsMarker(const Image& image) {
    return image.kind == KIND_GREY && image.width == 1 && image.height == 1 &&
           image.pixels != nullptr && image.pixels[0] == 42.0f && image.comment == "marker";
}

bool isEmptyPicture(const Image& image) {
    return image.pixels == nullptr && image.kind == 0 && image.width == 0 && image.height == 0 &&
           image.channels == 0;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quellmoor-image-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    root_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::path(const std::string& name) const {
    return root_ + "/" + name;
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
    const std::string full = path(name);
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return full;
}
