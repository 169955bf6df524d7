#include "GlTest.h"

#include "terrain/Flight.h"

#include "../unit/terrain/TestMaps.h"

#include <array>
#include <cmath>

namespace {

using Vec4 = std::array<double, 4>;

Vec4 transform(const GLfloat* m, const Vec4& v) {
    Vec4 r{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            r[row] += m[column * 4 + row] * v[column];
        }
    }
    return r;
}

class CameraTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setStartUpValues(viewer);
    }
    Viewer viewer;
};

struct PlacementCase {
    float heading, x, y;
    float mapSample; // negative: no map, flat ground at 0
};

TEST_F(CameraTest, TheEyeLooksAlongTheHeadingFromOneUnitAheadOfTheRaisedOrigin) {
    const PlacementCase cases[] = {
        {0.0f, 10.0f, 20.0f, -1.0f},        {0.0f, 0.0f, 0.0f, 0.6f},
        {1.5707964f, 3.5f, -2.0f, -1.0f},   {1.0f, 588.0f, 299.0f, 0.2f},
        {-2.5f, -40.25f, 130.5f, 0.6f},     {3.1f, 299.0f, 10.0f, -1.0f},
        {7.853982f, 100.0f, 100.0f, 0.35f},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "heading " << c.heading << " at " << c.x << ", " << c.y);
        Viewer placed;
        setStartUpValues(placed);
        if (c.mapSample >= 0.0f) {
            makeGreyMap(placed.terrain.heightMap, 4, 4, [&](int, int) { return c.mapSample; });
        }
        placed.heading = c.heading;
        placed.x = c.x;
        placed.y = c.y;
        placed.setCamera();

        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);

        const double ground = c.mapSample >= 0.0f ? 5.0 * c.mapSample : 0.0;
        const Vec4 origin{c.x, c.y, ground + 0.75, 1.0};
        const double cosH = std::cos(c.heading), sinH = std::sin(c.heading);
        const Vec4 ahead{cosH, sinH, 0, 0}, left{-sinH, cosH, 0, 0}, up{0, 0, 1, 0};
        struct {
            Vec4 offset;
            Vec4 eye;
        } const points[] = {
            {{2 * ahead[0], 2 * ahead[1], 0, 0}, {0, 0, -1, 1}},
            {{0, 0, 0, 0}, {0, 0, 1, 1}},
            {up, {0, 1, 1, 1}},
            {left, {-1, 0, 1, 1}},
            {{ahead[0] + left[0], ahead[1] + left[1], -0.75, 0}, {-1, -0.75, 0, 1}},
        };
        for (const auto& p : points) {
            Vec4 world = origin;
            for (int i = 0; i < 3; ++i) {
                world[i] += p.offset[i];
            }
            const Vec4 eye = transform(m, world);
            for (int i = 0; i < 4; ++i) {
                EXPECT_NEAR(eye[i], p.eye[i], 2e-4) << "component " << i;
            }
        }
    }
}

TEST_F(CameraTest, ThePerspectiveIsSquareWithTheNearPlaneAndAFarPlaneFromTheEyeHeight) {
    struct {
        float eyeHeight, fieldOfView;
        double focal, nearDistance, farDistance;
    } const cases[] = {
        {0.75f, 1.5707964f, 1.0, 0.0086602540, 173.20508},
        {1.0f, 1.5707964f, 1.0, 0.0086602540, 200.0},
        {4.0f, 1.0f, 1.8304877, 0.0086602540, 400.0},
    };
    for (const auto& c : cases) {
        viewer.eyeHeight = c.eyeHeight;
        viewer.fieldOfView = c.fieldOfView;
        viewer.setCamera();
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        EXPECT_NEAR(p[0], c.focal, 1e-5);
        EXPECT_NEAR(p[5], c.focal, 1e-5);
        EXPECT_FLOAT_EQ(p[11], -1.0f);
        EXPECT_FLOAT_EQ(p[15], 0.0f);
        EXPECT_NEAR(p[14] / (p[10] - 1.0), c.nearDistance, c.nearDistance * 1e-4);
        EXPECT_NEAR(p[14] / (p[10] + 1.0), c.farDistance, c.farDistance * 2e-3);
    }
}

} // namespace
