#include "Image.h"

#include "ByteStream.h"
#include "FileBytes.h"
#include "RasterBound.h"

#include <vector>

namespace {

const size_t kCommentBufferSize = 128;

// The least a pixel can take in the file: text samples need a digit and a separator each.
unsigned leastRasterBitsPerPixel(int type) {
    switch (type) {
    case 1:
    case 2:
        return 16;
    case 3:
        return 48;
    case 4:
        return 1;
    case 5:
        return 8;
    default:
        return 24;
    }
}

// What the raster reads keep from pixel to pixel: a sample that can't be read keeps the value of
// its position in the previous pixel, and one missing from the very first pixel counts as 0.
struct RasterState {
    int type;
    float maximum;
    int text[3];
    unsigned char bytes[3];
    unsigned char bits;
    int bitIndex;
};

void readPixel(ByteStream& stream, RasterState& state, float* pixel) {
    const int channels = (state.type == 3 || state.type == 6) ? 3 : 1;
    switch (state.type) {
    case 1:
        stream.readInt(state.text[0]);
        pixel[0] = 1.0f - static_cast<float>(state.text[0]) / state.maximum;
        break;
    case 4:
        // Bits run on across rows: a new byte starts only every eighth pixel of the whole raster.
        if (state.bitIndex == 0) {
            stream.get(state.bits);
        }
        pixel[0] = ((state.bits >> (7 - state.bitIndex)) & 1) != 0 ? 0.0f : 1.0f;
        state.bitIndex = (state.bitIndex + 1) % 8;
        break;
    case 2:
    case 3:
        for (int c = 0; c < channels; ++c) {
            stream.readInt(state.text[c]);
            pixel[c] = static_cast<float>(state.text[c]) / state.maximum;
        }
        break;
    default:
        // Binary samples are single bytes even when the maximum value exceeds 255.
        for (int c = 0; c < channels; ++c) {
            stream.get(state.bytes[c]);
            pixel[c] = static_cast<float>(state.bytes[c]) / state.maximum;
        }
        break;
    }
    if (channels == 1) {
        pixel[1] = pixel[0];
        pixel[2] = pixel[0];
    }
    pixel[3] = 1.0f;
}

// A binary raster that is all in the data has no byte to repeat, so every sample is one of 256
// values, each worked out once as readPixel and convertPixel would (a grey's three equal channels
// convert alike, a colour's stay as read). Rows go straight to the places where the flip at the
// end of the byte-by-byte reading would put them.
bool decodeWholeBinaryRaster(Image& image, ByteStream& stream, const RasterState& state) {
    if ((state.type != 5 && state.type != 6) || image.pixels == nullptr) {
        return false;
    }
    const size_t rowSamples =
        static_cast<size_t>(image.width) * static_cast<size_t>(image.channels);
    const unsigned char* raster = stream.take(rowSamples * static_cast<size_t>(image.height));
    if (raster == nullptr) {
        return false;
    }
    float samples[256];
    for (int value = 0; value < 256; ++value) {
        const float sample = static_cast<float>(value) / state.maximum;
        float pixel[4] = {sample, sample, sample, 1.0f};
        image.convertPixel(pixel, image.kind);
        samples[value] = pixel[0];
    }
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* row = raster + static_cast<size_t>(y) * rowSamples;
        float* out = image.pixels + static_cast<size_t>(image.height - 1 - y) * rowSamples;
        for (size_t i = 0; i < rowSamples; ++i) {
            out[i] = samples[row[i]];
        }
    }
    return true;
}

} // namespace

void Image::skipBlanksAndComments(ByteStream& stream) {
    unsigned char c = 0;
    while (stream.get(c)) {
        if (c == ' ' || c == '\n' || c == '\t') {
            continue;
        }
        if (c != '#') {
            stream.unget();
            return;
        }
        // A line longer than the buffer fails the stream, which ends the header.
        char line[kCommentBufferSize];
        stream.getLine(line, sizeof line);
        comment += line;
    }
}

void Image::loadPnm(const char* path) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) {
        emptyPicture();
        return;
    }
    loadPnmFromMemory(bytes.data(), bytes.size());
}

void Image::loadPnmFromMemory(const unsigned char* data, size_t size) {
    ByteStream stream(data, size);
    unsigned char letter = 0;
    if (!stream.get(letter) || (letter != 'P' && letter != 'p')) {
        return;
    }
    int type = 0;
    if (!stream.readInt(type) || type < 1 || type > 6) {
        return;
    }
    int declaredWidth = 0;
    int declaredHeight = 0;
    int maxValue = 0;
    skipBlanksAndComments(stream);
    stream.readInt(declaredWidth);
    skipBlanksAndComments(stream);
    stream.readInt(declaredHeight);
    skipBlanksAndComments(stream);
    stream.readInt(maxValue);
    // A header number that was never read loads nothing, like a bad type number.
    if (stream.failed()) {
        return;
    }
    unsigned char separator = 0;
    stream.get(separator);
    if (!declaredRasterIsPlausible(declaredWidth, declaredHeight, leastRasterBitsPerPixel(type),
                                   stream.remaining())) {
        emptyPicture();
        return;
    }
    const bool colour = type == 3 || type == 6;
    if (allocate(declaredWidth, declaredHeight, colour ? KIND_RGB : KIND_GREY) == 0) {
        return;
    }
    // The maximum is not checked: 0 or a negative value divides all the same.
    RasterState state = {type, static_cast<float>(maxValue), {0, 0, 0}, {0, 0, 0}, 0, 0};
    if (decodeWholeBinaryRaster(*this, stream, state)) {
        return;
    }
    float pixel[4];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            readPixel(stream, state, pixel);
            convertPixel(pixel, kind);
            setPixel(pixel, x, y);
        }
    }
    flipVertical();
}
