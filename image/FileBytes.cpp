#include "FileBytes.h"

#include <cstdio>

bool readWholeFile(const char* path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    if (path == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    const size_t chunk = 1 << 16;
    size_t got = 0;
    do {
        size_t used = bytes.size();
        bytes.resize(used + chunk);
        got = std::fread(bytes.data() + used, 1, chunk, file);
        bytes.resize(used + got);
    } while (got == chunk);
    // A directory or a device error opens fine on some systems but reads nothing useful.
    bool readable = std::ferror(file) == 0;
    std::fclose(file);
    return readable;
}
