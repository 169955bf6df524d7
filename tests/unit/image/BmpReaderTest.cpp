#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Pixel = std::vector<float>;

// Stored bytes scale by 1/255 in double precision.
float s(int c) {
    return static_cast<float>(c * (1.0 / 255.0));
}

struct BmpCase {
    const char* name;
    Bytes file;
    int width, height;
    std::vector<Expect> pixels;
};

TEST(BmpReader, ReadsRowsBottomUpWithPadding) {
    const BmpCase cases[] = {
        {"2 x 2, first stored pixel is row 0",
         bmpHeaders(2, 2) + Bytes{0, 0, 255, 10, 20, 30, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0},
         2,
         2,
         {{0, 0, {1, 0, 0}},
          {1, 0, {s(30), s(20), s(10)}},
          {0, 1, {s(3), s(2), s(1)}},
          {1, 1, {s(6), s(5), s(4)}}}},
        {"1 x 2 pads each row to 4 bytes",
         bmpHeaders(1, 2) + Bytes{1, 2, 3, 99, 58, 59, 60, 99},
         1,
         2,
         {{0, 0, {s(3), s(2), s(1)}}, {0, 1, {s(60), s(59), s(58)}}}},
        {"4 x 2 has no padding",
         bmpHeaders(4, 2) + repeated(12, 0) + Bytes{251, 252, 253} + repeated(9, 0),
         4,
         2,
         {{0, 1, {s(253), s(252), s(251)}}, {3, 0, {0, 0, 0}}}},
        {"missing bytes repeat the previous pixel's",
         bmpHeaders(2, 1) + Bytes{1, 2, 3, 9},
         2,
         1,
         {{0, 0, {s(3), s(2), s(1)}}, {1, 0, {s(3), s(2), s(9)}}}},
        {"a first pixel without data is black", bmpHeaders(1, 1), 1, 1, {{0, 0, {0, 0, 0}}}},
        {"data ending inside a row repeats its last complete pixel",
         bmpHeaders(4, 2) + repeated(12, 0) + Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9},
         4,
         2,
         {{0, 1, {s(3), s(2), s(1)}}, {2, 1, {s(9), s(8), s(7)}}, {3, 1, {s(9), s(8), s(7)}}}},
    };
    for (const BmpCase& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        fillMarker(image);
        image.loadBmpFromMemory(c.file.data(), c.file.size());
        expectSameThroughAnyWindow(c.file, &Image::readBmp, &Image::loadBmpFromMemory);
        EXPECT_EQ(image.comment, "marker");
        expectPicture(image, KIND_RGB, c.width, c.height, c.pixels);
    }
}

TEST(BmpReader, ScalesInDoublePrecision) {
    // 251 / 255 differs between a float and a double product; the double one is stored.
    const Bytes file = bmpHeaders(1, 1) + Bytes{251, 0, 0, 0};
    Image image;
    image.loadBmpFromMemory(file.data(), file.size());
    EXPECT_EQ(pixelOf(image, 0, 0)[2], 0.984313726f);
}

TEST(BmpReader, RefusedLayoutsLeaveTheImageAlone) {
    Bytes wrongSignature = bmpHeaders(1, 1) + repeated(4, 0);
    wrongSignature[1] = 'A';
    const Bytes full = bmpHeaders(1, 1) + repeated(4, 0);
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"signature", wrongSignature},
        {"palette before the pixels", bmpHeaders(1, 1, 24, 1078) + repeated(1028, 0)},
        {"12-byte information header", bmpHeaders(1, 1, 24, 54, 12) + repeated(4, 0)},
        {"108-byte information header", bmpHeaders(1, 1, 24, 54, 108) + repeated(4, 0)},
        {"compressed", bmpHeaders(1, 1, 24, 54, 40, 1) + repeated(4, 0)},
        {"1 bit", bmpHeaders(1, 1, 1) + repeated(4, 0)},
        {"4 bits", bmpHeaders(1, 1, 4) + repeated(4, 0)},
        {"8 bits", bmpHeaders(1, 1, 8) + repeated(4, 0)},
        {"16 bits", bmpHeaders(1, 1, 16) + repeated(4, 0)},
        {"32 bits", bmpHeaders(1, 1, 32) + repeated(4, 0)},
        {"headers cut short", Bytes(full.begin(), full.begin() + 53)},
        {"nothing at all", Bytes{}},
    };
    for (const auto& c : cases) {
        Image image;
        fillMarker(image);
        image.loadBmpFromMemory(c.file.data(), c.file.size());
        EXPECT_TRUE(holdsMarker(image)) << c.name;
        expectSameThroughAnyWindow(c.file, &Image::readBmp, &Image::loadBmpFromMemory);
    }
}

TEST(BmpReader, UnusableSidesEmptyTheImage) {
    const Bytes cases[] = {
        bmpHeaders(2, -2) + repeated(16, 0),
        bmpHeaders(-2, 2) + repeated(16, 0),
        bmpHeaders(100000, 100000) + repeated(64, 0),
        bmpHeaders(0x7FFFFFFF, 0x7FFFFFFF) + repeated(64, 0),
    };
    for (const Bytes& file : cases) {
        Image image;
        fillMarker(image);
        image.loadBmpFromMemory(file.data(), file.size());
        EXPECT_TRUE(isEmptyPicture(image));
        EXPECT_EQ(image.comment, "marker");
    }
}

} // namespace
