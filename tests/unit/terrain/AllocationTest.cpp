#include "AllocationCounter.h"

#include "terrain/Flight.h"

#include "TestMaps.h"

#include <gtest/gtest.h>

namespace {

TEST(Allocation, HeightSamplingAllocatesNothingAndARayOnlyItsVertexArray) {
    Viewer viewer;
    setStartUpValues(viewer);
    viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
    makeGreyMap(viewer.terrain.heightMap, 16, 16,
                [](int column, int row) { return 0.05f * static_cast<float>(column ^ row); });
    viewer.x = 300.0f;
    viewer.y = 20.0f;

    startCountingAllocations(0);
    float sum = 0.0f;
    for (int i = 0; i < 1000; ++i) {
        sum += viewer.terrain.heightAt(i * 0.37f - 100.0f, i * -0.11f);
    }
    EXPECT_EQ(stopCountingAllocations().all, 0) << sum;

    for (int samples : {150, 1, 37}) {
        viewer.samplesPerRay = samples;
        const size_t arrayBytes = sizeof(StripVertex) * static_cast<size_t>(samples);
        startCountingAllocations(arrayBytes);
        {
            const RayStrip strip = viewer.buildRayStrip(0.9f);
            EXPECT_EQ(strip.size(), static_cast<size_t>(samples));
        }
        const AllocationCount count = stopCountingAllocations();
        EXPECT_EQ(count.all, 1) << samples << " samples";
        EXPECT_EQ(count.ofWatchedSize, 1) << samples << " samples";
        EXPECT_EQ(count.liveOfWatchedSizeAtEnd, 0) << samples << " samples";
    }
}

} // namespace
