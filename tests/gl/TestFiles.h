// Files for the loading tests: uncompressed TGA pictures and a private working directory.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Writes an uncompressed grey (1 channel) or true-colour (3 channels) TGA, bottom row first; each
// sample is colour(column, row, channel) in 0..255.
inline bool writeTga(const std::filesystem::path& path, int width, int height, int channels,
                     const std::function<int(int, int, int)>& colour) {
    if (!path.parent_path().empty()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::vector<unsigned char> bytes(18, 0);
    bytes[2] = channels == 1 ? 3 : 2;
    bytes[12] = static_cast<unsigned char>(width & 255);
    bytes[13] = static_cast<unsigned char>(width >> 8);
    bytes[14] = static_cast<unsigned char>(height & 255);
    bytes[15] = static_cast<unsigned char>(height >> 8);
    bytes[16] = static_cast<unsigned char>(channels * 8);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            // True-colour pixels are stored blue first.
            for (int c = channels - 1; c >= 0; --c) {
                bytes.push_back(static_cast<unsigned char>(colour(column, row, c)));
            }
        }
    }
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Makes a fresh directory and works in it until destroyed; the previous directory comes back.
class ScratchDirectory {
  public:
    ScratchDirectory() : previous(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quellmoor-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
            std::filesystem::current_path(path);
        }
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous);
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    bool ready() const { return !path.empty(); }

    std::filesystem::path path;

  private:
    std::filesystem::path previous;
};
