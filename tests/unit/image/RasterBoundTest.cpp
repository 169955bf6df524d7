// The bound on declared rasters, exactly at its edge and one row past it, through each reader: a
// raster may need at most 16 times the bytes that follow the header plus 64 KiB.
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(RasterBound, ARasterAtTheBoundLoadsAndOneRowMoreLoadsNothing) {
    // 4000 bytes allow 16 * 4000 + 65536 = 129536 one-byte pixels, 1012 x 128; 4001 bytes allow
    // (16 * 4001 + 65536) / 3 = 43184 three-byte pixels, 2699 x 16.
    const Bytes greyBytes = noiseBytes(4000);
    const Bytes colourBytes = noiseBytes(4001);
    const struct {
        const char* name;
        int width, height;
        Bytes (*file)(int width, int height, const Bytes& data);
        const Bytes& data;
        MemoryReader read;
    } cases[] = {
        {"TGA grey", 1012, 128,
         [](int w, int h, const Bytes& d) { return tgaHeader(0, 0, 3, 0, 0, 0, w, h, 8) + d; },
         greyBytes, &Image::loadTgaFromMemory},
        {"PNM grey", 1012, 128, [](int w, int h, const Bytes& d) { return pnmHeader(5, w, h) + d; },
         greyBytes, &Image::loadPnmFromMemory},
        {"BMP", 2699, 16, [](int w, int h, const Bytes& d) { return bmpHeaders(w, h) + d; },
         colourBytes, &Image::loadBmpFromMemory},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes atBound = c.file(c.width, c.height, c.data);
        Image image;
        (image.*c.read)(atBound.data(), atBound.size());
        EXPECT_TRUE(image.isLoaded());
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);

        const Bytes rowPast = c.file(c.width, c.height + 1, c.data);
        fillMarker(image);
        (image.*c.read)(rowPast.data(), rowPast.size());
        EXPECT_TRUE(isEmptyPicture(image));
    }
}

} // namespace
