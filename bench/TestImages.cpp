#include "TestImages.h"

#include "tests/unit/image/ImageBytes.h"

namespace {

Bytes tga(int channels) {
    return tgaHeader(0, 0, 2, 0, 0, 0, TEST_IMAGE_SIDE, TEST_IMAGE_SIDE, 8 * channels) +
           noiseBytes(size_t{TEST_IMAGE_SIDE} * TEST_IMAGE_SIDE * static_cast<size_t>(channels));
}

Bytes bmp() {
    return bmpHeaders(TEST_IMAGE_SIDE, TEST_IMAGE_SIDE) +
           noiseBytes(3 * size_t{TEST_IMAGE_SIDE} * TEST_IMAGE_SIDE);
}

Bytes pnm(int type, int channels) {
    return pnmHeader(type, TEST_IMAGE_SIDE, TEST_IMAGE_SIDE) +
           noiseBytes(size_t{TEST_IMAGE_SIDE} * TEST_IMAGE_SIDE * static_cast<size_t>(channels));
}

} // namespace

TestImages::TestImages() {
    if (!directory_.ready()) {
        return;
    }
    const struct {
        const char* name;
        const char* fileName;
        Bytes bytes;
    } made[] = {
        {"tga24", "rgb.tga", tga(3)},  {"tga32", "rgba.tga", tga(4)},  {"bmp24", "rgb.bmp", bmp()},
        {"ppm", "rgb.ppm", pnm(6, 3)}, {"pgm", "grey.pgm", pnm(5, 1)},
    };
    for (const auto& file : made) {
        const std::string path = directory_.path(file.fileName);
        if (!writeBytesFile(path, file.bytes)) {
            files_.clear();
            return;
        }
        files_.push_back({file.name, path, file.bytes.size()});
    }
}
