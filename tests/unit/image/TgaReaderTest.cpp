#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Pixel = std::vector<float>;

// Stored bytes scale by the float 1/255.
float s(int c) {
    return c * (1.0f / 255.0f);
}

struct TgaCase {
    const char* name;
    Bytes file;
    int kind; // 0: the Image must end empty
    int width, height;
    std::vector<Expect> pixels;
    std::string comment;
};

Bytes trueColour(int width, int height, int depth, const Bytes& data) {
    return tgaHeader(0, 0, 2, 0, 0, 0, width, height, depth) + data;
}

Bytes mapped(int mapLength, int mapBits, int width, int height, const Bytes& mapAndIndexes) {
    return tgaHeader(0, 1, 1, 5, mapLength, mapBits, width, height, 24) + mapAndIndexes;
}

Bytes withId(int type, const std::string& id, const Bytes& data) {
    return tgaHeader(static_cast<int>(id.size()), 0, type, 0, 0, 0, 1, 1, 24) + textBytes(id) +
           data;
}

Bytes firstBytes(const Bytes& bytes, size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(count));
}

TgaCase loaded(const char* name, const Bytes& file, int kind, int width, int height,
               const std::vector<Expect>& pixels, const std::string& comment = "") {
    return {name, file, kind, width, height, pixels, comment};
}

// The Image ends empty; comment is what it must hold then.
TgaCase refused(const char* name, const Bytes& file, const std::string& comment) {
    return {name, file, 0, 0, 0, {}, comment};
}

std::vector<TgaCase> tgaCases() {
    const float f = 0.96875f;
    return {
        loaded("24-bit rows fill upward",
               trueColour(2, 2, 24, {0, 0, 255, 255, 0, 0, 0, 255, 0, 10, 20, 30}), KIND_RGB, 2, 2,
               {{0, 0, {1, 0, 0}},
                {1, 0, {0, 0, 1}},
                {0, 1, {0, 1, 0}},
                {1, 1, {s(30), s(20), s(10)}}}),
        loaded("32-bit", trueColour(1, 1, 32, {255, 128, 0, 64}), KIND_RGBA, 1, 1,
               {{0, 0, {0, s(128), 1, s(64)}}}),
        loaded("16-bit fields", trueColour(3, 1, 16, {0xFF, 0xFF, 0x00, 0x7C, 0xE0, 0x83}),
               KIND_RGBA, 3, 1, {{0, 0, {f, f, f, 1}}, {1, 0, {f, 0, 0, 0}}, {2, 0, {0, f, 0, 1}}}),
        loaded("8-bit true colour is grey", trueColour(3, 1, 8, {0, 255, 251}), KIND_GREY, 3, 1,
               {{0, 0, {0}}, {1, 0, {1}}, {2, 0, {0.984313786f}}}),
        loaded("15-bit true colour is one grey byte", trueColour(2, 1, 15, {51, 102}), KIND_GREY, 2,
               1, {{1, 0, {s(102)}}}),
        loaded("grey ignores the depth", tgaHeader(0, 0, 3, 0, 0, 0, 2, 1, 16) + Bytes{51, 102},
               KIND_GREY, 2, 1, {{0, 0, {s(51)}}, {1, 0, {s(102)}}}),
        loaded("24-bit map, index 0 is the first entry stored",
               mapped(2, 24, 2, 1, {0, 0, 255, 255, 0, 0, 1, 0}), KIND_RGB, 2, 1,
               {{0, 0, {0, 0, 1}}, {1, 0, {1, 0, 0}}}),
        loaded("8-bit map is grey", mapped(2, 8, 2, 1, {0, 255, 1, 0}), KIND_GREY, 2, 1,
               {{0, 0, {1}}, {1, 0, {0}}}),
        loaded("16-bit map", mapped(1, 16, 1, 1, {0x00, 0x7C, 0}), KIND_RGBA, 1, 1,
               {{0, 0, {f, 0, 0, 0}}}),
        loaded("32-bit map", mapped(1, 32, 1, 1, {255, 128, 0, 64, 0}), KIND_RGBA, 1, 1,
               {{0, 0, {0, s(128), 1, s(64)}}}),
        loaded("15-bit map entries are one grey byte", mapped(2, 15, 1, 1, {51, 102, 1}), KIND_GREY,
               1, 1, {{0, 0, {s(102)}}}),
        loaded("indexes past the map give zeros", mapped(1, 24, 3, 1, {1, 2, 3, 0, 1, 255}),
               KIND_RGB, 3, 1, {{0, 0, {s(3), s(2), s(1)}}, {1, 0, {0, 0, 0}}, {2, 0, {0, 0, 0}}}),
        loaded("negative map length has no entries", mapped(0x8000, 32, 1, 1, {0}), KIND_RGBA, 1, 1,
               {{0, 0, {0, 0, 0, 0}}}),
        loaded("map in a true-colour file is taken as pixels",
               tgaHeader(0, 1, 2, 0, 1, 24, 2, 1, 24) + Bytes{10, 20, 30, 40, 50, 60}, KIND_RGB, 2,
               1, {{0, 0, {s(30), s(20), s(10)}}, {1, 0, {s(60), s(50), s(40)}}}),
        loaded("id field up to its first NUL", withId(3, std::string("ab\0cd", 5), {255}),
               KIND_GREY, 1, 1, {{0, 0, {1}}}, "ab"),
        loaded("missing bytes repeat the previous pixel's", trueColour(2, 1, 24, {1, 2, 3, 9}),
               KIND_RGB, 2, 1, {{0, 0, {s(3), s(2), s(1)}}, {1, 0, {s(3), s(2), s(9)}}}),
        loaded("a first pixel without data is black", trueColour(1, 1, 24, {}), KIND_RGB, 1, 1,
               {{0, 0, {0, 0, 0}}}),
        loaded("a map without indexes uses entry 0", mapped(2, 24, 2, 1, {1, 2, 3, 4}), KIND_RGB, 2,
               1, {{1, 0, {s(3), s(2), s(1)}}}),
        refused("unsupported map entry size",
                tgaHeader(2, 1, 1, 0, 1, 40, 1, 1, 8) + textBytes("hi") + repeated(6, 0), "hi"),
        refused("run-length type", withId(10, "rle", repeated(8, 0)), "rle"),
        refused("type 0", withId(0, "", repeated(8, 0)), ""),
        refused("unsupported depth", trueColour(1, 1, 40, repeated(5, 0)), ""),
        refused("negative width", trueColour(0x8000, 1, 24, repeated(3, 0)), ""),
        refused("huge sides in a tiny file", trueColour(32767, 32767, 32, repeated(22, 7)), ""),
        refused("huge mapped sides in a tiny file", mapped(1, 8, 32767, 32767, repeated(22, 0)),
                ""),
        refused("header cut short", firstBytes(trueColour(1, 1, 24, {1, 2, 3}), 17), "marker"),
        refused("id field cut short", tgaHeader(10, 0, 3, 0, 0, 0, 1, 1, 8) + textBytes("abc"),
                "marker"),
    };
}

TEST(TgaReader, DecodesEveryLayoutAndRefusesTheRest) {
    for (const TgaCase& c : tgaCases()) {
        SCOPED_TRACE(c.name);
        Image image;
        fillMarker(image);
        image.loadTgaFromMemory(c.file.data(), c.file.size());
        expectSameThroughAnyWindow(c.file, &Image::readTga, &Image::loadTgaFromMemory);
        EXPECT_EQ(image.comment, c.comment);
        if (c.kind == 0) {
            EXPECT_TRUE(isEmptyPicture(image));
            continue;
        }
        expectPicture(image, c.kind, c.width, c.height, c.pixels);
    }
}

TEST(TgaReader, ShortDataRepeatsTheLastCompletePixel) {
    Bytes data;
    for (int i = 0; i < 10; ++i) {
        data = data + Bytes{static_cast<unsigned char>(i), static_cast<unsigned char>(10 * i), 200};
    }
    const Bytes file = trueColour(4, 4, 24, data);
    Image image;
    image.loadTgaFromMemory(file.data(), file.size());
    ASSERT_TRUE(image.isLoaded());
    const Pixel ninth = {s(200), s(90), s(9)};
    EXPECT_EQ(pixelOf(image, 1, 2), ninth);
    EXPECT_EQ(pixelOf(image, 0, 2), (Pixel{s(200), s(80), s(8)}));
    for (int n = 10; n < 16; ++n) {
        EXPECT_EQ(pixelOf(image, n % 4, n / 4), ninth) << n;
    }
}

TEST(TgaReader, TruncationKeepsLoadingUpToTheSizeBound) {
    // 16 times the bytes present plus 64 KiB may be declared; beyond that nothing loads.
    const Bytes data(4000, 128);
    const Bytes fits = trueColour(1000, (16 * 4000 + 65536) / 1000, 8, data);
    const Bytes tooBig = trueColour(1000, (16 * 4000 + 65536) / 1000 + 1, 8, data);
    Image image;
    image.loadTgaFromMemory(fits.data(), fits.size());
    EXPECT_TRUE(image.isLoaded());
    image.loadTgaFromMemory(tooBig.data(), tooBig.size());
    EXPECT_TRUE(isEmptyPicture(image));
}

} // namespace
