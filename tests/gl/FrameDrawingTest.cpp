#include "GlTest.h"

#include "image/TextureUpload.h"
#include "terrain/Flight.h"

#include "../unit/terrain/TestMaps.h"

#include <cmath>
#include <vector>

namespace {

struct FeedbackVertex {
    double x, y; // world units relative to the fan origin
};

struct Triangle {
    FeedbackVertex v[3];
};

class FrameDrawingTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setStartUpValues(viewer);
        viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
    }

    // Draws the fan in feedback mode, seen from straight above with the whole fan inside the view,
    // and returns its triangles; a polygon other than a triangle fails the test.
    std::vector<Triangle> captureFan() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(viewer.x - HALF_SIZE, viewer.x + HALF_SIZE, viewer.y - HALF_SIZE,
                viewer.y + HALF_SIZE, -20.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        std::vector<GLfloat> buffer(200000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        viewer.drawFan();
        const GLint used = glRenderMode(GL_RENDER);
        EXPECT_GE(used, 0) << "feedback buffer overflowed";

        std::vector<Triangle> triangles;
        for (GLint i = 0; i + 1 < used;) {
            EXPECT_EQ(buffer[i], static_cast<GLfloat>(GL_POLYGON_TOKEN));
            EXPECT_EQ(buffer[i + 1], 3.0f);
            if (buffer[i] != static_cast<GLfloat>(GL_POLYGON_TOKEN) || buffer[i + 1] != 3.0f) {
                return {};
            }
            Triangle t;
            for (int k = 0; k < 3; ++k) {
                const GLfloat* w = &buffer[i + 2 + 3 * k];
                t.v[k].x = (w[0] / WIDTH * 2.0 - 1.0) * HALF_SIZE;
                t.v[k].y = (w[1] / HEIGHT * 2.0 - 1.0) * HALF_SIZE;
            }
            triangles.push_back(t);
            i += 11;
        }
        return triangles;
    }

    // The ray whose heading is nearest to the direction of the point, or -1 when none is near.
    int rayOf(const FeedbackVertex& v) const {
        const double first = viewer.heading - viewer.fieldOfView / 2;
        const double step = viewer.fieldOfView / viewer.raySegments;
        const double offset = std::remainder(std::atan2(v.y, v.x) - first, 2 * PI);
        const double k = std::round(offset / step);
        return std::abs(offset - k * step) < 0.1 * step ? static_cast<int>(k) : -1;
    }

    static constexpr double HALF_SIZE = 110.0;
    static constexpr double PI = 3.141592653589793;
    Viewer viewer;
};

TEST_F(FrameDrawingTest, TheFanIsThirtyCounterClockwiseStripsEachStartingOnItsLeftRay) {
    makeGreyMap(viewer.terrain.heightMap, 32, 32, [](int column, int row) {
        return 0.5f + 0.4f * std::sin(column * 0.5f) * std::cos(row * 0.7f);
    });
    const float headings[] = {0.0f, 0.7f, 2.9f, -1.9f};
    for (float heading : headings) {
        SCOPED_TRACE(testing::Message() << "heading " << heading);
        viewer.heading = heading;
        viewer.x = 0.5f;
        viewer.y = 0.25f;
        const std::vector<Triangle> triangles = captureFan();
        ASSERT_EQ(triangles.size(), 30u * 298u);
        for (int strip = 0; strip < 30; ++strip) {
            const Triangle* first = &triangles[static_cast<size_t>(strip) * 298];
            EXPECT_EQ(rayOf(first->v[0]), strip + 1) << "strip " << strip;
            EXPECT_EQ(rayOf(first->v[1]), strip) << "strip " << strip;
            EXPECT_NEAR(std::hypot(first->v[0].x, first->v[0].y), 0.017320508, 1e-3);
            int offRay = 0, clockwise = 0;
            for (int t = 0; t < 298; ++t) {
                const Triangle& tri = first[t];
                for (const FeedbackVertex& v : tri.v) {
                    const int ray = rayOf(v);
                    offRay += ray != strip && ray != strip + 1;
                }
                const double area = (tri.v[1].x - tri.v[0].x) * (tri.v[2].y - tri.v[0].y) -
                                    (tri.v[2].x - tri.v[0].x) * (tri.v[1].y - tri.v[0].y);
                clockwise += area <= 0.0;
            }
            EXPECT_EQ(offRay, 0) << "strip " << strip;
            EXPECT_EQ(clockwise, 0) << "strip " << strip;
        }
    }
}

TEST_F(FrameDrawingTest, FewerRaysAndSamplesGiveFewerTriangles) {
    struct {
        int raySegments, samplesPerRay;
        size_t triangles;
    } const cases[] = {
        {1, 150, 298}, {30, 2, 60}, {30, 1, 0}, {30, 0, 0}, {0, 150, 0}, {-3, 150, 0}, {5, 10, 90},
    };
    for (const auto& c : cases) {
        viewer.raySegments = c.raySegments;
        viewer.samplesPerRay = c.samplesPerRay;
        EXPECT_EQ(captureFan().size(), c.triangles)
            << c.raySegments << " segments, " << c.samplesPerRay << " samples";
    }
}

TEST_F(FrameDrawingTest, AStripPairDrawsNoFurtherThanItsShorterRay) {
    const RayStrip longer = viewer.buildRayStrip(0.0f);
    viewer.samplesPerRay = 40;
    const RayStrip shorter = viewer.buildRayStrip(0.3f);
    viewer.samplesPerRay = 150;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-HALF_SIZE, HALF_SIZE, -HALF_SIZE, HALF_SIZE, -20.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> buffer(20000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    viewer.drawStripPair(longer, shorter);
    viewer.drawStripPair(shorter, longer);
    EXPECT_EQ(glRenderMode(GL_RENDER), 2 * 78 * 11);
}

class DrawnFrameTest : public GlTest {
  protected:
    std::vector<unsigned char> drawFrameOverFlatGround(uint32_t milliseconds) {
        Viewer viewer;
        setStartUpValues(viewer);
        viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
        Image white;
        white.allocate(2, 2, KIND_RGB);
        const float one[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) {
                white.setPixel(one, x, y);
            }
        }
        uploadTexture(white, &viewer.terrain.textureId, 1);
        drawFrame(viewer, milliseconds);
        std::vector<unsigned char> rgba;
        context.readPixels(rgba);
        return rgba;
    }

    // Pixels of the rows [top, bottom) that differ from the colour by more than the tolerance.
    static int pixelsAway(const std::vector<unsigned char>& rgba, int top, int bottom,
                          const double colour[3], double tolerance) {
        int away = 0;
        for (int row = top; row < bottom; ++row) {
            for (int column = 0; column < WIDTH; ++column) {
                const unsigned char* p = &rgba[static_cast<size_t>((row * WIDTH + column) * 4)];
                for (int c = 0; c < 3; ++c) {
                    if (std::abs(p[c] - colour[c] * 255.0) > tolerance) {
                        ++away;
                        break;
                    }
                }
            }
        }
        return away;
    }
};

TEST_F(DrawnFrameTest, FlatWhiteGroundShowsTheLitColourUnderTheSky) {
    const double lit[3] = {0.8564966, 0.8564966, 0.7331973};
    const double sky[3] = {0.5, 0.5, 1.0};
    for (uint32_t milliseconds : {0u, 123456u, 400000u, 4294967295u}) {
        const std::vector<unsigned char> rgba = drawFrameOverFlatGround(milliseconds);
        ASSERT_EQ(rgba.size(), static_cast<size_t>(WIDTH * HEIGHT * 4));
        EXPECT_EQ(pixelsAway(rgba, 0, 200, sky, 1.0), 0) << milliseconds;
        EXPECT_EQ(pixelsAway(rgba, 260, HEIGHT, lit, 2.0), 0) << milliseconds;
    }
}

} // namespace
