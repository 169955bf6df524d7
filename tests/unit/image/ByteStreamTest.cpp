#include "image/ByteStream.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// The stream only points at the text, so the text must outlive it.
ByteStream streamOver(const std::string& text) {
    return ByteStream(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}
ByteStream streamOver(std::string&& text) = delete;

// After the reads, what is left must be what the standard stream left (unless both failed).
std::string rest(ByteStream& stream) {
    std::string left;
    unsigned char c = 0;
    while (stream.get(c)) {
        left += static_cast<char>(c);
    }
    return left;
}

std::string rest(std::istringstream& stream) {
    std::string left;
    char c = 0;
    while (stream.get(c)) {
        left += c;
    }
    return left;
}

TEST(ByteStream, ExtractsIntegersAsTheStandardStreamDoes) {
    const std::string inputs[] = {
        "12 34",
        "  -7x 5",
        "+5",
        "+",
        "-",
        "- 5",
        "0012",
        "1-2",
        "2147483647 1",
        "2147483648 1",
        "-2147483648 1",
        "-2147483649 1",
        "",
        "   ",
        "\v\f\r\n\t9 8",
        "99999999999999999999 5",
        "12",
        "x12",
        "3+4 5",
        "--3",
        "7\n",
    };
    for (const std::string& input : inputs) {
        ByteStream ours = streamOver(input);
        std::istringstream theirs(input, std::ios::binary);
        for (int round = 0; round < 3; ++round) {
            int ourValue = -99;
            int theirValue = -99;
            const bool ourResult = ours.readInt(ourValue);
            const bool theirResult = static_cast<bool>(theirs >> theirValue);
            ASSERT_EQ(ourResult, theirResult) << '"' << input << "\" read " << round;
            if (ourResult) {
                EXPECT_EQ(ourValue, theirValue) << '"' << input << '"';
            } else {
                // A failed read never changes the target.
                EXPECT_EQ(ourValue, -99);
            }
        }
        EXPECT_EQ(ours.failed(), theirs.fail()) << '"' << input << '"';
    }
}

TEST(ByteStream, ReadsLinesAsGetlineIntoAFixedBuffer) {
    const std::string lines[] = {
        "",
        "\n",
        "a\nb",
        "abc",
        std::string(126, 'x') + "\nz",
        std::string(127, 'x') + "\nz",
        std::string(127, 'x'),
        std::string(128, 'x') + "\nz",
        std::string(300, 'y'),
        std::string("a\0b\nc", 5),
    };
    for (const std::string& line : lines) {
        ByteStream ours = streamOver(line);
        std::istringstream theirs(line, std::ios::binary);
        char ourBuffer[128];
        char theirBuffer[128];
        ours.getLine(ourBuffer, sizeof ourBuffer);
        theirs.getline(theirBuffer, sizeof theirBuffer);
        EXPECT_EQ(std::string(ourBuffer), std::string(theirBuffer)) << line.size();
        EXPECT_EQ(ours.failed(), theirs.fail()) << line.size();
        if (!ours.failed()) {
            EXPECT_EQ(rest(ours), rest(theirs)) << line.size();
        }
    }
}

TEST(ByteStream, ShortBlockReadsKeepTheUnreadPlaces) {
    const std::string text = "ab";
    ByteStream stream = streamOver(text);
    unsigned char out[4] = {1, 2, 3, 4};
    EXPECT_EQ(stream.read(out, 3), 2u);
    EXPECT_EQ(out[0], 'a');
    EXPECT_EQ(out[2], 3);
    EXPECT_TRUE(stream.failed());
    unsigned char c = 9;
    EXPECT_FALSE(stream.get(c));
    EXPECT_EQ(c, 9);
    EXPECT_EQ(stream.read(out, 1), 0u);
}

TEST(ByteStream, TextAfterAFailureIsNotRead) {
    const std::string text = "x 12";
    ByteStream stream = streamOver(text);
    int value = 5;
    EXPECT_FALSE(stream.readInt(value));
    EXPECT_FALSE(stream.readInt(value));
    EXPECT_EQ(value, 5);
}

} // namespace
