#include "TestFiles.h"

#include <gtest/gtest.h>

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

TEST(ImageLoad, ReadsFilesLargerThanOneChunk) {
    const int side = 200;
    Bytes data;
    for (int i = 0; i < side * side; ++i) {
        data.push_back(static_cast<unsigned char>(i % 251));
        data.push_back(static_cast<unsigned char>(i % 241));
        data.push_back(static_cast<unsigned char>(i % 239));
    }
    TempDir dir;
    const std::string path =
        dir.write("big.tga", tgaHeader(0, 0, 2, 0, 0, 0, side, side, 24) + data);
    Image image;
    image.load(path.c_str());
    ASSERT_TRUE(image.isLoaded());
    const int last = side * side - 1;
    const float k = 1.0f / 255.0f;
    EXPECT_EQ(pixelOf(image, side - 1, side - 1),
              (std::vector<float>{(last % 239) * k, (last % 241) * k, (last % 251) * k}));
}

} // namespace
