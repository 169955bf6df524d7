// The clock and the data folder of the Linux product, the same for both backends.
#include "platform/Platform.h"

#include <time.h>

uint32_t clockMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic wraps the count after 2^32 milliseconds, as the Windows timer does.
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

const char* fallbackDataDirectory() {
    // Set by the build from the install prefix; the package installs the two files there.
    return QUELLMOOR_DATA_DIRECTORY "/";
}
