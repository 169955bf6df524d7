#include "Image.h"

#include <algorithm>

namespace {

constexpr int RESAMPLE_SIZE_COUNT = 12;

// Index into the sizes 1, 2, 4, ..., 2048 for a side of n pixels, or -1 for an exact power of two
// from 2 up, which matches no interval and so leaves the side alone.
int sizeIndex(int n, int roundDown) {
    if (n <= 1) {
        return 0;
    }
    if (n > (1 << (RESAMPLE_SIZE_COUNT - 1))) {
        return RESAMPLE_SIZE_COUNT - 1;
    }
    for (int i = 0; i + 1 < RESAMPLE_SIZE_COUNT; ++i) {
        if ((1 << i) < n && n < (1 << (i + 1))) {
            return roundDown != 0 ? i : i + 1;
        }
    }
    return -1;
}

} // namespace

void Image::resizeToPowerOfTwo(int roundDown, int square) {
    int widthIndex = sizeIndex(width, roundDown);
    int heightIndex = sizeIndex(height, roundDown);
    if (square != 0) {
        // -1 for a missing index makes it the smaller one: it wins when rounding down only.
        widthIndex =
            roundDown != 0 ? std::min(widthIndex, heightIndex) : std::max(widthIndex, heightIndex);
        heightIndex = widthIndex;
    }
    if (widthIndex < 0 || heightIndex < 0) {
        return;
    }
    const int newWidth = 1 << widthIndex;
    const int newHeight = 1 << heightIndex;
    if (newWidth < width || newHeight < height) {
        resampleDown(newWidth, newHeight);
    } else {
        resample(newWidth, newHeight);
    }
}

void Image::resample(int newWidth, int newHeight) {
    const float scaleX = static_cast<float>(static_cast<double>(newWidth) / width);
    const float scaleY = static_cast<float>(static_cast<double>(newHeight) / height);
    // The old samples move to the source rather than being copied: the resample needs the old
    // picture and the new one alive at once, and no third.
    const int ownKind = kind;
    Image source;
    source.takePicture(*this);
    allocate(newWidth, newHeight, ownKind);
    const float stepX = static_cast<float>(1.0 / scaleX);
    for (int i = 0; i < height; ++i) {
        const float y = static_cast<float>(i / static_cast<double>(scaleY));
        for (int j = 0; j < width; ++j) {
            const float x = static_cast<float>(j * static_cast<double>(stepX));
            // A source without samples leaves the value untouched, so such pixels become 0.
            float value[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            source.sampleBilinear(value, x, y);
            setPixel(value, j, i);
        }
    }
}

void Image::resampleDown(int newWidth, int newHeight) {
    const float ratioX = static_cast<float>(static_cast<double>(width) / newWidth);
    const float ratioY = static_cast<float>(static_cast<double>(height) / newHeight);
    const int ownKind = kind;
    Image source;
    source.takePicture(*this);
    allocate(newWidth, newHeight, ownKind);
    for (int i = 0; i < height; ++i) {
        const float y0 = static_cast<float>((i - 0.25) * ratioY);
        const float y1 = static_cast<float>((i + 0.25) * ratioY);
        for (int j = 0; j < width; ++j) {
            const float x0 = static_cast<float>((j - 0.25) * ratioX);
            const float x1 = static_cast<float>((j + 0.25) * ratioX);
            // A source without samples leaves these untouched, so such pixels become 0.
            float s1[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            float s2[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            float s3[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            float s4[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            source.sampleBilinear(s1, x0, y0);
            source.sampleBilinear(s2, x0, y1);
            source.sampleBilinear(s3, x1, y0);
            source.sampleBilinear(s4, x1, y1);
            float value[4];
            for (int c = 0; c < channels; ++c) {
                const float sum = ((s1[c] + s2[c]) + s3[c]) + s4[c];
                value[c] = sum * 0.25f;
            }
            setPixel(value, j, i);
        }
    }
}
