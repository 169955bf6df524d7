// The start-up settings and the circular flight, and the frame that they give.
#include "terrain/Flight.h"

#include "terrain/SineCosine.h"

#include <cmath>

namespace {

constexpr double RADIANS_PER_MILLISECOND = 0.00001;
constexpr float CIRCLE_CENTRE_X = 299.0f;
constexpr float CIRCLE_CENTRE_Y = 299.0f;
constexpr float CIRCLE_RADIUS = 289.0f;
// A quarter turn to ten digits: the direction of travel on the circle.
constexpr double HEADING_OFFSET = 1.570796327;

} // namespace

void setStartUpValues(Viewer& viewer) {
    viewer.x = 0.0f;
    viewer.y = 0.0f;
    viewer.heading = 0.0f;
    viewer.fieldOfView = 1.5707964f;
    viewer.eyeHeight = 0.75f;
    viewer.samplesPerRay = 150;
    viewer.raySegments = 30;
    const float step = static_cast<float>(std::sqrt(0.75) * 0.01);
    viewer.nearDistance = step;
    viewer.spacingStep = step;
}

void placeOnCircle(Viewer& viewer, uint32_t milliseconds) {
    const double angle = static_cast<double>(milliseconds) * RADIANS_PER_MILLISECOND;
    const SineCosine place = sineCosine(angle);
    viewer.x = static_cast<float>(place.cosine * CIRCLE_RADIUS + CIRCLE_CENTRE_X);
    viewer.y = static_cast<float>(place.sine * CIRCLE_RADIUS + CIRCLE_CENTRE_Y);
    viewer.heading = static_cast<float>(angle + HEADING_OFFSET);
}

void drawFrame(Viewer& viewer, uint32_t milliseconds) {
    glClearColor(FLIGHT_CLEAR_RED, FLIGHT_CLEAR_GREEN, FLIGHT_CLEAR_BLUE, FLIGHT_CLEAR_ALPHA);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    placeOnCircle(viewer, milliseconds);
    viewer.setCamera();
    viewer.setRenderState();
    viewer.drawFan();
}
