#include "ProbeInputs.h"

#include <cstdio>
#include <limits>

void makeRandomPicture(Image& image, int width, int height, int kind, ProbeRandom& random) {
    image.allocate(width, height, kind);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const float sample[4] = {random.unit(), random.unit(), random.unit(), random.unit()};
            image.setPixel(sample, column, row);
        }
    }
}

std::vector<float> edgeCoordinates(int width, int height) {
    const float infinity = std::numeric_limits<float>::infinity();
    std::vector<float> values = {
        0.0f,
        -0.0f,
        0.25f,
        -0.25f,
        0.5f,
        0.99999994f,
        -0.99999994f,
        1.0f,
        -1.0f,
        -3.0f,
        0.01f,
        -0.01f,
        16777216.0f,
        -16777217.0f,
        1073741824.0f,
        -1073741824.0f,
        1073741952.0f,
        -1073741952.0f,
        2147483648.0f,
        -2147483648.0f,
        1.0e20f,
        -1.0e20f,
        std::numeric_limits<float>::max(),
        std::numeric_limits<float>::min(),
        std::numeric_limits<float>::denorm_min(),
        -std::numeric_limits<float>::denorm_min(),
        infinity,
        -infinity,
        std::numeric_limits<float>::quiet_NaN(),
    };
    for (int side : {width, height}) {
        const float s = static_cast<float>(side);
        values.insert(values.end(), {s, -s, s - 0.25f, s + 0.25f, 2.0f * s, -2.0f * s - 0.5f});
    }
    return values;
}

namespace {

void put16(std::vector<unsigned char>& bytes, int value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xff));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& bytes, int value) {
    put16(bytes, value & 0xffff);
    put16(bytes, (value >> 16) & 0xffff);
}

void putRandomBytes(std::vector<unsigned char>& bytes, size_t count, ProbeRandom& random) {
    for (size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<unsigned char>(random.next() >> 24));
    }
}

ProbeFile tga(int type, int width, int height, int pixelBits, int mapLength, int mapBits,
              ProbeRandom& random) {
    ProbeFile file{"tga type " + std::to_string(type) + " " + std::to_string(pixelBits) + "-bit",
                   PROBE_TGA,
                   {}};
    std::vector<unsigned char>& b = file.bytes;
    const std::string id = "probe";
    b.push_back(static_cast<unsigned char>(id.size()));
    b.push_back(mapLength > 0 ? 1 : 0);
    b.push_back(static_cast<unsigned char>(type));
    put16(b, 0);
    put16(b, mapLength);
    b.push_back(static_cast<unsigned char>(mapBits));
    put16(b, 0);
    put16(b, 0);
    put16(b, width);
    put16(b, height);
    b.push_back(static_cast<unsigned char>(pixelBits));
    b.push_back(0);
    b.insert(b.end(), id.begin(), id.end());
    putRandomBytes(b, static_cast<size_t>(mapLength * mapBits / 8), random);
    putRandomBytes(b, static_cast<size_t>(width * height * pixelBits / 8), random);
    return file;
}

ProbeFile bmp(int width, int height, ProbeRandom& random) {
    ProbeFile file{"bmp " + std::to_string(width) + "x" + std::to_string(height), PROBE_BMP, {}};
    std::vector<unsigned char>& b = file.bytes;
    const int rows = height < 0 ? -height : height;
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int dataOffset = 54;
    b.push_back('B');
    b.push_back('M');
    put32(b, dataOffset + rowBytes * rows);
    put32(b, 0);
    put32(b, dataOffset);
    put32(b, 40);
    put32(b, width);
    put32(b, height);
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, rowBytes * rows);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    putRandomBytes(b, static_cast<size_t>(rowBytes * rows), random);
    return file;
}

ProbeFile pnm(int type, int width, int height, int maxValue, ProbeRandom& random) {
    ProbeFile file{
        "pnm P" + std::to_string(type) + " max " + std::to_string(maxValue), PROBE_PNM, {}};
    char header[128];
    std::snprintf(header, sizeof header, "P%d\n# probe comment\n%d %d\n", type, width, height);
    std::string text = header;
    if (type != 1 && type != 4) {
        text += std::to_string(maxValue) + "\n";
    }
    const int channels = type == 3 || type == 6 ? 3 : 1;
    const int samples = width * height * channels;
    if (type <= 3) {
        for (int i = 0; i < samples; ++i) {
            const uint32_t limit = type == 1 ? 2u : static_cast<uint32_t>(maxValue) + 1u;
            text += std::to_string((random.next() >> 8) % limit);
            text += i % 7 == 6 ? "\n" : " ";
        }
        file.bytes.assign(text.begin(), text.end());
    } else {
        file.bytes.assign(text.begin(), text.end());
        const int rowBytes = type == 4 ? (width + 7) / 8 : width * channels;
        putRandomBytes(file.bytes, static_cast<size_t>(rowBytes * height), random);
    }
    return file;
}

} // namespace

std::vector<ProbeFile> probeFiles() {
    ProbeRandom random(20261207u);
    std::vector<ProbeFile> files;
    for (int bits : {8, 16, 24, 32}) {
        files.push_back(tga(2, 5, 3, bits, 0, 0, random));
    }
    files.push_back(tga(3, 7, 2, 8, 0, 0, random));
    files.push_back(tga(1, 4, 4, 8, 200, 24, random));
    files.push_back(tga(1, 3, 5, 8, 16, 32, random));
    files.push_back(tga(1, 2, 2, 8, 7, 16, random));
    files.push_back(bmp(5, 3, random));
    files.push_back(bmp(4, 2, random));
    files.push_back(bmp(3, -4, random));
    files.push_back(pnm(1, 9, 3, 1, random));
    files.push_back(pnm(2, 4, 3, 15, random));
    files.push_back(pnm(2, 3, 3, 1000, random));
    files.push_back(pnm(3, 3, 2, 255, random));
    files.push_back(pnm(4, 11, 3, 1, random));
    files.push_back(pnm(5, 6, 4, 255, random));
    files.push_back(pnm(5, 5, 2, 1000, random));
    files.push_back(pnm(6, 4, 3, 255, random));
    files.push_back(pnm(6, 2, 2, 7, random));
    return files;
}
