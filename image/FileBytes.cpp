#include "FileBytes.h"

#include <cstdio>

namespace {

const size_t kChunk = 1 << 16;
// Larger sizes are not trusted for one allocation up front; such files still come in chunk by
// chunk, as any file without a size does.
const long kLargestHint = 1L << 30;

// The file's size when it can be told, or 0.
size_t sizeHint(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        // The position is lost: no hint, and the reading starts again from the beginning.
        std::rewind(file);
        return 0;
    }
    return size > 0 && size <= kLargestHint ? static_cast<size_t>(size) : 0;
}

} // namespace

bool readWholeFile(const char* path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    if (path == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    // A known size is read in one go into one allocation, asking one byte more so that a file of
    // exactly that size ends with a short read; anything past it still comes chunk by chunk.
    const size_t hint = sizeHint(file);
    size_t chunk = hint > 0 ? hint + 1 : kChunk;
    for (;;) {
        const size_t used = bytes.size();
        bytes.resize(used + chunk);
        const size_t got = std::fread(bytes.data() + used, 1, chunk, file);
        bytes.resize(used + got);
        if (got < chunk) {
            break;
        }
        chunk = kChunk;
    }
    // A directory or a device error opens fine on some systems but reads nothing useful.
    bool readable = std::ferror(file) == 0;
    std::fclose(file);
    return readable;
}
