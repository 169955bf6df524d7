// The files that the build put next to the program: exactly what the generator makes, and read by
// our own reader as pictures of the expected kind and size.
#include "Landscape.h"
#include "TgaWriter.h"

#include "image/Image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

TEST(ShippedFiles, HoldTheGeneratedPicturesAndLoadAsThem) {
    struct Case {
        const char* name;
        std::vector<uint8_t> expected;
        int kind, channels, size;
    };
    const Case cases[] = {
        {"quellmoorMap.tga",
         encodeGreyTga(LANDSCAPE_MAP_SIZE, LANDSCAPE_MAP_SIZE,
                       generateHeightMap(LANDSCAPE_MAP_SIZE, LANDSCAPE_MAP_SEED)),
         KIND_GREY, 1, LANDSCAPE_MAP_SIZE},
        {"quellmoorTex.tga",
         encodeRgbTga(LANDSCAPE_TEXTURE_SIZE, LANDSCAPE_TEXTURE_SIZE,
                      generateGroundTexture(LANDSCAPE_TEXTURE_SIZE, LANDSCAPE_TEXTURE_SEED)),
         KIND_RGB, 3, LANDSCAPE_TEXTURE_SIZE},
    };
    for (const Case& c : cases) {
        std::string path = std::string(QUELLMOOR_LANDSCAPE_DIR) + "/" + c.name;
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
        EXPECT_EQ(bytes, c.expected) << path;

        Image image;
        image.load(path.c_str());
        ASSERT_TRUE(image.isLoaded()) << path;
        EXPECT_EQ(image.kind, c.kind) << c.name;
        EXPECT_EQ(image.channels, c.channels) << c.name;
        EXPECT_EQ(image.width, c.size) << c.name;
        EXPECT_EQ(image.height, c.size) << c.name;
    }
}
