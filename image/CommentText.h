// The readers' comment text grows only while memory allows: an append that can't get its memory
// leaves the comment as it was, as every other failed allocation of a reader leaves the program
// running.
#pragma once

#include <cstddef>
#include <new>
#include <string>

inline bool appendComment(std::string& comment, const char* text, size_t length) {
    try {
        comment.append(text, length);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
