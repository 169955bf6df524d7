// Image::load over a real file: the first byte picks the file name and a read window, the rest is
// the file. Reading through the extension dispatch and the file, and through the small window,
// must give what the in-memory reader gives.
#include "FuzzCheck.h"
#include "PictureChecks.h"
#include "image/ByteStream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

enum Reader { NONE, TGA, BMP, PNM };

struct Name {
    const char* name;
    Reader reader;
};

// Extensions are matched exactly, case included, and only the last one counts.
const Name NAMES[] = {
    {"f.tga", TGA},     {"f.TGA", TGA},
    {"f.bmp", BMP},     {"f.BMP", BMP},
    {"f.pnm", PNM},     {"f.PPM", PNM},
    {"f.pgm", PNM},     {"f.PBM", PNM},
    {"f.bmp.tga", TGA}, {"f.Tga", NONE},
    {"f.png", NONE},    {"f", NONE},
    {"f.tga.", NONE},   {"f.tgatgatgatgatgatgatgatgatgatgatga", NONE},
};
const size_t NAME_COUNT = sizeof NAMES / sizeof NAMES[0];

std::filesystem::path scratch;

void removeScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// The same reader over the open file through a small window, so that the window's edges fall
// inside headers, rows and pixels.
void readThroughWindow(Image& image, Reader reader, const std::string& path, size_t window) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    fuzzCheck(file != nullptr, "the file can be opened");
    ByteStream stream(file, window);
    switch (reader) {
    case TGA:
        image.readTga(stream);
        break;
    case BMP:
        image.readBmp(stream);
        break;
    case PNM:
        image.readPnm(stream);
        break;
    case NONE:
        break;
    }
    std::fclose(file);
}

void readFromMemory(Image& image, Reader reader, const uint8_t* data, size_t size) {
    switch (reader) {
    case TGA:
        image.loadTgaFromMemory(data, size);
        break;
    case BMP:
        image.loadBmpFromMemory(data, size);
        break;
    case PNM:
        image.loadPnmFromMemory(data, size);
        break;
    case NONE:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quellmoor-fuzz-XXXXXX").string();
    fuzzCheck(mkdtemp(pattern.data()) != nullptr, "a scratch directory can be made");
    scratch = pattern;
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const Name& name = NAMES[data[0] % NAME_COUNT];
    const uint8_t* file = data + 1;
    const size_t fileSize = size - 1;
    const std::string path = (scratch / name.name).string();
    fuzzCheck(writeFile(path, file, fileSize), "the file can be written");

    Image viaFile;
    fillMarker(viaFile);
    viaFile.load(path.c_str());
    Image viaMemory;
    fillMarker(viaMemory);
    readFromMemory(viaMemory, name.reader, file, fileSize);
    fuzzCheck(samePicture(viaFile, viaMemory) && viaFile.comment == viaMemory.comment,
              "a file reads as its bytes do in memory");
    // The size of the window comes from the name byte too, so that every name meets every size.
    Image viaWindow;
    fillMarker(viaWindow);
    readThroughWindow(viaWindow, name.reader, path, 2 + (data[0] / NAME_COUNT) % 62);
    fuzzCheck(samePicture(viaWindow, viaMemory) && viaWindow.comment == viaMemory.comment,
              "a file read through any window reads as its bytes do in memory");
    if (name.reader == NONE) {
        fuzzCheck(holdsMarkerPicture(viaFile) && viaFile.comment == "marker",
                  "a name without a known extension reads nothing");
    }
    std::remove(path.c_str());
    return 0;
}
