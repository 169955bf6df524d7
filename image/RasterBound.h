// Keeps a tiny file from making a reader allocate a huge picture: a declared raster is believed
// only when the bytes present could plausibly hold it.
#pragma once

#include <cstdint>

// The declared raster may need at most 16 times the bytes present plus 64 KiB, so that short and
// truncated files of ordinary size still load while memory stays bounded by the file's size.
// Negative sides always pass: the allocation refuses them. A side of 0 counts as 1, since a reader
// may still pass over every row of a raster without pixels. bitsPerPixel is above 0.
bool declaredRasterIsPlausible(int width, int height, unsigned bitsPerPixel,
                               std::uint64_t bytesPresent);
