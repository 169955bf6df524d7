#include "TestFiles.h"

#include <gtest/gtest.h>

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Runs the snapshot tool with its output streams sent to a file; returns its exit code.
int runSnapshot(const std::vector<std::string>& arguments, const std::string& messages) {
    std::vector<char*> argv;
    std::string program = SNAPSHOT_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen(messages.c_str(), "w", stdout) == nullptr ||
            dup2(fileno(stdout), fileno(stderr)) < 0) {
            _exit(127);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::string contentsOf(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int column, int row) const {
        return &rgb[static_cast<size_t>((row * width + column) * 3)];
    }
};

bool readPng(const std::string& path, Picture* picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

struct RowStatistics {
    double sky = 0; // share of pixels in the clear colour
    double meanLuminance = 0;
    double luminanceSpread = 0; // standard deviation
};

RowStatistics statisticsOf(const Picture& picture, int top, int bottom) {
    RowStatistics s;
    double sum = 0, sumSquares = 0;
    int count = 0, sky = 0;
    for (int row = top; row < bottom; ++row) {
        for (int column = 0; column < picture.width; ++column) {
            const unsigned char* p = picture.at(column, row);
            sky += std::abs(p[0] - 128) <= 1 && std::abs(p[1] - 128) <= 1 && p[2] >= 254;
            const double luminance = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
            sum += luminance;
            sumSquares += luminance * luminance;
            ++count;
        }
    }
    s.sky = static_cast<double>(sky) / count;
    s.meanLuminance = sum / count;
    s.luminanceSpread =
        std::sqrt(std::max(0.0, sumSquares / count - s.meanLuminance * s.meanLuminance));
    return s;
}

class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(directory.ready()); }

    Picture snapshot(const std::vector<std::string>& arguments) {
        Picture picture;
        EXPECT_EQ(runSnapshot(arguments, "messages.txt"), 0) << contentsOf("messages.txt");
        EXPECT_TRUE(readPng(arguments.back(), &picture));
        EXPECT_EQ(picture.width, 640);
        EXPECT_EQ(picture.height, 480);
        return picture;
    }

    ScratchDirectory directory;
};

TEST_F(SnapshotTest, BadUsageExitsWithTwoAndSaysWhy) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--time"},
        {"--time", "abc", "out.png"},
        {"--time", "-5", "out.png"},
        {"--time", "4294967296", "out.png"},
        {"--time", "", "out.png"},
        {"--map"},
        {"--texture", "t.tga"},
        {"--colour", "red", "out.png"},
        {"one.png", "two.png"},
    };
    for (const auto& arguments : cases) {
        std::string joined;
        for (const std::string& a : arguments) {
            joined += " [" + a + "]";
        }
        EXPECT_EQ(runSnapshot(arguments, "messages.txt"), 2) << joined;
        EXPECT_NE(contentsOf("messages.txt").find("usage: snapshot"), std::string::npos) << joined;
        EXPECT_FALSE(std::filesystem::exists("out.png")) << joined;
    }
    EXPECT_EQ(runSnapshot({"--help"}, "messages.txt"), 0);
    EXPECT_NE(contentsOf("messages.txt").find("usage: snapshot"), std::string::npos);
}

TEST_F(SnapshotTest, AnUnwritableOutputFails) {
    EXPECT_EQ(runSnapshot({"no/such/folder/out.png"}, "messages.txt"), 1);
    EXPECT_NE(contentsOf("messages.txt").find("cannot open"), std::string::npos);
}

TEST_F(SnapshotTest, WithoutFilesTheGroundIsAFlatCheckerboard) {
    const Picture picture = snapshot({"--time", "5000", "out.png"});
    const RowStatistics sky = statisticsOf(picture, 0, 200);
    EXPECT_EQ(sky.sky, 1.0);
    // Every ground pixel is a blend of the two squares under the light, white as (218, 218, 187)
    // and purple as (175, 0, 94), and both squares show.
    int offTheBlend = 0, light = 0, dark = 0;
    for (int row = 300; row < 480; ++row) {
        for (int column = 0; column < 640; ++column) {
            const unsigned char* p = picture.at(column, row);
            const double white = p[1] / 218.4;
            const double red = 218.4 * white + 174.7 * (1 - white);
            const double blue = 187.0 * white + 93.5 * (1 - white);
            offTheBlend += std::abs(p[0] - red) > 4 || std::abs(p[2] - blue) > 4;
            light += p[1] > 170;
            dark += p[1] < 45;
        }
    }
    const int total = 180 * 640;
    EXPECT_EQ(offTheBlend, 0);
    EXPECT_GT(light, total / 100);
    EXPECT_GT(dark, total / 50);
}

TEST_F(SnapshotTest, AHeightMapAndTextureGiveALitTexturedHillyLandscape) {
    // Gentle hills and a green-brown texture with a grain that the light and mipmaps keep.
    ASSERT_TRUE(writeTga("hills.tga", 128, 128, 1, [](int column, int row, int) {
        const double a = std::sin(column * 6.2831853 / 32) * std::cos(row * 6.2831853 / 43);
        return static_cast<int>(127 + 120 * a);
    }));
    ASSERT_TRUE(writeTga("grass.tga", 64, 64, 3, [](int column, int row, int c) {
        const int grain = ((column * 7 + row * 13) % 17) * 6;
        const int base[3] = {90, 140, 60};
        return std::min(255, base[c] + grain);
    }));
    const Picture early = snapshot({"--map", "hills.tga", "--texture", "grass.tga", "early.png"});
    const Picture later =
        snapshot({"--time", "160000", "--map", "hills.tga", "--texture", "grass.tga", "later.png"});
    for (const Picture* picture : {&early, &later}) {
        EXPECT_EQ(statisticsOf(*picture, 0, 40).sky, 1.0);
        const RowStatistics ground = statisticsOf(*picture, 400, 480);
        EXPECT_EQ(ground.sky, 0.0);
        // Green dominates the texture; shading varies over the hills.
        int green = 0;
        for (int column = 0; column < 640; ++column) {
            const unsigned char* p = picture->at(column, 470);
            green += p[1] > p[0] && p[1] > p[2];
        }
        EXPECT_GT(green, 600);
        EXPECT_GT(ground.luminanceSpread, 4.0);
    }
    EXPECT_NE(early.rgb, later.rgb);
}

} // namespace
