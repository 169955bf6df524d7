#include "TestFiles.h"

#include <gtest/gtest.h>

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
