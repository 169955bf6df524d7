#include "RasterBound.h"

#include <algorithm>
#include <cstdint>

namespace {

const std::uint64_t kPresentFactor = 16;
const std::uint64_t kSlackBytes = 65536;

} // namespace

bool declaredRasterIsPlausible(int width, int height, unsigned bitsPerPixel, size_t bytesPresent) {
    if (width < 0 || height < 0) {
        return true;
    }
    const std::uint64_t present = bytesPresent;
    const std::uint64_t maxBytes = (UINT64_MAX / 8 - kSlackBytes) / kPresentFactor;
    if (present > maxBytes) {
        return true;
    }
    const std::uint64_t allowedBits = (present * kPresentFactor + kSlackBytes) * 8;
    // A raster with a side of 0 holds no pixels, but a reader may still pass over each of its rows.
    const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(width, 1)) *
                                 static_cast<std::uint64_t>(std::max(height, 1));
    return pixels <= allowedBits / bitsPerPixel;
}
