// Sine and cosine that come out the same, bit for bit, from every build: only additions,
// subtractions and multiplications of doubles, rounded as written (the C libraries of Linux and
// of mingw-w64 give different last bits, so the ray directions and the flight would differ).
#pragma once

struct SineCosine {
    double sine;
    double cosine;
};

// Within a few units in the last place of a double for |angle| up to about a million radians,
// and still the same on every build beyond; not a number for an infinite or NaN angle.
SineCosine sineCosine(double angle);
