#include "RasterBound.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::uint64_t RASTER_PRESENT_FACTOR = 16;
constexpr std::uint64_t RASTER_SLACK_BYTES = 65536;

} // namespace

bool declaredRasterIsPlausible(int width, int height, unsigned bitsPerPixel,
                               std::uint64_t bytesPresent) {
    if (width < 0 || height < 0) {
        return true;
    }
    const std::uint64_t present = bytesPresent;
    const std::uint64_t maxBytes = (UINT64_MAX / 8 - RASTER_SLACK_BYTES) / RASTER_PRESENT_FACTOR;
    if (present > maxBytes) {
        return true;
    }
    const std::uint64_t allowedBits = (present * RASTER_PRESENT_FACTOR + RASTER_SLACK_BYTES) * 8;
    // A raster with a side of 0 holds no pixels, but a reader may still pass over each of its rows.
    const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(width, 1)) *
                                 static_cast<std::uint64_t>(std::max(height, 1));
    return pixels <= allowedBits / bitsPerPixel;
}
