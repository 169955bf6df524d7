// Image files written byte by byte, and a scratch directory to put them in. The image tests, the
// fuzzers' seed corpus and the reader benchmarks all build their files here.
#pragma once

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

Bytes operator+(Bytes head, const Bytes& tail);
Bytes textBytes(const std::string& text);
Bytes repeated(size_t count, unsigned char value);
// Bytes without a pattern, the same on every call, so that no reader profits from repeated values.
Bytes noiseBytes(size_t count);
void appendLe16(Bytes& bytes, int value);
void appendLe32(Bytes& bytes, long long value);

Bytes tgaHeader(int idLength, int mapType, int imageType, int mapFirst, int mapLength, int mapBits,
                int width, int height, int depth);
Bytes bmpHeaders(int width, int height, int bits = 24, int dataOffset = 54, int infoSize = 40,
                 int compression = 0);
// "P<type>\n<width> <height>\n<maximum>\n": the raster follows directly.
Bytes pnmHeader(int type, int width, int height, int maximum = 255);

bool writeBytesFile(const std::string& path, const Bytes& bytes);
// The whole file, or nothing when it can't be read.
Bytes readBytesFile(const std::string& path);

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // False when the directory could not be made; every write then fails.
    bool ready() const { return !root_.empty(); }
    std::string path(const std::string& name) const;
    // Writes the file and returns its path (written or not: the readers then find nothing).
    std::string write(const std::string& name, const Bytes& bytes) const;

  private:
    std::string root_;
};
