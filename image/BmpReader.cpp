#include "Image.h"

#include "ByteStream.h"
#include "FileBytes.h"
#include "LittleEndian.h"
#include "RasterBound.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const size_t kHeadersSize = 54;
const std::uint32_t kInfoHeaderSize = 40;
const std::uint32_t kSignature = 0x4D42;
const std::uint32_t kBitsPerPixel = 24;

int signed32(const unsigned char* bytes) {
    const std::uint32_t value = littleEndian32(bytes);
    return value >= 0x80000000u ? static_cast<int>(value - 0x80000000u) + INT_MIN
                                : static_cast<int>(value);
}

bool headersAccepted(const unsigned char* headers) {
    return littleEndian16(headers) == kSignature && littleEndian32(headers + 10) == kHeadersSize &&
           littleEndian32(headers + 14) == kInfoHeaderSize && littleEndian32(headers + 30) == 0 &&
           littleEndian16(headers + 28) == kBitsPerPixel;
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

} // namespace

void Image::loadBmp(const char* path) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) {
        emptyPicture();
        return;
    }
    loadBmpFromMemory(bytes.data(), bytes.size());
}

void Image::loadBmpFromMemory(const unsigned char* data, size_t size) {
    ByteStream stream(data, size);
    unsigned char headers[kHeadersSize];
    // Headers cut short are refused like any other unsupported layout: the Image stays as it was.
    if (stream.read(headers, kHeadersSize) < kHeadersSize || !headersAccepted(headers)) {
        return;
    }
    const int declaredWidth = signed32(headers + 18);
    const int declaredHeight = signed32(headers + 22);
    if (!declaredRasterIsPlausible(declaredWidth, declaredHeight, kBitsPerPixel,
                                   stream.remaining())) {
        emptyPicture();
        return;
    }
    allocate(declaredWidth, declaredHeight, KIND_RGB);
    // Rows are padded to a multiple of four bytes.
    const size_t padding = (4 - (3 * static_cast<size_t>(width)) % 4) % 4;
    // Bytes kept from the previous pixel stand in for bytes past the end; 0 for the first one.
    unsigned char stored[3] = {0, 0, 0};
    unsigned char skipped[3];
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    const float* sample = byteSamples();
    for (int y = 0; y < height; ++y) {
        // A row that is all there decodes straight from the buffer; its last pixel's bytes are
        // kept in case a later row runs short.
        const unsigned char* row = stream.take(rowBytes);
        if (row != nullptr) {
            float* out = pixels + static_cast<size_t>(y) * rowBytes;
            for (size_t i = 0; i < rowBytes; i += 3) {
                out[i] = sample[row[i + 2]];
                out[i + 1] = sample[row[i + 1]];
                out[i + 2] = sample[row[i]];
            }
            if (rowBytes > 0) {
                std::memcpy(stored, row + rowBytes - 3, 3);
            }
        } else {
            for (int x = 0; x < width; ++x) {
                stream.read(stored, 3);
                const float pixel[3] = {sample[stored[2]], sample[stored[1]], sample[stored[0]]};
                setPixel(pixel, x, y);
            }
        }
        stream.read(skipped, padding);
    }
}
