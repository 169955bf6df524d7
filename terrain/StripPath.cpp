// Which strip paths this build has, and which of them the processor runs.
#include "terrain/StripPath.h"

bool stripPathRuns(StripPath path) {
    switch (path) {
    case STRIP_PATH_PLAIN:
        return true;
#if defined(__x86_64__) || defined(__i386__)
    // The 32-bit build is compiled for SSE2 throughout, so SSE2 is there wherever it runs.
    case STRIP_PATH_SSE2:
        return true;
    case STRIP_PATH_AVX2: {
        // Static constructors may ask before the run-time library has looked at the processor.
        __builtin_cpu_init();
        static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
        return avx2;
    }
#endif
    default:
        return false;
    }
}

StripPath fastestStripPath() {
    static const StripPath fastest = stripPathRuns(STRIP_PATH_AVX2)   ? STRIP_PATH_AVX2
                                     : stripPathRuns(STRIP_PATH_SSE2) ? STRIP_PATH_SSE2
                                                                      : STRIP_PATH_PLAIN;
    return fastest;
}

const char* stripPathName(StripPath path) {
    switch (path) {
    case STRIP_PATH_SSE2:
        return "sse2";
    case STRIP_PATH_AVX2:
        return "avx2";
    default:
        return "plain";
    }
}
