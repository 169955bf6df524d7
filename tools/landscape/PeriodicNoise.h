// Gradient noise on a lattice that wraps after a whole number of cells in each direction, so that
// any field built from it tiles the plane without a seam.
#pragma once

#include "Random.h"

#include <vector>

struct PeriodicNoise {
    int periodX;
    int periodY;
    std::vector<double> gradients; // x and y of one unit vector per lattice point, row by row

    // Periods below 1 are taken as 1. The gradients are drawn from random in a fixed order.
    PeriodicNoise(int periodX, int periodY, Pcg32& random);

    // x and y are in lattice cells; the result lies in [-1, 1] and is 0 at every lattice point.
    // A coordinate that is not finite gives 0.
    double at(double x, double y) const;
};
