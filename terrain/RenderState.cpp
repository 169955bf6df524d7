// Culling, depth, mipmapped texturing and one directional light fixed in the world.
#include "terrain/Viewer.h"

#include <cmath>

void Viewer::setRenderState() {
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<float>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    static_cast<float>(GL_LINEAR_MIPMAP_NEAREST));
    // The mode comes first: switched on under the initial mode, colour material would also copy
    // the white current colour into the ambient material and wash the sunlit ground out to white.
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    // A sun from above the +x/+y quadrant; given under the view matrix, it stays put in the world.
    const float k = static_cast<float>(1.0 / std::sqrt(6.0));
    const GLfloat position[4] = {k, k, 2.0f * k, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 0.8f, 0.0f};
    const GLfloat ambient[4] = {0.0f, 0.0f, 0.2f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
}
