#include "ImageBytes.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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

Bytes noiseBytes(size_t count) {
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

Bytes pnmHeader(int type, int width, int height, int maximum) {
    return textBytes("P" + std::to_string(type) + "\n" + std::to_string(width) + " " +
                     std::to_string(height) + "\n" + std::to_string(maximum) + "\n");
}

bool writeBytesFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

Bytes readBytesFile(const std::string& path) {
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return bytes;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quellmoor-image-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        root_ = pattern;
    }
}

TempDir::~TempDir() {
    if (!root_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
}

std::string TempDir::path(const std::string& name) const {
    return root_ + "/" + name;
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
    const std::string full = path(name);
    writeBytesFile(full, bytes);
    return full;
}
