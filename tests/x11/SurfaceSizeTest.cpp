// The size of a Wayland surface after a configure: the compositor's size wins, a full-screen
// surface asked none fills its output, and the buffer follows the output's scale.
#include "platform/wayland/SurfaceSize.h"

#include <gtest/gtest.h>

namespace {

TEST(SurfaceSize, AskedSizeOutputModeOrTheOldSizeAtTheOutputsScale) {
    const OutputMode large{1024, 768, 1};
    const OutputMode scaled{800, 600, 2};
    const OutputMode unknown{0, 0, 0};
    const SurfaceSize window{640, 480, 1};
    struct Case {
        int32_t askedWidth;
        int32_t askedHeight;
        SurfaceSize current;
        const OutputMode* output;
        int32_t windowScale;
        SurfaceSize size;
    } cases[] = {
        {0, 0, {1, 1, 1}, &large, 1, {1024, 768, 1}},
        {0, 0, {1, 1, 1}, &scaled, 1, {400, 300, 2}},
        {400, 300, {1, 1, 1}, &scaled, 3, {400, 300, 2}},
        {0, 300, {1, 1, 1}, &large, 1, {1024, 768, 1}},
        {0, 0, {1, 1, 1}, &unknown, 1, {1, 1, 1}},
        {0, 0, window, nullptr, 1, {640, 480, 1}},
        {0, 0, window, nullptr, 2, {640, 480, 2}},
        {1000, 700, window, nullptr, 0, {1000, 700, 1}},
        {-5, 700, window, nullptr, -1, {640, 480, 1}},
    };
    for (const Case& c : cases) {
        const SurfaceSize size =
            configuredSize(c.askedWidth, c.askedHeight, c.current, c.output, c.windowScale);
        EXPECT_EQ(size.width, c.size.width) << c.askedWidth << "x" << c.askedHeight;
        EXPECT_EQ(size.height, c.size.height) << c.askedWidth << "x" << c.askedHeight;
        EXPECT_EQ(size.scale, c.size.scale) << c.askedWidth << "x" << c.askedHeight;
    }
}

} // namespace
