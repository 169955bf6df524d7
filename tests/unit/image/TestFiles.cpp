#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

std::vector<float> pixelOf(const Image& image, int x, int y) {
    const float* first = image.pixels + (static_cast<size_t>(y) * image.width + x) * image.channels;
    return std::vector<float>(first, first + image.channels);
}

void expectPicture(const Image& image, int kind, int width, int height,
                   const std::vector<Expect>& pixels) {
    ASSERT_TRUE(image.isLoaded());
    EXPECT_EQ(image.kind, kind);
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    for (const Expect& e : pixels) {
        EXPECT_EQ(pixelOf(image, e.x, e.y), e.value) << "pixel " << e.x << "," << e.y;
    }
}

void fillMarker(Image& image) {
    image.release();
    image.allocate(1, 1, KIND_GREY);
    image.pixels[0] = 42.0f;
    image.comment = "marker";
}

bool holdsMarker(const Image& image) {
    return image.kind == KIND_GREY && image.width == 1 && image.height == 1 &&
           image.pixels != nullptr && image.pixels[0] == 42.0f && image.comment == "marker";
}

bool isEmptyPicture(const Image& image) {
    return image.pixels == nullptr && image.kind == 0 && image.width == 0 && image.height == 0 &&
           image.channels == 0;
}

namespace {

void expectSamePicture(const Image& got, const Image& wanted) {
    ASSERT_EQ(got.kind, wanted.kind);
    ASSERT_EQ(got.width, wanted.width);
    ASSERT_EQ(got.height, wanted.height);
    ASSERT_EQ(got.channels, wanted.channels);
    EXPECT_EQ(got.comment, wanted.comment);
    ASSERT_EQ(got.pixels == nullptr, wanted.pixels == nullptr);
    if (got.pixels != nullptr) {
        const size_t floats = static_cast<size_t>(got.width) * static_cast<size_t>(got.height) *
                              static_cast<size_t>(got.channels);
        EXPECT_EQ(std::memcmp(got.pixels, wanted.pixels, floats * sizeof(float)), 0);
    }
}

} // namespace

void expectSameThroughAnyWindow(const Bytes& file, StreamReader read, MemoryReader readMemory) {
    Image wanted;
    fillMarker(wanted);
    (wanted.*readMemory)(file.data(), file.size());
    TempDir dir;
    const std::string path = dir.write("picture", file);
    for (size_t window : {2, 3, 4, 5, 7, 13, 64, 4096}) {
        SCOPED_TRACE("window of " + std::to_string(window) + " bytes");
        std::FILE* opened = std::fopen(path.c_str(), "rb");
        ASSERT_NE(opened, nullptr);
        ByteStream stream(opened, window);
        Image got;
        fillMarker(got);
        (got.*read)(stream);
        std::fclose(opened);
        expectSamePicture(got, wanted);
    }
}
