#include "PictureChecks.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

int channelsOfKind(int kind) {
    switch (kind) {
    case KIND_GREY:
        return 1;
    case KIND_RGB:
    case KIND_BGR:
        return 3;
    default:
        return 4;
    }
}

size_t sampleCount(const Image& image) {
    return static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
           static_cast<size_t>(image.channels);
}

bool allFinite(const Image& image) {
    const size_t count = sampleCount(image);
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(image.pixels[i])) {
            return false;
        }
    }
    return true;
}

bool isPowerOfTwo(int side) {
    return side > 0 && (side & (side - 1)) == 0;
}

} // namespace

void checkReadPicture(const Image& image, size_t inputSize, unsigned allowedKinds, bool unitRange) {
    // One bit a pixel in 16 times the input's bytes plus 64 KiB; a side of 0 still costs a pass
    // per row, so it counts as 1.
    const std::uint64_t allowedPixels = (16 * static_cast<std::uint64_t>(inputSize) + 65536) * 8;
    if (image.width >= 0 && image.height >= 0) {
        fuzzCheck(static_cast<std::uint64_t>(std::max(image.width, 1)) *
                          static_cast<std::uint64_t>(std::max(image.height, 1)) <=
                      allowedPixels,
                  "a read is never larger than its input can justify");
    }
    if (!image.isLoaded()) {
        return;
    }
    fuzzCheck(image.kind > 0 && image.kind < 32 && ((1u << image.kind) & allowedKinds) != 0,
              "a reader makes only its own kinds");
    fuzzCheck(image.channels == channelsOfKind(image.kind), "channels follow the kind");
    if (unitRange) {
        const size_t count = sampleCount(image);
        for (size_t i = 0; i < count; ++i) {
            fuzzCheck(image.pixels[i] >= 0.0f && image.pixels[i] <= 1.0f,
                      "samples of byte data lie in [0, 1]");
        }
    }
}

bool samePicture(const Image& a, const Image& b) {
    if (a.kind != b.kind || a.width != b.width || a.height != b.height ||
        a.channels != b.channels || (a.pixels == nullptr) != (b.pixels == nullptr)) {
        return false;
    }
    return a.pixels == nullptr ||
           std::memcmp(a.pixels, b.pixels, sampleCount(a) * sizeof(float)) == 0;
}

void fillMarker(Image& image) {
    image.release();
    // No reader makes BGRA pictures, so this one can't be mistaken for a picture read.
    image.allocate(1, 1, KIND_BGRA);
    for (int c = 0; c < 4; ++c) {
        image.pixels[c] = 0.25f;
    }
    image.comment = "marker";
}

bool holdsMarkerPicture(const Image& image) {
    return image.kind == KIND_BGRA && image.width == 1 && image.height == 1 &&
           image.pixels != nullptr && image.pixels[0] == 0.25f && image.pixels[3] == 0.25f;
}

bool isEmptyPicture(const Image& image) {
    return image.pixels == nullptr && image.kind == 0 && image.width == 0 && image.height == 0 &&
           image.channels == 0;
}

void checkPowerOfTwoResize(const Image& image) {
    if (!image.isLoaded()) {
        return;
    }
    Image resized(image);
    const bool finite = allFinite(image);
    resized.resizeToPowerOfTwo(1, 0);
    fuzzCheck(resized.isLoaded() && resized.kind == image.kind, "resizing keeps the picture");
    // A side that already is a power of two from 2 up leaves the whole picture as it was.
    const bool unchanged = resized.width == image.width && resized.height == image.height;
    fuzzCheck(unchanged || (isPowerOfTwo(resized.width) && isPowerOfTwo(resized.height)),
              "resized sides are powers of two");
    fuzzCheck(resized.width <= image.width && resized.height <= image.height,
              "rounding down never enlarges a side");
    fuzzCheck(unchanged || (resized.width <= 2048 && resized.height <= 2048),
              "no resized side exceeds 2048");
    fuzzCheck(!finite || allFinite(resized), "resampling finite samples gives finite samples");
}
