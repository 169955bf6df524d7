// A broken property ends the run the way a sanitizer finding does, so that libFuzzer keeps the
// input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}
