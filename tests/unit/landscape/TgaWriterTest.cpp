#include "TgaWriter.h"

#include "image/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::vector<uint8_t> counting(size_t count) {
    std::vector<uint8_t> values(count);
    for (size_t i = 0; i < count; ++i)
        values[i] = static_cast<uint8_t>(i * 7 + 3);
    return values;
}

std::vector<uint8_t> encode(bool rgb, int width, int height, const std::vector<uint8_t>& samples) {
    return rgb ? encodeRgbTga(width, height, samples) : encodeGreyTga(width, height, samples);
}

} // namespace

// Each file is checked field by field and then read back by our own reader, which must find every
// sample in its place: bottom row first, red, green and blue in that order.
TEST(TgaWriter, WritesFilesThatOurReaderGetsBackSampleForSample) {
    struct Case {
        bool rgb;
        int width, height, type, kind;
    };
    const Case cases[] = {{false, 5, 3, 3, KIND_GREY},
                          {true, 2, 3, 2, KIND_RGB},
                          {false, 300, 1, 3, KIND_GREY},
                          {true, 1, 513, 2, KIND_RGB}};
    for (const Case& c : cases) {
        const int channels = c.rgb ? 3 : 1;
        std::vector<uint8_t> samples = counting(static_cast<size_t>(c.width) * c.height * channels);
        std::vector<uint8_t> file = encode(c.rgb, c.width, c.height, samples);
        ASSERT_EQ(file.size(), TGA_HEADER_SIZE + samples.size()) << c.width << "x" << c.height;
        const uint8_t header[] = {0,
                                  0,
                                  static_cast<uint8_t>(c.type),
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  static_cast<uint8_t>(c.width & 0xFF),
                                  static_cast<uint8_t>(c.width >> 8),
                                  static_cast<uint8_t>(c.height & 0xFF),
                                  static_cast<uint8_t>(c.height >> 8),
                                  static_cast<uint8_t>(channels * 8),
                                  0};
        EXPECT_TRUE(std::equal(header, header + TGA_HEADER_SIZE, file.begin()));

        Image image;
        image.loadTgaFromMemory(file.data(), file.size());
        ASSERT_TRUE(image.isLoaded());
        EXPECT_EQ(image.kind, c.kind);
        ASSERT_EQ(image.channels, channels);
        ASSERT_EQ(image.width, c.width);
        ASSERT_EQ(image.height, c.height);
        for (size_t i = 0; i < samples.size(); ++i)
            ASSERT_FLOAT_EQ(image.pixels[i] * 255.0f, samples[i]) << "sample " << i;
    }
}

TEST(TgaWriter, RefusesPicturesItCannotDescribe) {
    struct Case {
        int width, height;
        size_t pixels;
    };
    const Case cases[] = {{0, 4, 0},         {4, 0, 0}, {-2, 4, 8}, {32768, 1, 32768},
                          {1, 40000, 40000}, {2, 2, 3}, {2, 2, 5}};
    for (const Case& c : cases)
        for (bool rgb : {false, true})
            EXPECT_TRUE(encode(rgb, c.width, c.height, counting(c.pixels * (rgb ? 3 : 1))).empty())
                << c.width << "x" << c.height << " with " << c.pixels << (rgb ? " rgb" : " grey");
}

TEST(TgaWriter, WritesWholeFilesAndReportsFailure) {
    std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("landscape-writer-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    std::string path = (directory / "x.tga").string();
    std::vector<uint8_t> bytes = encodeGreyTga(4, 4, counting(16));

    ASSERT_TRUE(writeFileBytes(path, counting(1000)));
    ASSERT_TRUE(writeFileBytes(path, bytes)); // replaces the longer file
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
    EXPECT_FALSE(writeFileBytes((directory / "missing" / "x.tga").string(), bytes));
    EXPECT_FALSE(writeFileBytes(directory.string(), bytes)); // a directory, not a file
    std::filesystem::remove_all(directory);
}
