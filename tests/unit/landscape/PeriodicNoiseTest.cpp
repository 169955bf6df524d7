#include "PeriodicNoise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(PeriodicNoise, RepeatsAfterItsPeriodAndJoinsWhereTheLatticeWraps) {
    const int periods[][2] = {{1, 1}, {2, 3}, {8, 4}, {17, 11}};
    for (const auto& p : periods) {
        Pcg32 random(11, 1);
        PeriodicNoise noise(p[0], p[1], random);
        for (double x = -7.3; x < 9.0; x += 0.77) {
            for (double y = -5.1; y < 6.0; y += 0.61) {
                double here = noise.at(x, y);
                EXPECT_NEAR(noise.at(x + p[0], y), here, 1e-9) << p[0] << "x" << p[1];
                EXPECT_NEAR(noise.at(x - 3.0 * p[0], y + 2.0 * p[1]), here, 1e-9);
            }
            // Continuous across the last cell's edge, not merely repeating.
            EXPECT_NEAR(noise.at(p[0] - 1e-7, x), noise.at(1e-7, x), 1e-5) << p[0] << "x" << p[1];
            EXPECT_NEAR(noise.at(x, p[1] - 1e-7), noise.at(x, 1e-7), 1e-5) << p[0] << "x" << p[1];
        }
    }
}

TEST(PeriodicNoise, IsZeroOnTheLatticeAndSmoothWithinUnitRangeBetween) {
    Pcg32 random(99, 4);
    PeriodicNoise noise(6, 6, random);
    const double step = 1e-3;
    double lowest = 0.0, highest = 0.0;
    for (double x = 0.0; x < 6.0; x += 0.0173) {
        for (double y = 0.0; y < 6.0; y += 0.0191) {
            double value = noise.at(x, y);
            ASSERT_LE(std::fabs(value), 1.0);
            lowest = std::fmin(lowest, value);
            highest = std::fmax(highest, value);
            EXPECT_LT(std::fabs(noise.at(x + step, y) - value), 4.0 * step);
            EXPECT_LT(std::fabs(noise.at(x, y + step) - value), 4.0 * step);
        }
        EXPECT_DOUBLE_EQ(noise.at(std::floor(x), 2.0), 0.0);
    }
    EXPECT_LT(lowest, -0.4);
    EXPECT_GT(highest, 0.4);
}

TEST(PeriodicNoise, OddInputsGiveSoundResults) {
    Pcg32 random(1, 1);
    PeriodicNoise clamped(0, -5, random);
    EXPECT_EQ(clamped.periodX, 1);
    EXPECT_EQ(clamped.periodY, 1);
    EXPECT_EQ(clamped.gradients.size(), 2u);

    PeriodicNoise noise(3, 3, random);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& point : {std::make_pair(inf, 0.5), std::make_pair(0.5, -inf),
                              std::make_pair(nan, 0.5), std::make_pair(0.5, nan)})
        EXPECT_EQ(noise.at(point.first, point.second), 0.0);
    // Far from the origin the lattice still wraps instead of overflowing an integer.
    EXPECT_DOUBLE_EQ(noise.at(3e12 + 0.25, -3e12 + 0.5), noise.at(0.25, 0.5));
}
