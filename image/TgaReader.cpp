#include "Image.h"

#include "ByteStream.h"
#include "CommentText.h"
#include "InputFile.h"
#include "LittleEndian.h"
#include "RasterBound.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr size_t TGA_HEADER_SIZE = 18;
constexpr float TGA_BYTE_SCALE = 1.0f / 255.0f;
constexpr float TGA_FIVE_BIT_SCALE = 0.03125f;

struct TgaHeader {
    int idLength;
    int imageType;
    int colourMapLength;
    int colourMapEntryBits;
    int width;
    int height;
    int pixelBits;
};

int signed16(const unsigned char* bytes) {
    const int value = static_cast<int>(littleEndian16(bytes));
    return value >= 32768 ? value - 65536 : value;
}

TgaHeader parseHeader(const unsigned char* bytes) {
    TgaHeader header;
    header.idLength = bytes[0];
    header.imageType = bytes[2];
    header.colourMapLength = signed16(bytes + 5);
    header.colourMapEntryBits = bytes[7];
    header.width = signed16(bytes + 12);
    header.height = signed16(bytes + 14);
    header.pixelBits = bytes[16];
    return header;
}

// Stored forms of 1 to 4 bytes become grey, RGBA from 5-bit fields, RGB or RGBA.
int kindOfStoredForm(int bytes) {
    switch (bytes) {
    case 1:
        return KIND_GREY;
    case 2:
        return KIND_RGBA;
    case 3:
        return KIND_RGB;
    case 4:
        return KIND_RGBA;
    default:
        return 0;
    }
}

void decodeStored(const unsigned char* stored, int bytes, float* out) {
    switch (bytes) {
    case 1:
        out[0] = stored[0] * TGA_BYTE_SCALE;
        break;
    case 2: {
        const std::uint32_t v = littleEndian16(stored);
        out[0] = ((v >> 10) & 31) * TGA_FIVE_BIT_SCALE;
        out[1] = ((v >> 5) & 31) * TGA_FIVE_BIT_SCALE;
        out[2] = (v & 31) * TGA_FIVE_BIT_SCALE;
        out[3] = (v & 0x8000) != 0 ? 1.0f : 0.0f;
        break;
    }
    default:
        out[0] = stored[2] * TGA_BYTE_SCALE;
        out[1] = stored[1] * TGA_BYTE_SCALE;
        out[2] = stored[0] * TGA_BYTE_SCALE;
        if (bytes == 4) {
            out[3] = stored[3] * TGA_BYTE_SCALE;
        }
        break;
    }
}

// stored * TGA_BYTE_SCALE for every byte, worked out once.
const float* byteSamples() {
    static const std::array<float, 256> samples = [] {
        std::array<float, 256> table{};
        for (int i = 0; i < 256; ++i) {
            table[static_cast<size_t>(i)] = i * TGA_BYTE_SCALE;
        }
        return table;
    }();
    return samples.data();
}

// Decodes a run of whole stored values of 1, 3 or 4 bytes into consecutive pixels.
void decodeRun(const unsigned char* stored, size_t count, int storedBytes, float* out) {
    const float* sample = byteSamples();
    switch (storedBytes) {
    case 1:
        for (size_t i = 0; i < count; ++i) {
            out[i] = sample[stored[i]];
        }
        break;
    case 3:
        for (size_t i = 0; i < count; ++i, stored += 3, out += 3) {
            out[0] = sample[stored[2]];
            out[1] = sample[stored[1]];
            out[2] = sample[stored[0]];
        }
        break;
    default:
        for (size_t i = 0; i < count; ++i, stored += 4, out += 4) {
            out[0] = sample[stored[2]];
            out[1] = sample[stored[1]];
            out[2] = sample[stored[0]];
            out[3] = sample[stored[3]];
        }
        break;
    }
}

// Pixels go to the Image in file order (setPixel's order: n to column n mod width of row n div
// width). Each stored value is read into bytes kept from the previous one, so a byte missing at the
// end of the data repeats the previous value's byte, and one missing from the first value is 0.
// Runs of whole 1, 3 or 4 byte values decode straight from the stream.
void readPixels(Image& image, ByteStream& stream, int storedBytes) {
    if (image.pixels == nullptr) {
        return;
    }
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    const size_t channels = static_cast<size_t>(image.channels);
    const size_t unit = static_cast<size_t>(storedBytes);
    unsigned char stored[4] = {0, 0, 0, 0};
    size_t done = 0;
    if (storedBytes != 2) {
        while (done < count) {
            size_t got = 0;
            const unsigned char* run = stream.takeUnits(count - done, unit, got);
            if (run == nullptr) {
                break;
            }
            decodeRun(run, got, storedBytes, image.pixels + done * channels);
            std::memcpy(stored, run + (got - 1) * unit, unit);
            done += got;
        }
    }
    for (; done < count; ++done) {
        stream.read(stored, unit);
        decodeStored(stored, storedBytes, image.pixels + done * channels);
    }
}

void readColourMapped(Image& image, ByteStream& stream, const TgaHeader& header) {
    const int entryBytes = header.colourMapEntryBits / 8;
    const int kind = kindOfStoredForm(entryBytes);
    if (kind == 0) {
        return;
    }
    const int entryFloats = entryBytes == 1 ? 1 : (entryBytes == 3 ? 3 : 4);
    const int entries = header.colourMapLength > 0 ? header.colourMapLength : 0;
    // At most 32767 entries of 4 floats; without memory for them the Image stays empty.
    const std::unique_ptr<float[]> map(
        new (std::nothrow) float[static_cast<size_t>(entries) * static_cast<size_t>(entryFloats)]);
    if (map == nullptr) {
        return;
    }
    unsigned char stored[4] = {0, 0, 0, 0};
    for (int i = 0; i < entries; ++i) {
        stream.read(stored, static_cast<size_t>(entryBytes));
        decodeStored(stored, entryBytes, map.get() + static_cast<size_t>(i) * entryFloats);
    }
    if (!declaredRasterIsPlausible(header.width, header.height, 8, stream.remaining())) {
        return;
    }
    image.allocate(header.width, header.height, kind);
    // An index with no entry in the map gives all-zero samples rather than a read outside it.
    const float missingEntry[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    unsigned char index = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            stream.read(&index, 1);
            const float* entry = index < entries
                                     ? map.get() + static_cast<size_t>(index) * entryFloats
                                     : missingEntry;
            image.setPixel(entry, x, y);
        }
    }
}

// Types 2 and 3 take their pixels straight after the id field, a colour map included.
void readTrueColour(Image& image, ByteStream& stream, const TgaHeader& header, int storedBytes) {
    const int kind = kindOfStoredForm(storedBytes);
    if (kind == 0 ||
        !declaredRasterIsPlausible(header.width, header.height,
                                   8u * static_cast<unsigned>(storedBytes), stream.remaining())) {
        return;
    }
    image.allocate(header.width, header.height, kind);
    readPixels(image, stream, storedBytes);
}

} // namespace

void Image::loadTga(const char* path) {
    emptyPicture();
    const InputFile file(path);
    if (file.get() != nullptr) {
        ByteStream stream(file.get());
        readTga(stream);
    }
}

void Image::loadTgaFromMemory(const unsigned char* data, size_t size) {
    ByteStream stream(data, size);
    readTga(stream);
}

void Image::readTga(ByteStream& stream) {
    emptyPicture();
    unsigned char headerBytes[TGA_HEADER_SIZE];
    // A file shorter than its header or its id field loads nothing and keeps the old comment.
    if (stream.read(headerBytes, TGA_HEADER_SIZE) < TGA_HEADER_SIZE) {
        return;
    }
    const TgaHeader header = parseHeader(headerBytes);
    unsigned char id[255];
    const size_t idLength = static_cast<size_t>(header.idLength);
    if (stream.read(id, idLength) < idLength) {
        return;
    }
    comment.clear();
    // Without memory for at most 255 bytes of id the picture could not be had either.
    if (!appendComment(comment, reinterpret_cast<const char*>(id),
                       static_cast<size_t>(std::find(id, id + idLength, 0) - id))) {
        return;
    }
    switch (header.imageType) {
    case 1:
        readColourMapped(*this, stream, header);
        break;
    case 2:
        readTrueColour(*this, stream, header, header.pixelBits / 8);
        break;
    case 3:
        readTrueColour(*this, stream, header, 1);
        break;
    default:
        break;
    }
}
