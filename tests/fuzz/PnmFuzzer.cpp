// The PNM reader over arbitrary bytes, followed by the resize that the texture upload applies.
#include "FuzzCheck.h"
#include "PictureChecks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image fresh;
    fresh.loadPnmFromMemory(data, size);
    // Samples are divided by a maximum that is taken as it stands, so they have no fixed range.
    checkReadPicture(fresh, size, 1u << KIND_GREY | 1u << KIND_RGB, false);

    // Comments are appended to what the Image held; a refused header leaves the picture alone and
    // anything else replaces it.
    Image reused;
    fillMarker(reused);
    reused.loadPnmFromMemory(data, size);
    fuzzCheck(reused.comment == "marker" + fresh.comment, "comments are appended");
    if (holdsMarkerPicture(reused)) {
        fuzzCheck(isEmptyPicture(fresh), "a refused PNM leaves a fresh Image empty");
    } else {
        fuzzCheck(samePicture(fresh, reused), "a PNM read does not depend on the Image's past");
    }

    checkPowerOfTwoResize(fresh);
    return 0;
}
