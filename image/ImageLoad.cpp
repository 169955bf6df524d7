#include "Image.h"

#include <cstring>

namespace {

// Extensions longer than this are not looked at: the path loads nothing.
constexpr size_t EXTENSION_LONGEST = 31;

bool endsExtension(char c) {
    return c == '.' || c == '\\' || c == '/';
}

bool isOneOf(const char* extension, const char* const* names, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (std::strcmp(extension, names[i]) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

void Image::load(const char* path) {
    if (path == nullptr) {
        return;
    }
    const size_t length = std::strlen(path);
    size_t start = length;
    while (start > 0 && length - start < EXTENSION_LONGEST && !endsExtension(path[start - 1])) {
        --start;
    }
    // A name without '.', '\' or '/' has no extension and so names no format.
    if (start == 0 || !endsExtension(path[start - 1])) {
        return;
    }
    const char* extension = path + start;
    static const char* const pnm[] = {"pnm", "PNM", "ppm", "PPM", "pgm", "PGM", "pbm", "PBM"};
    static const char* const tga[] = {"tga", "TGA"};
    static const char* const bmp[] = {"bmp", "BMP"};
    if (isOneOf(extension, pnm, sizeof pnm / sizeof pnm[0])) {
        loadPnm(path);
    } else if (isOneOf(extension, tga, sizeof tga / sizeof tga[0])) {
        loadTga(path);
    } else if (isOneOf(extension, bmp, sizeof bmp / sizeof bmp[0])) {
        loadBmp(path);
    }
}
