// PNG output through libpng, with its errors turned into a result instead of a jump.
#include "PngWriter.h"

#include <png.h>

#include <cstdio>

namespace {

// libpng reports errors by longjmp; only plain data lives across the setjmp below.
bool writeRows(std::FILE* file, int width, int height, const std::vector<unsigned char>& rgba,
               std::string* error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        *error = "out of memory for the PNG writer";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = "the PNG writer failed";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The frame is opaque: its alpha bytes are dropped.
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int row = 0; row < height; ++row) {
        png_write_row(png, &rgba[static_cast<size_t>(row) * static_cast<size_t>(width) * 4]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool writePng(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgba, std::string* error) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        *error = "no picture to write";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot open " + path + " for writing";
        return false;
    }
    bool written = writeRows(file, width, height, rgba, error);
    if (std::fclose(file) != 0 && written) {
        *error = "cannot finish writing " + path;
        written = false;
    }
    if (!written) {
        std::remove(path.c_str());
    }
    return written;
}
