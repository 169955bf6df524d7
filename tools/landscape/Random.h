// A small permuted congruential generator (PCG32, XSH RR): the same numbers on every platform and
// standard library, which the standard distributions do not promise.
#pragma once

#include <cstdint>

struct Pcg32 {
    uint64_t state;
    uint64_t increment;

    Pcg32(uint64_t seed, uint64_t stream);
    uint32_t next();
    // Uniform in [0, 1), from the top 24 bits so that every value is exact in a float or double.
    double nextUnit();
};
