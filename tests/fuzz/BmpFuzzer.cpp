// The BMP reader over arbitrary bytes, followed by the resize that the texture upload applies.
#include "FuzzCheck.h"
#include "PictureChecks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image fresh;
    fresh.loadBmpFromMemory(data, size);
    checkReadPicture(fresh, size, 1u << KIND_RGB, true);
    fuzzCheck(fresh.comment.empty(), "a BMP has no comment to give");

    // A refused layout leaves the Image as it was; anything else replaces the picture and keeps
    // the comment.
    Image reused;
    fillMarker(reused);
    reused.loadBmpFromMemory(data, size);
    fuzzCheck(reused.comment == "marker", "the comment stays");
    if (holdsMarkerPicture(reused)) {
        fuzzCheck(isEmptyPicture(fresh), "a refused BMP leaves a fresh Image empty");
    } else {
        fuzzCheck(samePicture(fresh, reused), "a BMP read does not depend on the Image's past");
    }

    checkPowerOfTwoResize(fresh);
    return 0;
}
