// Builders for image files written byte by byte, a scratch directory, and pixel access for tests.
#pragma once

#include "image/Image.h"

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

Bytes operator+(Bytes head, const Bytes& tail);
Bytes textBytes(const std::string& text);
Bytes repeated(size_t count, unsigned char value);
void appendLe16(Bytes& bytes, int value);
void appendLe32(Bytes& bytes, long long value);

Bytes tgaHeader(int idLength, int mapType, int imageType, int mapFirst, int mapLength, int mapBits,
                int width, int height, int depth);
Bytes bmpHeaders(int width, int height, int bits = 24, int dataOffset = 54, int infoSize = 40,
                 int compression = 0);

// The channels of pixel (x, y), read straight from the sample buffer.
std::vector<float> pixelOf(const Image& image, int x, int y);

struct Expect {
    int x, y;
    std::vector<float> value;
};

// Checks that a reader produced a loaded picture of this kind and size holding these pixels.
void expectPicture(const Image& image, int kind, int width, int height,
                   const std::vector<Expect>& pixels);

// A recognisable 1 x 1 picture and comment, to see whether a reader left an Image alone.
void fillMarker(Image& image);
bool holdsMarker(const Image& image);
bool isEmptyPicture(const Image& image);

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const;
    std::string write(const std::string& name, const Bytes& bytes) const;

  private:
    std::string root_;
};
