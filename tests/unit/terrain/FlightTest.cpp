#include "terrain/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(Flight, StartUpValues) {
    Viewer viewer;
    viewer.x = 5.0f;
    viewer.y = 6.0f;
    viewer.heading = 7.0f;
    setStartUpValues(viewer);
    EXPECT_EQ(viewer.x, 0.0f);
    EXPECT_EQ(viewer.y, 0.0f);
    EXPECT_EQ(viewer.heading, 0.0f);
    EXPECT_EQ(bitsOf(viewer.fieldOfView), 0x3FC90FDBu);
    EXPECT_EQ(viewer.eyeHeight, 0.75f);
    EXPECT_EQ(viewer.samplesPerRay, 150);
    EXPECT_EQ(viewer.raySegments, 30);
    EXPECT_EQ(bitsOf(viewer.nearDistance), 0x3C0DE3BDu);
    EXPECT_EQ(bitsOf(viewer.spacingStep), 0x3C0DE3BDu);
}

TEST(Flight, CirclesTheCentreAheadOfItsAngle) {
    struct {
        uint32_t milliseconds;
        float x, y;
        double angle;
    } const cases[] = {
        {0u, 588.0f, 299.0f, 0.0},
        {157080u, 299.0f, 588.0f, 1.5708},
        {314159u, 10.0f, 299.0f, 3.14159},
        {471239u, 299.0f, 10.0f, 4.71239},
        {628318u, 588.0f, 299.0f, 6.28318},
        // The clock's last value before it wraps back to the start of the circle.
        {4294967295u, 299.0f + 289.0f * static_cast<float>(std::cos(42949.67295)),
         299.0f + 289.0f * static_cast<float>(std::sin(42949.67295)), 42949.67295},
    };
    for (const auto& c : cases) {
        Viewer viewer;
        setStartUpValues(viewer);
        placeOnCircle(viewer, c.milliseconds);
        EXPECT_NEAR(viewer.x, c.x, 2e-3f) << c.milliseconds;
        EXPECT_NEAR(viewer.y, c.y, 2e-3f) << c.milliseconds;
        EXPECT_NEAR(std::hypot(viewer.x - 299.0, viewer.y - 299.0), 289.0, 1e-3);
        EXPECT_NEAR(viewer.heading, c.angle + 1.570796327, 4e-3) << c.milliseconds;
    }
}

TEST(Flight, HeadingAtTheStartIsTheTenDigitQuarterTurn) {
    Viewer viewer;
    placeOnCircle(viewer, 0u);
    EXPECT_EQ(viewer.heading, static_cast<float>(1.570796327));
    EXPECT_EQ(viewer.x, 588.0f);
    EXPECT_EQ(viewer.y, 299.0f);
}

} // namespace
