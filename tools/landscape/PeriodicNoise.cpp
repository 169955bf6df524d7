#include "PeriodicNoise.h"

#include <cmath>

namespace {

// Quintic fade: its first and second derivatives vanish at the cell corners, so the surface has no
// creases along cell edges (which the renderer's per-vertex normals would show as lines).
double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

int wrapIndex(double cell, int period) {
    double wrapped = std::fmod(cell, static_cast<double>(period));
    if (wrapped < 0.0)
        wrapped += period;
    int index = static_cast<int>(wrapped);
    return index >= period ? 0 : index;
}

} // namespace

PeriodicNoise::PeriodicNoise(int periodX, int periodY, Pcg32& random)
    : periodX(periodX < 1 ? 1 : periodX), periodY(periodY < 1 ? 1 : periodY) {
    size_t count = static_cast<size_t>(this->periodX) * static_cast<size_t>(this->periodY);
    gradients.resize(count * 2);
    for (size_t i = 0; i < count; ++i) {
        // Rejection from the unit disc gives evenly spread directions using exact arithmetic
        // only, unlike an angle through sin and cos, whose last bits vary between libraries.
        double gx, gy, lengthSquared;
        do {
            gx = random.nextUnit() * 2.0 - 1.0;
            gy = random.nextUnit() * 2.0 - 1.0;
            lengthSquared = gx * gx + gy * gy;
        } while (lengthSquared > 1.0 || lengthSquared < 1e-4);
        double length = std::sqrt(lengthSquared);
        gradients[i * 2] = gx / length;
        gradients[i * 2 + 1] = gy / length;
    }
}

double PeriodicNoise::at(double x, double y) const {
    if (!std::isfinite(x) || !std::isfinite(y))
        return 0.0;
    double cellX = std::floor(x);
    double cellY = std::floor(y);
    double fx = x - cellX;
    double fy = y - cellY;
    int x0 = wrapIndex(cellX, periodX);
    int y0 = wrapIndex(cellY, periodY);
    int x1 = x0 + 1 == periodX ? 0 : x0 + 1;
    int y1 = y0 + 1 == periodY ? 0 : y0 + 1;

    auto corner = [&](int ix, int iy, double dx, double dy) {
        size_t index = (static_cast<size_t>(iy) * static_cast<size_t>(periodX) + ix) * 2;
        return gradients[index] * dx + gradients[index + 1] * dy;
    };
    double n00 = corner(x0, y0, fx, fy);
    double n10 = corner(x1, y0, fx - 1.0, fy);
    double n01 = corner(x0, y1, fx, fy - 1.0);
    double n11 = corner(x1, y1, fx - 1.0, fy - 1.0);
    double u = fade(fx);
    double v = fade(fy);
    double bottom = n00 + (n10 - n00) * u;
    double top = n01 + (n11 - n01) * u;
    // Unit gradients keep the raw value within +-sqrt(1/2); scale it up to +-1.
    double value = (bottom + (top - bottom) * v) * 1.4142135623730951;
    return value < -1.0 ? -1.0 : (value > 1.0 ? 1.0 : value);
}
