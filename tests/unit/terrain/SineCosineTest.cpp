#include "terrain/SineCosine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Every quarter turn, both signs, the flight's largest clock angles and the far range.
TEST(SineCosineTest, AgreesWithTheLibraryToTheLastBitsOfADouble) {
    const double angles[] = {
        0.0, -0.0, 0.5,   0.7853981633974483, 1.5707963267948966, 2.5,      3.14159265, -3.14159265,
        4.8, -1.2, 100.0, 42949.67296,        -42949.67296,       999999.5, 3.0e6,      -7.5e12};
    for (double angle : angles) {
        const SineCosine result = sineCosine(angle);
        // Far out, the reduction is by an exact remainder of a rounded turn: less accurate.
        const double tolerance = std::fabs(angle) > 1.0e6 ? 1e-3 : 1e-15;
        EXPECT_NEAR(result.sine, std::sin(angle), tolerance) << angle;
        EXPECT_NEAR(result.cosine, std::cos(angle), tolerance) << angle;
    }
}

TEST(SineCosineTest, NoAngleGivesNoNumber) {
    for (double angle :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        const SineCosine result = sineCosine(angle);
        EXPECT_TRUE(std::isnan(result.sine) && std::isnan(result.cosine)) << angle;
    }
}

} // namespace
