#include "Image.h"

#include "ByteStream.h"
#include "InputFile.h"
#include "LittleEndian.h"
#include "RasterBound.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t BMP_HEADERS_SIZE = 54;
constexpr std::uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BMP_SIGNATURE = 0x4D42;
constexpr std::uint32_t BMP_BITS_PER_PIXEL = 24;

int signed32(const unsigned char* bytes) {
    const std::uint32_t value = littleEndian32(bytes);
    return value >= 0x80000000u ? static_cast<int>(value - 0x80000000u) + INT_MIN
                                : static_cast<int>(value);
}

bool headersAccepted(const unsigned char* headers) {
    return littleEndian16(headers) == BMP_SIGNATURE &&
           littleEndian32(headers + 10) == BMP_HEADERS_SIZE &&
           littleEndian32(headers + 14) == BMP_INFO_HEADER_SIZE &&
           littleEndian32(headers + 30) == 0 && littleEndian16(headers + 28) == BMP_BITS_PER_PIXEL;
}

float byteToSample(unsigned char c) {
    return static_cast<float>(c * (1.0 / 255.0));
}

// byteToSample for every byte, worked out once.
const float* byteSamples() {
    static const std::array<float, 256> samples = [] {
        std::array<float, 256> table{};
        for (int i = 0; i < 256; ++i) {
            table[static_cast<size_t>(i)] = byteToSample(static_cast<unsigned char>(i));
        }
        return table;
    }();
    return samples.data();
}

// One row of pixels, stored b, g, r. Runs of whole pixels decode straight from the stream; once the
// data runs out, each byte that can't be read keeps the byte of the previous pixel (`stored`).
void readRow(ByteStream& stream, float* out, int width, unsigned char* stored) {
    const float* sample = byteSamples();
    size_t done = 0;
    const size_t pixels = static_cast<size_t>(width);
    while (done < pixels) {
        size_t got = 0;
        const unsigned char* run = stream.takeUnits(pixels - done, 3, got);
        if (run == nullptr) {
            break;
        }
        float* to = out + done * 3;
        for (size_t i = 0; i < got * 3; i += 3) {
            to[i] = sample[run[i + 2]];
            to[i + 1] = sample[run[i + 1]];
            to[i + 2] = sample[run[i]];
        }
        std::memcpy(stored, run + (got - 1) * 3, 3);
        done += got;
    }
    for (; done < pixels; ++done) {
        stream.read(stored, 3);
        float* to = out + done * 3;
        to[0] = sample[stored[2]];
        to[1] = sample[stored[1]];
        to[2] = sample[stored[0]];
    }
}

} // namespace

void Image::loadBmp(const char* path) {
    const InputFile file(path);
    if (file.get() == nullptr) {
        emptyPicture();
        return;
    }
    ByteStream stream(file.get());
    readBmp(stream);
}

void Image::loadBmpFromMemory(const unsigned char* data, size_t size) {
    ByteStream stream(data, size);
    readBmp(stream);
}

void Image::readBmp(ByteStream& stream) {
    unsigned char headers[BMP_HEADERS_SIZE];
    // Headers cut short are refused like any other unsupported layout: the Image stays as it was.
    // A file that can't be read at all empties it, as a missing one does.
    if (stream.read(headers, BMP_HEADERS_SIZE) < BMP_HEADERS_SIZE || !headersAccepted(headers)) {
        if (stream.unreadable()) {
            emptyPicture();
        }
        return;
    }
    const int declaredWidth = signed32(headers + 18);
    const int declaredHeight = signed32(headers + 22);
    if (!declaredRasterIsPlausible(declaredWidth, declaredHeight, BMP_BITS_PER_PIXEL,
                                   stream.remaining())) {
        emptyPicture();
        return;
    }
    // A failed allocation leaves the Image empty and the loop below without rows.
    allocate(declaredWidth, declaredHeight, KIND_RGB);
    // Rows are padded to a multiple of four bytes.
    const size_t padding = (4 - (3 * static_cast<size_t>(width)) % 4) % 4;
    const size_t rowFloats = 3 * static_cast<size_t>(width);
    // Bytes kept from the previous pixel stand in for bytes past the end; 0 for the first one.
    unsigned char stored[3] = {0, 0, 0};
    unsigned char skipped[3];
    for (int y = 0; y < height; ++y) {
        readRow(stream, pixels + static_cast<size_t>(y) * rowFloats, width, stored);
        stream.read(skipped, padding);
    }
}
