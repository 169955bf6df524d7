// Reduction by quarter turns with pi/2 split in three parts (each product with the turn count is
// exact up to a million quarter turns), then minimax polynomials on [-pi/4, pi/4].
#include "terrain/SineCosine.h"

#include <cmath>

namespace {

constexpr double SINE_COSINE_TWO_OVER_PI = 6.36619772367581382433e-01;
constexpr double SINE_COSINE_HALF_PI_1 = 1.57079632673412561417e+00;
constexpr double SINE_COSINE_HALF_PI_2 = 6.07710050630396597660e-11;
constexpr double SINE_COSINE_HALF_PI_3 = 2.02226624871116645580e-21;
// Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51 to an integer.
constexpr double SINE_COSINE_ROUNDER = 6755399441055744.0;
// Farther out, the angle is first brought within one turn by an exact remainder.
constexpr double SINE_COSINE_LARGEST_REDUCED = 1.0e6;
constexpr double SINE_COSINE_TURN = 6.28318530717958647692;

double sinePolynomial(double r) {
    const double z = r * r;
    const double p =
        -1.66666666666666324348e-01 +
        z * (8.33333333332248946124e-03 +
             z * (-1.98412698298579493134e-04 +
                  z * (2.75573137070700676789e-06 +
                       z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10))));
    return r + r * z * p;
}

double cosinePolynomial(double r) {
    const double z = r * r;
    const double p =
        4.16666666666666019037e-02 +
        z * (-1.38888888888741095749e-03 +
             z * (2.48015872894767294178e-05 +
                  z * (-2.75573143513906633035e-07 +
                       z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11))));
    return (1.0 - 0.5 * z) + z * z * p;
}

} // namespace

SineCosine sineCosine(double angle) {
    if (std::fabs(angle) > SINE_COSINE_LARGEST_REDUCED) {
        // fmod is exact, so this too is the same on every build; not a number stays one.
        angle = std::fmod(angle, SINE_COSINE_TURN);
    }
    const double quarter =
        (angle * SINE_COSINE_TWO_OVER_PI + SINE_COSINE_ROUNDER) - SINE_COSINE_ROUNDER;
    const double r = ((angle - quarter * SINE_COSINE_HALF_PI_1) - quarter * SINE_COSINE_HALF_PI_2) -
                     quarter * SINE_COSINE_HALF_PI_3;
    const double sine = sinePolynomial(r);
    const double cosine = cosinePolynomial(r);
    if (!(r == r)) {
        return {r, r};
    }
    // The quarter turns modulo 4; the count is a whole number below a million.
    switch (static_cast<int>(quarter) & 3) {
    case 1:
        return {cosine, -sine};
    case 2:
        return {-sine, -cosine};
    case 3:
        return {-cosine, sine};
    default:
        return {sine, cosine};
    }
}
