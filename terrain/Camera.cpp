// Projection and view: a level eye looking along the heading from just above the ground.
#include "terrain/Viewer.h"

#include <cmath>

namespace {

// Radians to degrees for the GL calls, 180 / 3.141592654.
constexpr double DEGREES_PER_RADIAN = 57.29577950560105;

} // namespace

void Viewer::setCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The far plane grows with the eye height; the aspect stays 1 whatever the window's shape.
    const double farDistance = std::sqrt(static_cast<double>(eyeHeight)) * 200.0;
    gluPerspective(fieldOfView * DEGREES_PER_RADIAN, 1.0, nearDistance, farDistance);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Leaves the fan origin one unit behind the eye, so the fan's side edges stay out of view.
    glTranslatef(0.0f, 0.0f, 1.0f);
    // From z-up world axes to GL's eye axes: +x ahead, +z up, +y to the left.
    glScalef(1.0f, 1.0f, -1.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glScalef(1.0f, 1.0f, -1.0f);
    glRotatef(static_cast<float>(heading * -DEGREES_PER_RADIAN), 0.0f, 0.0f, 1.0f);
    const float groundHeight = terrain.heightAt(x, y);
    glTranslatef(-x, -y, -groundHeight - eyeHeight);
}
