#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Pixel = std::vector<float>;

constexpr float PNM_GREY_WHITE = 1.0333333f;

// The grey conversion of a value, as grey files store it.
float grey(float v) {
    float pixel[4] = {v, v, v, 1.0f};
    Image().convertPixel(pixel, KIND_GREY);
    return pixel[0];
}

enum Outcome { LOADED, UNCHANGED, EMPTY };

struct PnmCase {
    const char* name;
    Bytes file;
    Outcome outcome;
    int kind, width, height;
    std::vector<Expect> pixels;
    std::string comment;
};

PnmCase loaded(const char* name, const std::string& text, const Bytes& raster, int kind, int width,
               int height, const std::vector<Expect>& pixels,
               const std::string& comment = "marker") {
    return {name, textBytes(text) + raster, LOADED, kind, width, height, pixels, comment};
}

PnmCase notLoaded(const char* name, const std::string& text, Outcome outcome,
                  const std::string& comment = "marker") {
    return {name, textBytes(text), outcome, 0, 0, 0, {}, comment};
}

std::vector<PnmCase> pnmCases() {
    const std::string longText(130, 'c');
    const std::string longest = longText.substr(0, 127);
    return {
        loaded("P2", "P2 2 1 255\n0 255", {}, KIND_GREY, 2, 1,
               {{0, 0, {0}}, {1, 0, {PNM_GREY_WHITE}}}),
        loaded("P3 stores its top row first", "P3\n1 2\n255\n255 0 0\n0 0 255\n", {}, KIND_RGB, 1,
               2, {{0, 1, {1, 0, 0}}, {0, 0, {0, 0, 1}}}),
        loaded("P1 inverts", "P1 2 1 1\n1 0", {}, KIND_GREY, 2, 1,
               {{0, 0, {0}}, {1, 0, {PNM_GREY_WHITE}}}),
        loaded("lower-case p", "p2 1 1 255\n255", {}, KIND_GREY, 1, 1, {{0, 0, {PNM_GREY_WHITE}}}),
        loaded("comments after type and width", "P6 # first\n2 #second\n1\n255\n",
               {255, 0, 0, 0, 255, 0}, KIND_RGB, 2, 1, {{0, 0, {1, 0, 0}}, {1, 0, {0, 1, 0}}},
               "marker firstsecond"),
        loaded("a comment after the maximum is raster", "P5 2 1 255\n#A", {}, KIND_GREY, 2, 1,
               {{0, 0, {grey(35 / 255.0f)}}, {1, 0, {grey(65 / 255.0f)}}}),
        loaded("P4 bits run on across rows", "P4 3 3 1\n", {0xB3, 0x80}, KIND_GREY, 3, 3,
               {{0, 2, {0}},
                {1, 2, {PNM_GREY_WHITE}},
                {2, 2, {0}},
                {0, 1, {0}},
                {1, 1, {PNM_GREY_WHITE}},
                {2, 1, {PNM_GREY_WHITE}},
                {0, 0, {0}},
                {1, 0, {0}},
                {2, 0, {0}}}),
        loaded("P5 maximum above 255 still reads bytes", "P5 2 1 1000\n", {200, 10}, KIND_GREY, 2,
               1, {{0, 0, {grey(0.2f)}}, {1, 0, {grey(0.01f)}}}),
        loaded("P6 maximum above 255 still reads bytes", "P6 1 1 65535\n", {255, 0, 1}, KIND_RGB, 1,
               1, {{0, 0, {255 / 65535.0f, 0, 1 / 65535.0f}}}),
        loaded("P2 maximum above 255", "P2 1 1 65535\n65535", {}, KIND_GREY, 1, 1,
               {{0, 0, {PNM_GREY_WHITE}}}),
        loaded("P5 rows are reversed", "P5 2 2 255\n", {0, 51, 102, 153}, KIND_GREY, 2, 2,
               {{0, 1, {0}},
                {1, 1, {grey(51 / 255.0f)}},
                {0, 0, {grey(102 / 255.0f)}},
                {1, 0, {grey(153 / 255.0f)}}}),
        loaded("signs, zeros and other blanks", "P2\t2\t1\t0255\v-0\f+255", {}, KIND_GREY, 2, 1,
               {{0, 0, {0}}, {1, 0, {PNM_GREY_WHITE}}}),
        loaded("a word repeats the previous sample", "P2 3 1 10\n7 x 9", {}, KIND_GREY, 3, 1,
               {{1, 0, {grey(0.7f)}}, {2, 0, {grey(0.7f)}}}),
        loaded("missing samples keep their position", "P3 2 1 10\n1 2 3 4", {}, KIND_RGB, 2, 1,
               {{0, 0, {0.1f, 0.2f, 0.3f}}, {1, 0, {0.4f, 0.2f, 0.3f}}}),
        loaded("a missing first text sample is 0", "P2 1 1 10\n", {}, KIND_GREY, 1, 1,
               {{0, 0, {0}}}),
        loaded("a missing first bitmap sample is 0, white", "P1 1 1 1\n", {}, KIND_GREY, 1, 1,
               {{0, 0, {PNM_GREY_WHITE}}}),
        loaded("a missing first byte is 0", "P6 1 1 255\n", {}, KIND_RGB, 1, 1,
               {{0, 0, {0, 0, 0}}}),
        loaded("P6 data ending inside a row repeats its last complete pixel", "P6 3 2 255\n",
               {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6}, KIND_RGB, 3, 2,
               {{0, 0, {1 / 255.0f, 2 / 255.0f, 3 / 255.0f}},
                {2, 0, {4 / 255.0f, 5 / 255.0f, 6 / 255.0f}}}),
        loaded("no byte after the maximum", "P2 1 1 255", {}, KIND_GREY, 1, 1, {{0, 0, {0}}}),
        loaded("missing P4 bytes reuse the last one", "P4 8 2 1\n", {0x80}, KIND_GREY, 8, 2,
               {{0, 0, {0}}, {1, 0, {PNM_GREY_WHITE}}, {0, 1, {0}}, {7, 1, {PNM_GREY_WHITE}}}),
        loaded("a 127-character comment", "P2 #" + longest + "\n1 1 255\n0", {}, KIND_GREY, 1, 1,
               {{0, 0, {0}}}, "marker" + longest),
        notLoaded("a longer comment ends the header", "P2 #" + longText + "\n1 1 255\n0", UNCHANGED,
                  "marker" + longest),
        notLoaded("type 7", "P7 1 1 255\n0", UNCHANGED),
        notLoaded("type 0", "P0 1 1 255\n0", UNCHANGED),
        notLoaded("blank before the P", " P2 1 1 255\n0", UNCHANGED),
        notLoaded("no type number", "Px 1 1 255\n0", UNCHANGED),
        notLoaded("empty", "", UNCHANGED),
        notLoaded("no height", "P2 3", UNCHANGED),
        notLoaded("no maximum", "P2 3 2 \n", UNCHANGED),
        notLoaded("a carriage return stops the comment skip", "P2\r\n#c\n1 1 255\n0", UNCHANGED),
        notLoaded("negative width", "P2 -1 1 255\n0", EMPTY),
        notLoaded("huge binary sides", "P5 100000 100000 255\n0123456789", EMPTY),
        notLoaded("huge text sides", "P3 30000 30000 255\n1 1 1 1 1", EMPTY),
    };
}

TEST(PnmReader, ReadsAllSixTypesAndRefusesBadHeaders) {
    for (const PnmCase& c : pnmCases()) {
        SCOPED_TRACE(c.name);
        Image image;
        fillMarker(image);
        image.loadPnmFromMemory(c.file.data(), c.file.size());
        expectSameThroughAnyWindow(c.file, &Image::readPnm, &Image::loadPnmFromMemory);
        EXPECT_EQ(image.comment, c.comment);
        if (c.outcome == UNCHANGED) {
            image.comment = "marker";
            EXPECT_TRUE(holdsMarker(image));
            continue;
        }
        if (c.outcome == EMPTY) {
            EXPECT_TRUE(isEmptyPicture(image));
            continue;
        }
        expectPicture(image, c.kind, c.width, c.height, c.pixels);
    }
}

TEST(PnmReader, CommentsAccumulateOverReads) {
    const Bytes first = textBytes("P2\n#one\n1 1 255\n0");
    const Bytes second = textBytes("P5 #two\n1 1 255\n\x01");
    Image image;
    image.loadPnmFromMemory(first.data(), first.size());
    image.loadPnmFromMemory(second.data(), second.size());
    EXPECT_EQ(image.comment, "onetwo");
    EXPECT_TRUE(image.isLoaded());
}

TEST(PnmReader, CommentTextStopsGrowingAt64KiBButTheHeaderReadsOn) {
    const std::string line(99, 'c');
    std::string header = "P5\n";
    for (int i = 0; i < 1000; ++i) {
        header += "#" + line + "\n";
    }
    const Bytes file = textBytes(header + "1 1 255\n") + Bytes{255};
    Image image;
    image.loadPnmFromMemory(file.data(), file.size());
    EXPECT_EQ(image.comment, std::string(65536 / 99 * 99, 'c'));
    EXPECT_TRUE(image.isLoaded());
}

} // namespace
