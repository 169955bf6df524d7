// The ways a ray strip can be computed: one vertex at a time in plain C++, or several at a time
// with the x86 vector units. Every path gives the same vertices and scratch, bit for bit.
#pragma once

enum StripPath {
    STRIP_PATH_PLAIN = 0,
    STRIP_PATH_SSE2 = 1, // four vertices at a time; every x86 build has it
    STRIP_PATH_AVX2 = 2, // eight at a time with gathers, where the processor has it
};

constexpr int STRIP_PATH_COUNT = 3;

// True when this build and this processor can run the path.
bool stripPathRuns(StripPath path);
// The widest path that runs here, asked of the processor once.
StripPath fastestStripPath();
// "plain", "sse2" or "avx2".
const char* stripPathName(StripPath path);
