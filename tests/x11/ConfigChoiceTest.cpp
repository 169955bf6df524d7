// The EGL config the Wayland window draws with: 8-bit opaque colour when EGL offers it, whatever
// it lists first.
#include "platform/wayland/ConfigChoice.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(ConfigChoice, EightBitOpaqueColourFirstThenAnyOpaqueThenTheFirst) {
    const ConfigColour deep{10, 10, 10, 0}, deepAlpha{10, 10, 10, 2}, rgb{8, 8, 8, 0};
    const ConfigColour rgba{8, 8, 8, 8}, narrow{5, 6, 5, 0};
    const std::pair<std::vector<ConfigColour>, int> cases[] = {
        {{deep, deepAlpha, rgb, rgba}, 2}, // as Mesa lists them where 10-bit buffers are taken
        {{rgba, rgb}, 1},
        {{{8, 0, 0, 0}, {8, 6, 8, 0}, {8, 8, 5, 0}, {10, 8, 8, 0}, rgb}, 4},
        {{rgba, deepAlpha, narrow, deep}, 2},
        {{rgba, deepAlpha}, 0},
        {{}, -1},
    };
    for (const auto& [configs, chosen] : cases) {
        EXPECT_EQ(chooseConfigColour(configs.data(), static_cast<int>(configs.size())), chosen)
            << configs.size() << " configs";
    }
}

} // namespace
