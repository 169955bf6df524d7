// Writes the fuzzers' starting inputs: small valid and nearly valid files of every layout the
// readers know, built with the unit tests' byte builders, and command lines. Usage: fuzz_seeds DIR
#include "tests/unit/image/ImageBytes.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Seed {
    const char* name;
    Bytes bytes;
};

Bytes pixelRamp(size_t count) {
    Bytes bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<unsigned char>(i * 37 + 11));
    }
    return bytes;
}

std::vector<Seed> tgaSeeds() {
    return {
        {"mapped-24",
         tgaHeader(0, 1, 1, 0, 4, 24, 3, 2, 8) + pixelRamp(12) + Bytes{0, 1, 2, 3, 9, 1}},
        {"mapped-16", tgaHeader(0, 1, 1, 0, 2, 16, 2, 2, 8) + pixelRamp(4) + Bytes{0, 1, 1, 0}},
        {"mapped-32", tgaHeader(0, 1, 1, 0, 2, 32, 2, 1, 8) + pixelRamp(8) + Bytes{1, 0}},
        {"mapped-grey", tgaHeader(0, 1, 1, 0, 3, 8, 3, 1, 8) + pixelRamp(3) + Bytes{2, 1, 0}},
        {"true-24", tgaHeader(0, 0, 2, 0, 0, 0, 3, 2, 24) + pixelRamp(18)},
        {"true-32", tgaHeader(0, 0, 2, 0, 0, 0, 2, 2, 32) + pixelRamp(16)},
        {"true-16", tgaHeader(0, 0, 2, 0, 0, 0, 2, 2, 16) + pixelRamp(8)},
        {"grey", tgaHeader(0, 0, 3, 0, 0, 0, 4, 2, 8) + pixelRamp(8)},
        {"id-field", tgaHeader(5, 0, 3, 0, 0, 0, 1, 1, 8) + Bytes{'a', 'b', 0, 'c', 'd', 7}},
        {"true-24-with-map", tgaHeader(0, 1, 2, 0, 2, 24, 2, 1, 24) + pixelRamp(12)},
        {"short-data", tgaHeader(0, 0, 2, 0, 0, 0, 4, 4, 24) + pixelRamp(5)},
        {"header-only", tgaHeader(0, 0, 2, 0, 0, 0, 1, 1, 24)},
        {"run-length", tgaHeader(0, 0, 10, 0, 0, 0, 2, 2, 24) + pixelRamp(12)},
    };
}

std::vector<Seed> bmpSeeds() {
    return {
        {"padded-rows",
         bmpHeaders(3, 2) + pixelRamp(9) + Bytes{0, 0, 0} + pixelRamp(9) + Bytes{0, 0, 0}},
        {"unpadded", bmpHeaders(4, 1) + pixelRamp(12)},
        {"one-pixel", bmpHeaders(1, 1) + pixelRamp(3) + Bytes{0}},
        {"short-data", bmpHeaders(5, 5) + pixelRamp(7)},
        {"top-down", bmpHeaders(2, -2) + pixelRamp(16)},
        {"eight-bit", bmpHeaders(2, 2, 8) + pixelRamp(8)},
        {"compressed", bmpHeaders(2, 2, 24, 54, 40, 1) + pixelRamp(16)},
        {"core-header", bmpHeaders(2, 2, 24, 54, 12) + pixelRamp(16)},
    };
}

std::vector<Seed> pnmSeeds() {
    return {
        {"p1", textBytes("P1\n# bits\n3 2\n1 0 1\n0 1 0\n")},
        {"p2", textBytes("P2 2 2 255\n0 64\n128 255\n")},
        {"p3", textBytes("P3\n2 1\n255\n255 0 0 0 0 255\n")},
        {"p4", textBytes("P4 10 2 1\n") + Bytes{0xB3, 0x80, 0x0F, 0xF0}},
        {"p5", textBytes("P5 #c\n3 2\n255\n") + pixelRamp(6)},
        {"p6", textBytes("P6 2 2 65535\n") + pixelRamp(12)},
        {"lower-case", textBytes("p2 1 1 9\n4")},
        {"short-text", textBytes("P3 2 2 10\n1 2 3 x 5")},
        {"signs", textBytes("P2\t2\t1\t0255\v-0\f+255")},
        {"zero-maximum", textBytes("P2 2 1 0\n1 0")},
    };
}

std::vector<Seed> loadSeeds() {
    // The first byte picks the name: 0 f.tga, 2 f.bmp, 4 f.pnm, 10 f.png (see LoadFuzzer.cpp).
    const std::vector<Seed> tga = tgaSeeds();
    const std::vector<Seed> bmp = bmpSeeds();
    const std::vector<Seed> pnm = pnmSeeds();
    return {
        {"tga", Bytes{0} + tga[4].bytes},
        {"bmp", Bytes{2} + bmp[0].bytes},
        {"pnm", Bytes{4} + pnm[4].bytes},
        {"png-name", Bytes{10} + tga[4].bytes},
    };
}

Bytes commandLine(const std::string& delimiters, const std::string& text) {
    return Bytes{static_cast<unsigned char>(delimiters.size())} + textBytes(delimiters + text);
}

std::vector<Seed> commandLineSeeds() {
    const std::string blanks = " \t\n";
    return {
        {"run", commandLine(blanks, "/s")},
        {"configure", commandLine(blanks, "/c:1234")},
        {"preview", commandLine(blanks, "/p 1234")},
        {"quoted", commandLine(blanks, "\"a b\"\tc \"d")},
        {"empty-tokens", commandLine(blanks, "a  b\n\n c ")},
        {"white-space", commandLine(blanks, " \r\v\f\"\t \" x\r")},
        {"other-delimiters", commandLine(",;", "a,b c;;d\"e,f\"")},
        {"no-delimiters", commandLine("", "\"-c\" x")},
    };
}

bool writeSeeds(const std::filesystem::path& folder, const std::vector<Seed>& seeds) {
    std::filesystem::create_directories(folder);
    for (const Seed& seed : seeds) {
        std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(seed.bytes.data()),
                  static_cast<std::streamsize>(seed.bytes.size()));
        if (!out) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const bool written =
        writeSeeds(root / "tga", tgaSeeds()) && writeSeeds(root / "bmp", bmpSeeds()) &&
        writeSeeds(root / "pnm", pnmSeeds()) && writeSeeds(root / "load", loadSeeds()) &&
        writeSeeds(root / "command_line", commandLineSeeds());
    if (!written) {
        std::fprintf(stderr, "cannot write the seeds under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
