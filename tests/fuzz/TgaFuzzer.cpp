// The TGA reader over arbitrary bytes, followed by the resize that the texture upload applies.
#include "FuzzCheck.h"
#include "PictureChecks.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image fresh;
    fresh.loadTgaFromMemory(data, size);
    checkReadPicture(fresh, size, 1u << KIND_GREY | 1u << KIND_RGB | 1u << KIND_RGBA, true);

    // The header and the id field are read whole or not at all; the id field up to its first NUL
    // becomes the comment.
    const size_t idEnd = size >= 18 ? 18 + static_cast<size_t>(data[0]) : SIZE_MAX;
    const bool headerRead = idEnd <= size;
    if (headerRead) {
        const char* id = reinterpret_cast<const char*>(data + 18);
        fuzzCheck(fresh.comment == std::string(id, strnlen(id, data[0])),
                  "the comment is the id field");
    }

    // Whatever the Image held before, the picture read is the same; only a header cut short
    // leaves the old comment.
    Image reused;
    fillMarker(reused);
    reused.loadTgaFromMemory(data, size);
    fuzzCheck(samePicture(fresh, reused), "a TGA read does not depend on the Image's past");
    fuzzCheck(reused.comment == (headerRead ? fresh.comment : std::string("marker")),
              "a header cut short keeps the comment");

    checkPowerOfTwoResize(fresh);
    return 0;
}
