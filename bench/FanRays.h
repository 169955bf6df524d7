// The CPU side of a frame: the fan's rays built as drawFan builds them, without drawing them.
#pragma once

#include "terrain/Viewer.h"

#include <cstdint>
#include <string>

// Frames are measured at this many places spread evenly over one turn of the flight.
constexpr int FLIGHT_PLACES = 64;

// The clock value that puts the viewer on the given place of the flight.
uint32_t flightClock(int place);

// Gives the viewer its start-up settings and the height map in appDir, without any GL; false when
// the map cannot be read.
bool prepareViewer(Viewer& viewer, const std::string& appDir);

// Vertices built per frame with the viewer's settings.
int fanVertices(const Viewer& viewer);

// Builds every ray of the fan for the viewer's place, in drawFan's order and with at most two
// strips alive; returns the height of the last vertex so that the work cannot be dropped.
float buildFanRays(Viewer& viewer);
