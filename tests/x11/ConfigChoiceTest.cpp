// The EGL config the Wayland window draws with: 8-bit opaque colour when EGL offers it, whatever
// it lists first.
#include "platform/wayland/ConfigChoice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ConfigChoice, EightBitOpaqueColourFirstThenAnyOpaqueThenTheFirst) {
    const ConfigColour deep{10, 10, 10, 0};
    const ConfigColour deepAlpha{10, 10, 10, 2};
    const ConfigColour rgb{8, 8, 8, 0};
    const ConfigColour rgba{8, 8, 8, 8};
    const ConfigColour narrow{5, 6, 5, 0};
    const ConfigColour redOnly{8, 0, 0, 0};
    const ConfigColour greenless{8, 6, 8, 0};
    const ConfigColour blueless{8, 8, 5, 0};
    const ConfigColour deepRed{10, 8, 8, 0};
    struct Case {
        std::vector<ConfigColour> configs;
        int chosen;
    } cases[] = {
        // As Mesa lists them on a compositor that takes 10-bit buffers.
        {{deep, deep, deepAlpha, rgb, rgba}, 3},
        {{rgba, rgb}, 1},
        {{narrow, rgb}, 1},
        {{redOnly, greenless, blueless, deepRed, rgb}, 4},
        {{rgba, deepAlpha, narrow, deep}, 2},
        {{rgba, deepAlpha}, 0},
        {{deep}, 0},
        {{}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseConfigColour(c.configs.data(), static_cast<int>(c.configs.size())),
                  c.chosen)
            << c.configs.size() << " configs";
    }
}

} // namespace
