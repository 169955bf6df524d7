// Pixel statistics of one window's picture, read as a binary PPM (P6, 8 bits) from standard
// input, printed as name=value pairs for the checks of the end-to-end tests. With an argument
// WxH+X+Y, of that part of the picture only (as ImageMagick crops it: what lies outside is left
// out).
//   top_sky           share of clear-colour pixels in the top eighth
//   bottom_sky        share of clear-colour pixels in the bottom sixth
//   bottom_luminance  mean luminance (0..1) of the bottom sixth
//   lit_white         share of the lower half near the checkerboard's white under flat light
//   lit_magenta       share of the lower half near its magenta under the same light
//   whitish           share of the lower half that is bright, with green a little below red
//   magentaish        share of the lower half where green falls far below red and blue
//   ground_rg         summed red over summed green of the lower half's non-sky pixels
//   skyline           rows between the columns with the most and the fewest sky pixels in the
//                     upper three quarters: how much the skyline rises and falls
//   horizon           rows the mean skyline lies below the middle of the picture
//   mean_r, mean_g, mean_b  the mean colour (0..255) of the whole picture
//   lit               share of the pixels that are not black (any channel above 0)
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

const Rgb SKY{128, 128, 255};
const Rgb LIT_WHITE{218, 218, 187};
const Rgb LIT_MAGENTA{175, 0, 94};
// Per channel; wide enough for rounding and blending at texel edges, far narrower than the
// distance between the two checker colours.
const int NEAR = 12;

bool near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

bool isSky(const Rgb& p) {
    return near(p, SKY, 3);
}

// Reads one header number, skipping blanks and comments.
bool readNumber(std::FILE* in, int* value) {
    int c = std::fgetc(in);
    while (c != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#') {
            while (c != EOF && c != '\n') {
                c = std::fgetc(in);
            }
        }
        c = std::fgetc(in);
    }
    if (c == EOF || !std::isdigit(c)) {
        return false;
    }
    long number = 0;
    while (c != EOF && std::isdigit(c) && number < 100000) {
        number = number * 10 + (c - '0');
        c = std::fgetc(in);
    }
    *value = static_cast<int>(number);
    return std::isspace(c) != 0;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bytes;
    Rgb at(int x, int y) const {
        const unsigned char* p = &bytes[(static_cast<size_t>(y) * width + x) * 3];
        return Rgb{p[0], p[1], p[2]};
    }
};

bool readPpm(std::FILE* in, Picture* picture) {
    int maxValue = 0;
    if (std::fgetc(in) != 'P' || std::fgetc(in) != '6' || !readNumber(in, &picture->width) ||
        !readNumber(in, &picture->height) || !readNumber(in, &maxValue) || maxValue != 255 ||
        picture->width < 8 || picture->height < 8 || picture->width > 16384 ||
        picture->height > 16384) {
        return false;
    }
    picture->bytes.resize(static_cast<size_t>(picture->width) * picture->height * 3);
    return std::fread(picture->bytes.data(), 1, picture->bytes.size(), in) == picture->bytes.size();
}

// The part GEOMETRY (WxH+X+Y) of the picture, clipped to it; false when the text is no geometry
// or the part is smaller than the statistics need.
bool crop(const char* geometry, Picture* picture) {
    int width = 0, height = 0, x = 0, y = 0, end = 0;
    if (std::sscanf(geometry, "%dx%d+%d+%d%n", &width, &height, &x, &y, &end) != 4 ||
        geometry[end] != '\0' || width < 1 || height < 1 || x < 0 || y < 0) {
        return false;
    }
    width = std::min(width, picture->width - std::min(x, picture->width));
    height = std::min(height, picture->height - std::min(y, picture->height));
    if (width < 8 || height < 8) {
        return false;
    }
    Picture part;
    part.width = width;
    part.height = height;
    part.bytes.resize(static_cast<size_t>(width) * height * 3);
    for (int row = 0; row < height; ++row) {
        std::memcpy(&part.bytes[static_cast<size_t>(row) * width * 3],
                    &picture->bytes[(static_cast<size_t>(y + row) * picture->width + x) * 3],
                    static_cast<size_t>(width) * 3);
    }
    *picture = std::move(part);
    return true;
}

// Share of the pixels in rows [top, bottom) that pass the test.
template <typename Test> double share(const Picture& picture, int top, int bottom, Test test) {
    long count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            count += test(picture.at(x, y)) ? 1 : 0;
        }
    }
    return static_cast<double>(count) / (static_cast<double>(bottom - top) * picture.width);
}

} // namespace

int main(int argc, char** argv) {
    Picture picture;
    if (!readPpm(stdin, &picture)) {
        std::fprintf(stderr, "picstats: standard input is not an 8-bit binary PPM\n");
        return 2;
    }
    if (argc > 2 || (argc == 2 && !crop(argv[1], &picture))) {
        std::fprintf(stderr, "picstats: %s is not a part of at least 8x8 pixels of the picture\n",
                     argc == 2 ? argv[1] : "the argument");
        return 2;
    }
    const int w = picture.width;
    const int h = picture.height;
    const int bottomTop = h - h / 6;
    const int lowerTop = h - h / 2;

    double luminance = 0;
    for (int y = bottomTop; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb p = picture.at(x, y);
            luminance += (0.299 * p.r + 0.587 * p.g + 0.114 * p.b) / 255.0;
        }
    }
    luminance /= static_cast<double>(h - bottomTop) * w;

    double red = 0;
    double green = 0;
    for (int y = lowerTop; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb p = picture.at(x, y);
            if (!isSky(p)) {
                red += p.r;
                green += p.g;
            }
        }
    }

    double mean[3] = {0, 0, 0};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb p = picture.at(x, y);
            mean[0] += p.r;
            mean[1] += p.g;
            mean[2] += p.b;
        }
    }
    for (double& channel : mean) {
        channel /= static_cast<double>(w) * h;
    }

    const int skyRows = h * 3 / 4;
    int fewest = skyRows;
    int most = 0;
    long total = 0;
    for (int x = 0; x < w; ++x) {
        int count = 0;
        for (int y = 0; y < skyRows; ++y) {
            count += isSky(picture.at(x, y)) ? 1 : 0;
        }
        fewest = std::min(fewest, count);
        most = std::max(most, count);
        total += count;
    }

    std::printf(
        "top_sky=%.4f bottom_sky=%.4f bottom_luminance=%.4f lit_white=%.4f lit_magenta=%.4f "
        "whitish=%.4f magentaish=%.4f ground_rg=%.4f skyline=%d horizon=%.2f mean_r=%.1f "
        "mean_g=%.1f mean_b=%.1f lit=%g\n",
        share(picture, 0, h / 8, isSky), share(picture, bottomTop, h, isSky), luminance,
        share(picture, lowerTop, h, [](const Rgb& p) { return near(p, LIT_WHITE, NEAR); }),
        share(picture, lowerTop, h, [](const Rgb& p) { return near(p, LIT_MAGENTA, NEAR); }),
        share(picture, lowerTop, h,
              [](const Rgb& p) { return p.r > 150 && p.g <= p.r && p.g * 10 >= p.r * 9; }),
        share(picture, lowerTop, h,
              [](const Rgb& p) { return p.r > 76 && p.g * 2 < p.r && p.b > p.g; }),
        green > 0 ? red / green : 0.0, most - fewest, static_cast<double>(total) / w - h / 2.0,
        mean[0], mean[1], mean[2],
        share(picture, 0, h, [](const Rgb& p) { return p.r > 0 || p.g > 0 || p.b > 0; }));
    return 0;
}
