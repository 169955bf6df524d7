// The fan of ray strips, drawn as one triangle strip between each pair of neighbouring rays.
#include "terrain/Viewer.h"

#include <algorithm>
#include <utility>

static_assert(sizeof(Vec3) == 3 * sizeof(float), "GL reads a Vec3 as three floats");

void Viewer::drawFan() {
    const float first = heading - fieldOfView * 0.5f;
    RayStrip newer = buildRayStrip(first);
    RayStrip older;
    for (int i = 1; i <= raySegments; ++i) {
        // The move frees the previous older ray first, so at most two rays are alive at once.
        older = std::move(newer);
        const float fraction = static_cast<float>(i) / static_cast<float>(raySegments);
        newer = buildRayStrip(first + fraction * fieldOfView);
        drawStripPair(older, newer);
    }
}

void Viewer::drawStripPair(const RayStrip& older, const RayStrip& newer) {
    // The shorter strip bounds the count, so a ray that came out short is never read past its end.
    const size_t count = std::min(older.size(), newer.size());
    glBegin(GL_TRIANGLE_STRIP);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (size_t j = 0; j < count; ++j) {
        for (const StripVertex* vertex : {&newer[j], &older[j]}) {
            glTexCoord2fv(vertex->texCoord);
            glNormal3fv(&vertex->normal.x);
            glVertex3fv(&vertex->position.x);
        }
    }
    glEnd();
}
