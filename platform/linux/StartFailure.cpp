#include "platform/linux/StartFailure.h"

#include "platform/GlWindow.h"

#include <cstdarg>
#include <cstdio>

void reportStartFailure(GlWindow& window, const char* format, ...) {
    if (window.native.startFailed) {
        return;
    }
    window.native.startFailed = 1;
    char reason[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "quellmoor: %s\n", reason);
}
