#include "Image.h"

#include "ByteStream.h"
#include "CommentText.h"
#include "InputFile.h"
#include "RasterBound.h"

#include <cstring>

namespace {

constexpr size_t PNM_COMMENT_LINE_BUFFER = 128;
// Comment lines past this much text are read and dropped, so that a file of nothing but comments
// can't make the comment take memory in proportion to its size.
constexpr size_t PNM_COMMENT_LIMIT = 65536;

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

// The samples of a binary raster, worked out once for each of the 256 byte values as readPixel and
// convertPixel would (a grey's three equal channels convert alike, a colour's stay as read).
void binarySamples(const Image& image, float maximum, float* samples) {
    for (int value = 0; value < 256; ++value) {
        const float sample = static_cast<float>(value) / maximum;
        float pixel[4] = {sample, sample, sample, 1.0f};
        image.convertPixel(pixel, image.kind);
        samples[value] = pixel[0];
    }
}

// Binary rasters (types 5 and 6): file rows go straight to the places where the flip at the end of
// the pixel-by-pixel reading would put them. Runs of whole pixels decode from the stream through
// the table; once the data runs out, the rest is read pixel by pixel so that missing bytes repeat.
void readBinaryRaster(Image& image, ByteStream& stream, RasterState& state) {
    float samples[256];
    binarySamples(image, state.maximum, samples);
    const size_t channels = static_cast<size_t>(image.channels);
    const size_t rowPixels = static_cast<size_t>(image.width);
    for (int y = 0; y < image.height; ++y) {
        float* row =
            image.pixels + static_cast<size_t>(image.height - 1 - y) * rowPixels * channels;
        size_t done = 0;
        while (done < rowPixels) {
            size_t got = 0;
            const unsigned char* run = stream.takeUnits(rowPixels - done, channels, got);
            if (run == nullptr) {
                break;
            }
            float* out = row + done * channels;
            const size_t count = got * channels;
            for (size_t i = 0; i < count; ++i) {
                out[i] = samples[run[i]];
            }
            std::memcpy(state.bytes, run + count - channels, channels);
            done += got;
        }
        for (; done < rowPixels; ++done) {
            float pixel[4];
            readPixel(stream, state, pixel);
            image.convertPixel(pixel, image.kind);
            image.setPixel(pixel, static_cast<int>(done), image.height - 1 - y);
        }
    }
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
        char line[PNM_COMMENT_LINE_BUFFER];
        stream.getLine(line, sizeof line);
        const size_t length = std::strlen(line);
        if (comment.size() + length <= PNM_COMMENT_LIMIT) {
            appendComment(comment, line, length);
        }
    }
}

void Image::loadPnm(const char* path) {
    const InputFile file(path);
    if (file.get() == nullptr) {
        emptyPicture();
        return;
    }
    ByteStream stream(file.get());
    readPnm(stream);
}

void Image::loadPnmFromMemory(const unsigned char* data, size_t size) {
    ByteStream stream(data, size);
    readPnm(stream);
}

void Image::readPnm(ByteStream& stream) {
    unsigned char letter = 0;
    if (!stream.get(letter) || (letter != 'P' && letter != 'p')) {
        // A file that can't be read at all empties the picture, as a missing one does.
        if (stream.unreadable()) {
            emptyPicture();
        }
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
    if (type == 5 || type == 6) {
        readBinaryRaster(*this, stream, state);
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
