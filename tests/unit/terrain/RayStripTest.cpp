#include "terrain/Flight.h"
#include "terrain/Viewer.h"

#include "TestMaps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class RayStripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setStartUpValues(viewer);
        viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
    }

    static double distanceFrom(const StripVertex& v, double x, double y) {
        return std::hypot(v.position.x - x, v.position.y - y);
    }

    Viewer viewer;
};

TEST_F(RayStripTest, FirstVertexPositionAndTextureCoordinate) {
    viewer.x = 10.0f;
    viewer.y = 20.0f;
    const RayStrip strip = viewer.buildRayStrip(0.0f);
    ASSERT_EQ(strip.size(), 150u);
    EXPECT_NEAR(strip[0].position.x, 10.017321f, 2e-6f);
    EXPECT_FLOAT_EQ(strip[0].position.y, 20.0f);
    EXPECT_NEAR(strip[0].texCoord[0], 2.1967809f, 1e-6f);
    EXPECT_NEAR(strip[0].texCoord[1], 4.3859649f, 1e-6f);
}

TEST_F(RayStripTest, SamplesLieAtQuadraticallyGrowingDistancesAlongTheRay) {
    struct {
        int index;
        double distance;
    } const cases[] = {
        {0, 0.017320508}, {1, 0.025980762}, {2, 0.043301270}, {15, 1.0565509}, {149, 96.79566},
    };
    const float angles[] = {0.0f, 1.0f, -2.5f, 3.1f};
    for (float angle : angles) {
        const RayStrip strip = viewer.buildRayStrip(angle);
        ASSERT_EQ(strip.size(), 150u);
        for (const auto& c : cases) {
            const StripVertex& v = strip[c.index];
            EXPECT_NEAR(distanceFrom(v, 0, 0), c.distance, c.distance * 2e-6)
                << "sample " << c.index << " at angle " << angle;
            EXPECT_NEAR(std::atan2(v.position.y, v.position.x), angle, 2e-4)
                << "sample " << c.index;
        }
    }
}

TEST_F(RayStripTest, TheSampleCountSetsTheStripLength) {
    viewer.samplesPerRay = 1;
    const RayStrip one = viewer.buildRayStrip(0.7f);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(distanceFrom(one[0], 0, 0), viewer.nearDistance + viewer.spacingStep, 1e-8);
    for (int count : {0, -1, -150}) {
        viewer.samplesPerRay = count;
        EXPECT_TRUE(viewer.buildRayStrip(0.7f).empty()) << count;
    }
}

struct SlopeCase {
    const char* name;
    float (*sample)(int column, int row);
    Vec3 normal;
};

// Heights are five times the sample: these rise one height unit per world unit.
float risingAlongX(int column, int) {
    return 0.2f * static_cast<float>(column);
}
float risingAlongY(int, int row) {
    return 0.2f * static_cast<float>(row);
}
float fallingAlongX(int column, int) {
    return 0.2f * static_cast<float>(8 - column);
}
float flat(int, int) {
    return 0.3f;
}

TEST_F(RayStripTest, NormalsFollowTheSlopeAndAlwaysPointUp) {
    const SlopeCase cases[] = {
        {"rising along x", risingAlongX, {-0.7071068f, 0.0f, 0.7071068f}},
        {"rising along y", risingAlongY, {0.0f, -0.7071068f, 0.7071068f}},
        {"falling along x", fallingAlongX, {0.7071068f, 0.0f, 0.7071068f}},
        {"flat", flat, {0.0f, 0.0f, 1.0f}},
    };
    viewer.samplesPerRay = 20;
    viewer.x = 2.0f;
    viewer.y = 2.0f;
    for (const SlopeCase& c : cases) {
        makeGreyMap(viewer.terrain.heightMap, 64, 64, c.sample);
        const RayStrip strip = viewer.buildRayStrip(0.6f);
        for (const StripVertex& v : strip) {
            EXPECT_NEAR(v.normal.x, c.normal.x, 2e-4f) << c.name;
            EXPECT_NEAR(v.normal.y, c.normal.y, 2e-4f) << c.name;
            EXPECT_NEAR(v.normal.z, c.normal.z, 2e-4f) << c.name;
            EXPECT_FLOAT_EQ(v.position.z, viewer.terrain.heightAt(v.position.x, v.position.y));
        }
    }
}

TEST_F(RayStripTest, SteepGroundStillHasUpwardUnitNormals) {
    makeGreyMap(viewer.terrain.heightMap, 16, 16,
                [](int column, int row) { return ((column * 7 + row * 3) % 5) * 4.0f; });
    for (float angle : {0.3f, 2.0f, -1.2f}) {
        for (const StripVertex& v : viewer.buildRayStrip(angle)) {
            const Vec3& n = v.normal;
            EXPECT_GT(n.z, 0.0f);
            EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
        }
    }
}

TEST_F(RayStripTest, AnEmptyMapGivesFlatGroundWithUpNormals) {
    viewer.x = -35.5f;
    viewer.y = 812.25f;
    for (const StripVertex& v : viewer.buildRayStrip(2.2f)) {
        EXPECT_EQ(v.position.z, 0.0f);
        EXPECT_EQ(v.normal.x, 0.0f);
        EXPECT_EQ(v.normal.y, 0.0f);
        EXPECT_EQ(v.normal.z, 1.0f);
    }
}

TEST_F(RayStripTest, FarFromTheOriginTheNormalsStayUnitLength) {
    // Here the normal offset is lost in rounding, so the differences vanish.
    makeGreyMap(viewer.terrain.heightMap, 8, 8, risingAlongX);
    viewer.x = 3.0e7f;
    viewer.y = -3.0e7f;
    for (const StripVertex& v : viewer.buildRayStrip(0.4f)) {
        const Vec3& n = v.normal;
        ASSERT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
        EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
    }
}

TEST_F(RayStripTest, TheSameAngleGivesTheSameStrip) {
    makeGreyMap(viewer.terrain.heightMap, 16, 16,
                [](int column, int row) { return std::sin(column * 0.7f) * std::cos(row * 0.3f); });
    viewer.x = 7.25f;
    viewer.y = 3.5f;
    const RayStrip first = viewer.buildRayStrip(1.1f);
    const RayStrip second = viewer.buildRayStrip(1.1f);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(StripVertex)), 0);
}

} // namespace
