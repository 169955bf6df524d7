#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

enum Content { TGA, PNM, BMP };

Bytes contentOf(Content content) {
    switch (content) {
    case TGA:
        return tgaHeader(0, 0, 3, 0, 0, 0, 1, 1, 8) + Bytes{255};
    case PNM:
        return textBytes("P6 1 1 255\n") + Bytes{255, 0, 0};
    default:
        return bmpHeaders(1, 1) + Bytes{0, 0, 255, 0};
    }
}

struct DispatchCase {
    const char* name;
    Content content;
    bool read;
};

TEST(ImageLoad, ChoosesTheReaderByExactExtension) {
    const DispatchCase cases[] = {
        {"quellmoorMap.tga", TGA, true},
        {"QUELLMOORMAP.TGA", TGA, true},
        {"quellmoorMap.Tga", TGA, false},
        {"photo.jpeg", TGA, false},
        {"two.dots.bmp", BMP, true},
        {"a.BMP", BMP, true},
        {"a.pnm", PNM, true},
        {"a.PNM", PNM, true},
        {"a.ppm", PNM, true},
        {"a.PPM", PNM, true},
        {"a.pgm", PNM, true},
        {"a.PGM", PNM, true},
        {"a.pbm", PNM, true},
        {"a.PBM", PNM, true},
        {"a.Pgm", PNM, false},
        {"dir.d/tga", TGA, true},
        {"x.tga\\bmp", BMP, true},
        {"a\\b.tga", TGA, true},
        {"x.tga_", TGA, false},
        {"x.abcdefghijklmnopqrstuvwxyz0123456789abcd", TGA, false},
    };
    TempDir dir;
    std::filesystem::create_directory(dir.path("dir.d"));
    for (const DispatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.write(c.name, contentOf(c.content));
        Image image;
        fillMarker(image);
        image.load(path.c_str());
        if (c.read) {
            EXPECT_TRUE(image.isLoaded());
            EXPECT_EQ(image.kind, c.content == TGA ? KIND_GREY : KIND_RGB);
        } else {
            EXPECT_TRUE(holdsMarker(image));
        }
    }
}

TEST(ImageLoad, PathsWithoutAnExtensionReadNothing) {
    const char* paths[] = {"tga", "", "some/dir/", "x.", nullptr};
    for (const char* path : paths) {
        Image image;
        fillMarker(image);
        image.load(path);
        EXPECT_TRUE(holdsMarker(image)) << (path != nullptr ? path : "null");
    }
}

TEST(ImageLoad, FilesThatCannotBeReadEmptyThePictureButKeepTheComment) {
    TempDir dir;
    std::filesystem::create_directory(dir.path("folder.tga"));
    const std::string paths[] = {dir.path("missing.tga"), dir.path("missing.pgm"),
                                 dir.path("missing.bmp"), dir.path("folder.tga")};
    for (const std::string& path : paths) {
        Image image;
        fillMarker(image);
        image.load(path.c_str());
        EXPECT_TRUE(isEmptyPicture(image)) << path;
        EXPECT_EQ(image.comment, "marker") << path;
    }
}

TEST(ImageLoad, FilesLargerThanTheReadWindowReadAsTheirBytes) {
    // Past 256 KiB a file comes through the window in several fills; rows and pixels straddle them.
    const int width = 301;
    const int height = 307;
    const size_t pixels = static_cast<size_t>(width) * height;
    const struct {
        const char* name;
        Bytes file;
        MemoryReader read;
    } cases[] = {
        {"big.tga", tgaHeader(0, 0, 2, 0, 0, 0, width, height, 24) + noiseBytes(3 * pixels),
         &Image::loadTgaFromMemory},
        {"big.bmp", bmpHeaders(width, height) + noiseBytes(3 * pixels + height),
         &Image::loadBmpFromMemory},
        {"big.pgm", pnmHeader(5, width, height) + noiseBytes(pixels), &Image::loadPnmFromMemory},
        {"big.ppm", pnmHeader(6, width, height) + noiseBytes(3 * pixels),
         &Image::loadPnmFromMemory},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image viaFile;
        viaFile.load(dir.write(c.name, c.file).c_str());
        Image viaMemory;
        (viaMemory.*c.read)(c.file.data(), c.file.size());
        ASSERT_TRUE(viaFile.isLoaded());
        ASSERT_EQ(viaFile.width, width);
        ASSERT_EQ(viaFile.height, height);
        EXPECT_EQ(std::memcmp(viaFile.pixels, viaMemory.pixels,
                              pixels * static_cast<size_t>(viaFile.channels) * sizeof(float)),
                  0);
    }
}

} // namespace
