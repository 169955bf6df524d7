#include "Random.h"

Pcg32::Pcg32(uint64_t seed, uint64_t stream) : state(0), increment((stream << 1u) | 1u) {
    next();
    state += seed;
    next();
}

uint32_t Pcg32::next() {
    uint64_t old = state;
    state = old * 6364136223846793005ULL + increment;
    uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rotation = static_cast<uint32_t>(old >> 59u);
    return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
}

double Pcg32::nextUnit() {
    return static_cast<double>(next() >> 8u) * (1.0 / 16777216.0);
}
