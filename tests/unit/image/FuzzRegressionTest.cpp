// Inputs that fuzzing found to misbehave, kept with the outcome they must have.
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

// A raster without pixels still costs a reader one pass per row: a side of 0 next to a side of
// hundreds of millions kept the readers busy for seconds over a file of a few dozen bytes. Such a
// raster is refused like any other that its bytes could not hold, and the Image ends empty.
TEST(FuzzRegression, ARasterWithoutPixelsButAHugeSideLoadsNothing) {
    using Reader = void (Image::*)(const unsigned char*, size_t);
    struct Case {
        const char* name;
        Bytes file;
        Reader read;
    };
    const Case cases[] = {
        {"PNM of width 0", textBytes("P5 0 2147483647 255\n"), &Image::loadPnmFromMemory},
        {"PNM of height 0", textBytes("P2 2147483647 0 255\n"), &Image::loadPnmFromMemory},
        {"BMP of width 0", bmpHeaders(0, 806027264), &Image::loadBmpFromMemory},
        {"BMP of height 0", bmpHeaders(0x7FFFFFFF, 0), &Image::loadBmpFromMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        fillMarker(image);
        (image.*c.read)(c.file.data(), c.file.size());
        EXPECT_TRUE(isEmptyPicture(image));
        EXPECT_EQ(image.comment, "marker");
    }
}

} // namespace
