#include "Random.h"

#include <gtest/gtest.h>

TEST(Pcg32, MatchesThePublishedReferenceSequence) {
    // The first outputs of the reference generator seeded with state 42 on stream 54.
    Pcg32 random(42, 54);
    for (uint32_t value : {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu})
        EXPECT_EQ(random.next(), value);
}

TEST(Pcg32, UnitValuesStayInTheHalfOpenIntervalAndSpreadEvenly) {
    Pcg32 random(7, 3);
    int buckets[10] = {};
    for (int i = 0; i < 100000; ++i) {
        double value = random.nextUnit();
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        ++buckets[static_cast<int>(value * 10.0)];
    }
    for (int count : buckets)
        EXPECT_NEAR(count, 10000, 1000);
}
