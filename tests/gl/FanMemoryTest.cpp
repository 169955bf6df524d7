#include "GlTest.h"

#include "../unit/terrain/AllocationCounter.h"

#include "terrain/Flight.h"

namespace {

TEST_F(GlTest, TheFanBuildsEachRayOnceAndHoldsAtMostTwo) {
    Viewer viewer;
    setStartUpValues(viewer);
    viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
    struct {
        int raySegments, samplesPerRay;
        long rays, peak;
    } const cases[] = {{30, 150, 31, 2}, {1, 150, 2, 2}, {7, 13, 8, 2}, {0, 150, 1, 1}};
    for (const auto& c : cases) {
        viewer.raySegments = c.raySegments;
        viewer.samplesPerRay = c.samplesPerRay;
        viewer.setCamera();
        viewer.setRenderState();
        // A first, uncounted frame lets the driver set up whatever it keeps.
        viewer.drawFan();
        startCountingAllocations(sizeof(StripVertex) * static_cast<size_t>(c.samplesPerRay));
        viewer.drawFan();
        const AllocationCount count = stopCountingAllocations();
        EXPECT_EQ(count.ofWatchedSize, c.rays) << c.raySegments << " segments";
        EXPECT_EQ(count.peakLiveOfWatchedSize, c.peak) << c.raySegments << " segments";
        EXPECT_EQ(count.liveOfWatchedSizeAtEnd, 0) << c.raySegments << " segments";
    }
}

} // namespace
