// Counts the C++ heap allocations made while a test watches, and those of one size in particular.
#pragma once

#include <cstddef>

struct AllocationCount {
    long all = 0;
    long ofWatchedSize = 0;
    long peakLiveOfWatchedSize = 0;
    long liveOfWatchedSizeAtEnd = 0;
};

void startCountingAllocations(size_t watchedSize);
AllocationCount stopCountingAllocations();
