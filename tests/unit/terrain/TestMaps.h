// Height maps built in memory for the terrain tests.
#pragma once

#include "image/Image.h"

#include <functional>

// Fills a grey map whose sample at (column, row) is value(column, row).
inline void makeGreyMap(Image& map, int width, int height,
                        const std::function<float(int, int)>& value) {
    map.allocate(width, height, KIND_GREY);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const float sample[4] = {value(column, row), 0.0f, 0.0f, 0.0f};
            map.setPixel(sample, column, row);
        }
    }
}
