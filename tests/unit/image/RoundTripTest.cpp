#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <unistd.h>

namespace {

// Debian's ImageMagick; /usr/local/bin may hold something else under the same name.
constexpr const char* ROUND_TRIP_CONVERT = "/usr/bin/convert";
constexpr int ROUND_TRIP_WIDTH = 7;
constexpr int ROUND_TRIP_HEIGHT = 5;
constexpr float ROUND_TRIP_GREY_FACTOR = 1.0333333f;

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
    ASSERT_EQ(access(ROUND_TRIP_CONVERT, X_OK), 0)
        << ROUND_TRIP_CONVERT << " is missing: install imagemagick";
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
        for (int y = 0; y < ROUND_TRIP_HEIGHT; ++y) {
            for (int x = 0; x < ROUND_TRIP_WIDTH; ++x) {
                for (int ch = 0; ch < c.channels; ++ch) {
                    raw.push_back(sourceByte(x, y, ch));
                }
            }
        }
        const std::string source = dir.write(std::string(c.name) + ".raw", raw);
        const std::string target = dir.path(c.name);
        const std::string prefix =
            std::string(c.name).find(".bmp") != std::string::npos ? "BMP3:" : "";
        const std::string command = std::string(ROUND_TRIP_CONVERT) + " -size " +
                                    std::to_string(ROUND_TRIP_WIDTH) + "x" +
                                    std::to_string(ROUND_TRIP_HEIGHT) + " -depth 8 " + c.rawFormat +
                                    ":'" + source + "' " + c.options + " '" + prefix + target + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        const Bytes file = readBytesFile(target);
        ASSERT_FALSE(file.empty());
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
        ASSERT_EQ(image.width, ROUND_TRIP_WIDTH);
        ASSERT_EQ(image.height, ROUND_TRIP_HEIGHT);
        ASSERT_EQ(image.channels, c.channels);
        for (int y = 0; y < ROUND_TRIP_HEIGHT; ++y) {
            for (int x = 0; x < ROUND_TRIP_WIDTH; ++x) {
                const std::vector<float> pixel = pixelOf(image, x, y);
                for (int ch = 0; ch < c.channels; ++ch) {
                    const float value = c.grey ? pixel[ch] / ROUND_TRIP_GREY_FACTOR : pixel[ch];
                    const float expected =
                        sourceByte(x, c.topRowFirst ? y : ROUND_TRIP_HEIGHT - 1 - y, ch) / 255.0f;
                    EXPECT_NEAR(value, expected, 1.0f / 255.0f + 1e-6f)
                        << "pixel " << x << "," << y << " channel " << ch;
                }
            }
        }
    }
}

} // namespace
