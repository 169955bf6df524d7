#include "Image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

int channelsOfKind(int kind) {
    switch (kind) {
    case KIND_RGB:
    case KIND_BGR:
        return 3;
    case KIND_RGBA:
    case KIND_BGRA:
        return 4;
    case KIND_GREY:
        return 1;
    default:
        return 0;
    }
}

// A large picture is written from end to end right after it is allocated. Where the system
// offers it, 2 MiB pages make that first touch one page fault per 2 MiB instead of one per 4 KiB,
// which on some virtual machines costs more than the decoding itself.
void adviseLargePages(void* start, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const std::uintptr_t largePage = std::uintptr_t{2} << 20;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t begin = (first + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t end = (first + bytes) & ~(largePage - 1);
    if (end > begin) {
        // Only advice: where large pages can't be had, the picture simply gets small ones.
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#else
    (void)start;
    (void)bytes;
#endif
}

} // namespace

Image::Image() {
    construct();
}

Image::Image(const Image& source) {
    construct();
    copy(source);
}

Image::~Image() {
    release();
}

void Image::construct() {
    pixels = nullptr;
    comment.clear();
    kind = 0;
    width = 0;
    height = 0;
    channels = 0;
}

void Image::release() {
    emptyPicture();
    std::string().swap(comment);
}

void Image::emptyPicture() {
    kind = 0;
    width = 0;
    height = 0;
    channels = 0;
    delete[] pixels;
    pixels = nullptr;
}

int Image::allocate(int newWidth, int newHeight, int newKind) {
    emptyPicture();
    int newChannels = channelsOfKind(newKind);
    if (newChannels == 0 || newWidth < 0 || newHeight < 0) {
        return 0;
    }
    // The byte count must fit a single object, and pixel offsets are computed in size_t.
    const std::uint64_t maxFloats = static_cast<std::uint64_t>(PTRDIFF_MAX) / sizeof(float);
    std::uint64_t count =
        static_cast<std::uint64_t>(newWidth) * static_cast<std::uint64_t>(newHeight);
    if (count > maxFloats / static_cast<std::uint64_t>(newChannels)) {
        return 0;
    }
    count *= static_cast<std::uint64_t>(newChannels);
    pixels = new (std::nothrow) float[static_cast<size_t>(count)];
    if (pixels == nullptr) {
        return 0;
    }
    adviseLargePages(pixels, static_cast<size_t>(count) * sizeof(float));
    width = newWidth;
    height = newHeight;
    channels = newChannels;
    kind = newKind;
    return 1;
}

void Image::copy(const Image& source) {
    // Copying an Image onto itself already holds the copy.
    if (&source == this) {
        return;
    }
    release();
    if (source.pixels != nullptr && allocate(source.width, source.height, source.kind) == 1) {
        std::memcpy(pixels, source.pixels,
                    static_cast<size_t>(width) * static_cast<size_t>(height) *
                        static_cast<size_t>(channels) * sizeof(float));
    }
}

void Image::takePicture(Image& from) {
    if (&from == this) {
        return;
    }
    emptyPicture();
    if (from.pixels == nullptr) {
        return;
    }
    pixels = from.pixels;
    kind = from.kind;
    width = from.width;
    height = from.height;
    channels = from.channels;
    from.pixels = nullptr;
    from.emptyPicture();
}

bool Image::isLoaded() const {
    return pixels != nullptr && width > 0 && height > 0 && kind >= KIND_RGB && kind <= KIND_HSV;
}

void Image::getPixelClamped(float* out, int x, int y) const {
    if (width <= 0 || height <= 0) {
        return;
    }
    int cx = x < 0 ? 0 : (x >= width ? width - 1 : x);
    int cy = y < 0 ? 0 : (y >= height ? height - 1 : y);
    const float* pixel =
        pixels + (static_cast<size_t>(cy) * static_cast<size_t>(width) + static_cast<size_t>(cx)) *
                     static_cast<size_t>(channels);
    std::memcpy(out, pixel, static_cast<size_t>(channels) * sizeof(float));
}

void Image::getPixelWrapped(float* out, int x, int y) const {
    if (width <= 0 || height <= 0) {
        return;
    }
    // The non-negative remainder equals adding or subtracting the side until it fits.
    int wx = x % width;
    int wy = y % height;
    if (wx < 0) {
        wx += width;
    }
    if (wy < 0) {
        wy += height;
    }
    const float* pixel =
        pixels + (static_cast<size_t>(wy) * static_cast<size_t>(width) + static_cast<size_t>(wx)) *
                     static_cast<size_t>(channels);
    std::memcpy(out, pixel, static_cast<size_t>(channels) * sizeof(float));
}

void Image::setPixel(const float* in, int x, int y) {
    if (x < 0 || x >= width || y < 0 || y >= height) {
        return;
    }
    float* pixel =
        pixels + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                     static_cast<size_t>(channels);
    std::memcpy(pixel, in, static_cast<size_t>(channels) * sizeof(float));
}

// Rows swap in place: reversing them needs no second picture, and so can't fail for want of memory.
void Image::flipVertical() {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const size_t rowFloats = static_cast<size_t>(width) * static_cast<size_t>(channels);
    for (int low = 0, high = height - 1; low < high; ++low, --high) {
        float* lowRow = pixels + static_cast<size_t>(low) * rowFloats;
        std::swap_ranges(lowRow, lowRow + rowFloats,
                         pixels + static_cast<size_t>(high) * rowFloats);
    }
}
