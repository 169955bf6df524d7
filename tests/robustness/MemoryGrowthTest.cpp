// A long run holds its memory: the heap in use is the same after 100 frames as after 1,000, and a
// whole run gives back everything it took. Runs in the folder that holds the shipped landscape.
#include "ProgramHarness.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define HEAP_COUNTED_BY_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_COUNTED_BY_SANITIZER 1
#endif
#endif

#ifdef HEAP_COUNTED_BY_SANITIZER
// From the sanitizer runtime; GCC ships no header that declares it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

const int LONG_RUN_FRAMES = 1000;
const int MEASURE_EVERY = 100;
const int WINDOW_FRAMES = 10;
const uintptr_t LIMIT_CODE = 0x1000;
// What a whole run may end above where it began (see AWholeRunGivesBackWhatItTook).
constexpr size_t DRIVER_SLACK_BYTES = 16;
// About 60 frames a second of flight.
const uint32_t MILLISECONDS_PER_FRAME = 17;

// Bytes held on the heap right now. AddressSanitizer keeps freed blocks in quarantine for a
// while; its own count leaves them out, as the C library's count of blocks in use does.
size_t heapInUse() {
#ifdef HEAP_COUNTED_BY_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The C library's count needs two of its tunables, which take effect only at process start
// (ctest sets them): without per-thread caches, whose free blocks it counts as in use, and
// without blocks mapped on their own, which it leaves out at a threshold that moves as blocks
// come and go.
const char HEAP_TUNABLES[] = "glibc.malloc.tcache_count=0:glibc.malloc.mmap_max=0";

bool heapCountIsWhole() {
#ifdef HEAP_COUNTED_BY_SANITIZER
    return true;
#else
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    return tunables != nullptr && std::strstr(tunables, HEAP_TUNABLES) != nullptr;
#endif
}

// The heap in use once the GL driver has finished the frame's work.
size_t heapAfterFrame() {
    glFinish();
    return heapInUse();
}

class MemoryGrowth : public ::testing::Test {
  protected:
    // Mesa's llvmpipe holds a different amount of memory after each frame, tens of megabytes up
    // or down, in its rasterizer threads and buffer caches; softpipe gives back what a frame used
    // when the frame is finished, so the count shows what the program itself keeps.
    static void SetUpTestSuite() { setenv("GALLIUM_DRIVER", "softpipe", 1); }

    void SetUp() override {
        ASSERT_TRUE(heapCountIsWhole()) << "run with GLIBC_TUNABLES=" << HEAP_TUNABLES;
        resetProgram();
    }
    void TearDown() override { resetProgram(); }

    HeadlessSystem& system = headlessSystem();
};

TEST_F(MemoryGrowth, AThousandFramesUseNoMoreHeapThanAHundred) {
    // The least heap in use over the ten frames up to frame 100, 200, ..., 1000. The driver now
    // and then holds a buffer over a frame or two; anything the program kept would raise the floor.
    std::vector<size_t> floors(LONG_RUN_FRAMES / MEASURE_EVERY, SIZE_MAX);
    const int exitCode = runScreensaver(LONG_RUN_FRAMES, LIMIT_CODE, [&](int frame) {
        system.clock += MILLISECONDS_PER_FRAME;
        // From the second frame on the driver fills only a corner: the program makes every call
        // as before, while filling 640x480 pixels in software, almost all of the time the test
        // took, is nothing it watches.
        if (frame == 1) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, 8, 8);
        }
        const int window = (frame - 1) / MEASURE_EVERY;
        if ((frame - 1) % MEASURE_EVERY >= MEASURE_EVERY - WINDOW_FRAMES) {
            floors[static_cast<size_t>(window)] =
                std::min(floors[static_cast<size_t>(window)], heapAfterFrame());
        }
    });
    ASSERT_EQ(exitCode, static_cast<int>(LIMIT_CODE));
    ASSERT_EQ(system.swaps, LONG_RUN_FRAMES);
    // The run flew over the shipped landscape, not over a flat stand-in.
    ASSERT_TRUE(viewer.terrain.heightMap.isLoaded());
    ASSERT_GT(viewer.terrain.heightMap.width, 1);

    for (size_t i = 0; i < floors.size(); ++i) {
        const int frame = static_cast<int>(i + 1) * MEASURE_EVERY;
        std::printf("least heap in use over frames %d to %d: %zu bytes\n",
                    frame - WINDOW_FRAMES + 1, frame, floors[i]);
        // Less is fine (a driver cache trimmed); more is growth.
        EXPECT_LE(floors[i], floors.front()) << "up to frame " << frame;
    }
}

TEST_F(MemoryGrowth, AWholeRunGivesBackWhatItTook) {
    // The first run also makes what the GL driver keeps for the process; the second must end
    // where it began.
    const int warmUpCode = runScreensaver(5, LIMIT_CODE, nullptr);
    ASSERT_EQ(warmUpCode, static_cast<int>(LIMIT_CODE));
    resetProgram();
    const size_t before = heapInUse();
    const int exitCode = runScreensaver(5, LIMIT_CODE, nullptr);
    resetProgram();
    const size_t after = heapInUse();
    ASSERT_EQ(exitCode, static_cast<int>(LIMIT_CODE));
    std::printf("heap in use before a run: %zu bytes, after it: %zu bytes\n", before, after);
    // Mesa's worker threads resize a block of their own on their own schedule, so a run has
    // ended 16 bytes below or above where it began. Anything of ours left behind is a whole
    // block, 32 bytes or more in the C library's count (under AddressSanitizer its leak check at
    // exit catches what this lets through).
    EXPECT_LE(after, before + DRIVER_SLACK_BYTES);
}

} // namespace
