#include "platform/wayland/SurfaceSize.h"

#include <algorithm>

SurfaceSize configuredSize(int32_t askedWidth, int32_t askedHeight, SurfaceSize current,
                           const OutputMode* fullScreenOn, int32_t windowScale) {
    SurfaceSize size = current;
    size.scale = std::max(1, fullScreenOn ? fullScreenOn->scale : windowScale);
    if (askedWidth > 0 && askedHeight > 0) {
        size.width = askedWidth;
        size.height = askedHeight;
    } else if (fullScreenOn && fullScreenOn->width > 0 && fullScreenOn->height > 0) {
        size.width = fullScreenOn->width / size.scale;
        size.height = fullScreenOn->height / size.scale;
    }
    size.width = std::max(1, size.width);
    size.height = std::max(1, size.height);
    return size;
}
