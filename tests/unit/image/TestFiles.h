// Pixel access and checks for the image tests, beside the file builders they share.
#pragma once

#include "ImageBytes.h"
#include "image/ByteStream.h"
#include "image/Image.h"

#include <string>
#include <vector>

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

using StreamReader = void (Image::*)(ByteStream&);
using MemoryReader = void (Image::*)(const unsigned char*, size_t);

// Reads the file through windows of several small sizes, so that the window's edges fall inside
// headers, pixels and rows, and expects each read to leave what the bytes leave in memory.
void expectSameThroughAnyWindow(const Bytes& file, StreamReader read, MemoryReader readMemory);
