#include "Image.h"

#include <cstring>
#include <iterator>

namespace {

// Extensions longer than this are not looked at: the path loads nothing.
constexpr size_t EXTENSION_LONGEST = 31;
// Matched whole and with exact case; other spellings read nothing.
constexpr const char* EXTENSIONS_PNM[] = {"pnm", "PNM", "ppm", "PPM", "pgm", "PGM", "pbm", "PBM"};
constexpr const char* EXTENSIONS_TGA[] = {"tga", "TGA"};
constexpr const char* EXTENSIONS_BMP[] = {"bmp", "BMP"};

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
    if (isOneOf(extension, EXTENSIONS_PNM, std::size(EXTENSIONS_PNM))) {
        loadPnm(path);
    } else if (isOneOf(extension, EXTENSIONS_TGA, std::size(EXTENSIONS_TGA))) {
        loadTga(path);
    } else if (isOneOf(extension, EXTENSIONS_BMP, std::size(EXTENSIONS_BMP))) {
        loadBmp(path);
    }
}
