// Replaces the global operator new and delete of a test program to count allocations. A program
// that loads libraries at run time must export these, so that every library pairs them alike.
#include "AllocationCounter.h"

#include <cstdlib>
#include <mutex>
#include <new>

namespace {

// Blocks of the watched size that are alive; a watched run never holds more than a few.
constexpr int MAX_TRACKED = 256;

std::mutex guard;
bool counting = false;
size_t watched = 0;
AllocationCount count;
void* live[MAX_TRACKED];

void* allocate(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    std::lock_guard<std::mutex> lock(guard);
    if (counting) {
        ++count.all;
        if (size == watched) {
            ++count.ofWatchedSize;
            for (void*& slot : live) {
                if (slot == nullptr) {
                    slot = block;
                    break;
                }
            }
            long alive = 0;
            for (void* slot : live) {
                alive += slot != nullptr;
            }
            count.peakLiveOfWatchedSize =
                alive > count.peakLiveOfWatchedSize ? alive : count.peakLiveOfWatchedSize;
        }
    }
    return block;
}

void release(void* block) {
    if (block == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(guard);
        for (void*& slot : live) {
            if (slot == block) {
                slot = nullptr;
            }
        }
    }
    std::free(block);
}

} // namespace

void startCountingAllocations(size_t watchedSize) {
    std::lock_guard<std::mutex> lock(guard);
    count = AllocationCount();
    watched = watchedSize;
    for (void*& slot : live) {
        slot = nullptr;
    }
    counting = true;
}

AllocationCount stopCountingAllocations() {
    std::lock_guard<std::mutex> lock(guard);
    counting = false;
    for (void* slot : live) {
        count.liveOfWatchedSizeAtEnd += slot != nullptr;
    }
    return count;
}

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, size_t) noexcept {
    release(block);
}
void operator delete[](void* block, size_t) noexcept {
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    release(block);
}
