#include "TestFiles.h"

#include "image/FileBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <unistd.h>

namespace {

// Debian's ImageMagick; /usr/local/bin may hold something else under the same name.
const char* const kConvert = "/usr/bin/convert";
const int kWidth = 7;
const int kHeight = 5;
const float kGreyFactor = 1.0333333f;

struct RoundTripCase {
    const char* name;
    const char* rawFormat; // gray, rgb or rgba
    const char* options;
    const char* expectedStart; // the file's first bytes, proving which form was written
    int channels;
    bool grey;
    // PNM and BMP rows end up bottom row first; TGA rows stay in file order, and these files
    // store the top row first.
    bool topRowFirst;
};

unsigned char sourceByte(int x, int y, int c) {
    return static_cast<unsigned char>((x * 37 + y * 11 + c * 71 + (x * y) % 5) % 256);
}

TEST(RoundTrip, ReadsWhatImageMagickWrites) {
    ASSERT_EQ(access(kConvert, X_OK), 0) << kConvert << " is missing: install imagemagick";
    const RoundTripCase cases[] = {
        {"plain.pgm", "gray", "-compress none", "P2", 1, true, false},
        {"raw.pgm", "gray", "", "P5", 1, true, false},
        {"plain.ppm", "rgb", "-compress none", "P3", 3, false, false},
        {"raw.ppm", "rgb", "", "P6", 3, false, false},
        {"rgb.tga", "rgb", "-orient TopLeft -compress none -type TrueColor", "", 3, false, true},
        {"rgba.tga", "rgba", "-orient TopLeft -compress none -type TrueColorAlpha", "", 4, false,
         true},
        {"rgb.bmp", "rgb", "-type TrueColor", "BM", 3, false, false},
    };
    TempDir dir;
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes raw;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                for (int ch = 0; ch < c.channels; ++ch) {
                    raw.push_back(sourceByte(x, y, ch));
                }
            }
        }
        const std::string source = dir.write(std::string(c.name) + ".raw", raw);
        const std::string target = dir.path(c.name);
        const std::string prefix =
            std::string(c.name).find(".bmp") != std::string::npos ? "BMP3:" : "";
        const std::string command = std::string(kConvert) + " -size " + std::to_string(kWidth) +
                                    "x" + std::to_string(kHeight) + " -depth 8 " + c.rawFormat +
                                    ":'" + source + "' " + c.options + " '" + prefix + target + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        Bytes file;
        ASSERT_TRUE(readWholeFile(target.c_str(), file));
        const std::string start(c.expectedStart);
        ASSERT_EQ(std::string(file.begin(), file.begin() + static_cast<long>(start.size())), start);
        if (start.empty()) {
            ASSERT_EQ(file[2], 2) << "uncompressed true colour";
            ASSERT_EQ(file[16], 8 * c.channels);
            ASSERT_EQ(file[17] & 0x20, 0x20) << "top-left origin";
        }

        Image image;
        image.load(target.c_str());
        ASSERT_TRUE(image.isLoaded());
        ASSERT_EQ(image.width, kWidth);
        ASSERT_EQ(image.height, kHeight);
        ASSERT_EQ(image.channels, c.channels);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::vector<float> pixel = pixelOf(image, x, y);
                for (int ch = 0; ch < c.channels; ++ch) {
                    const float value = c.grey ? pixel[ch] / kGreyFactor : pixel[ch];
                    const float expected =
                        sourceByte(x, c.topRowFirst ? y : kHeight - 1 - y, ch) / 255.0f;
                    EXPECT_NEAR(value, expected, 1.0f / 255.0f + 1e-6f)
                        << "pixel " << x << "," << y << " channel " << ch;
                }
            }
        }
    }
}

} // namespace
