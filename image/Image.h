// The one picture type: float samples, 1, 3 or 4 interleaved channels, row 0 at the bottom.
#pragma once

#include <cstddef>
#include <string>

class ByteStream;

enum {
    KIND_RGB = 1,
    KIND_RGBA = 2,
    KIND_BGR = 3,
    KIND_BGRA = 4,
    KIND_GREY = 5,
    KIND_HSV = 6, // a conversion target only: allocate refuses it
};

struct Image {
    float* pixels;
    std::string comment;
    int kind;
    int width;
    int height;
    int channels;

    Image();
    Image(const Image& source); // copy(): samples and kind, never the comment
    Image& operator=(const Image&) = delete;
    ~Image();

    void construct();
    void release();
    // Frees the samples and zeroes kind and sides; comment stays.
    void emptyPicture();
    int allocate(int width, int height, int kind);
    void copy(const Image& source);
    // Moves the samples, kind and sides of `from` into this Image (freeing what it held), leaving
    // `from` empty; both comments stay. A source without samples moves nothing.
    void takePicture(Image& from);
    // Loaded: pixels present, both sides positive, kind 1..6. Asset loading and upload test this.
    bool isLoaded() const;

    void getPixelClamped(float* out, int x, int y) const;
    void getPixelWrapped(float* out, int x, int y) const;
    void setPixel(const float* in, int x, int y);
    void flipVertical();

    // Readers. The outcome is the state of the Image; nothing is reported. Each reads the header,
    // then at most the bytes of the raster it declares; a picture that memory can't hold leaves
    // the Image empty.
    void load(const char* path);
    void loadPnm(const char* path);
    void loadTga(const char* path);
    void loadBmp(const char* path);
    // The same readers over bytes already in memory (fuzzers and tests).
    void loadPnmFromMemory(const unsigned char* data, size_t size);
    void loadTgaFromMemory(const unsigned char* data, size_t size);
    void loadBmpFromMemory(const unsigned char* data, size_t size);
    // The readers proper, over a stream of either kind.
    void readPnm(ByteStream& stream);
    void readTga(ByteStream& stream);
    void readBmp(ByteStream& stream);
    // Skips blanks between PNM header numbers and appends "#" comment lines to comment.
    void skipBlanksAndComments(ByteStream& stream);

    void convertPixel(float* pixel, int kind) const;
    void sampleBilinear(float* out, float x, float y) const;

    void resizeToPowerOfTwo(int roundDown, int square);
    void resample(int newWidth, int newHeight);
    void resampleDown(int newWidth, int newHeight);
};

float maxOfThree(const float* pixel);
float minOfThree(const float* pixel);
