// The screensaver's flight: the viewer's start-up settings, its circle over the ground, and one
// frame drawn for a clock value. The program's frame loop and the snapshot tool share it.
#pragma once

#include "terrain/Viewer.h"

#include <cstdint>

// The sky: every frame starts cleared to this colour.
constexpr float FLIGHT_CLEAR_RED = 0.5f;
constexpr float FLIGHT_CLEAR_GREEN = 0.5f;
constexpr float FLIGHT_CLEAR_BLUE = 1.0f;
constexpr float FLIGHT_CLEAR_ALPHA = 1.0f;

// Position and heading zero, a 90-degree fan of 31 rays with 150 samples each, eye 0.75 up.
void setStartUpValues(Viewer& viewer);

// Puts the viewer on its circle of radius 289 about (299, 299), heading along its path, from the
// millisecond clock; a wrapped clock starts the circle again.
void placeOnCircle(Viewer& viewer, uint32_t milliseconds);

// Clears colour and depth, places the viewer for the clock value, then sets the camera and render
// state and draws the fan. Needs a current GL context and the terrain texture bound; no swap.
void drawFrame(Viewer& viewer, uint32_t milliseconds);
