// Preloaded by the harness into the 32-bit Wine that runs through qemu-i386 (7.2). While it is
// still one thread, Wine's loader tries to reserve the address space from 0x7ffe0000 up piece by
// piece, halving every refused piece down to 64 KiB: mmap64 with MAP_FIXED_NOREPLACE, which
// qemu 7.2 does not honour there. qemu answers such a request with another address, which Wine
// gives back, after a search of about a millisecond: some 70,000 requests made each 32-bit start
// take a minute. Here the pieces above 0x7ffe0000 get that answer at once (refused, as the kernel
// refuses a taken range), and a 32-bit start takes a second or two. The pieces that begin at
// 0x7ffe0000 still go to qemu, which may grant one: that is where Wine maps its shared user data,
// and without the reservation that mapping can fail. Nothing else is touched, and nothing at all
// once a second thread exists. Built for 64 bits it is empty: Wine's 64-bit processes inherit the
// preload.
#if defined(__i386__)
#include <cerrno>
#include <cstdint>
#include <dlfcn.h>
#include <pthread.h>
#include <sys/mman.h>

namespace {

const uintptr_t EMULATED_RESERVE_REFUSED_ABOVE = 0x7ffe0000;
bool threaded = false;

template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" void* mmap64(void* address, size_t length, int protection, int flags, int file,
                        __off64_t offset) {
    using Mmap = void* (*)(void*, size_t, int, int, int, __off64_t);
    static const Mmap real = next<Mmap>("mmap64");
    const int reserving = MAP_FIXED_NOREPLACE | MAP_NORESERVE;
    if (!threaded && protection == PROT_NONE && (flags & reserving) == reserving &&
        reinterpret_cast<uintptr_t>(address) > EMULATED_RESERVE_REFUSED_ABOVE) {
        errno = EEXIST;
        return MAP_FAILED;
    }
    return real(address, length, protection, flags, file, offset);
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*run)(void*), void* argument) {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create real = next<Create>("pthread_create");
    threaded = true;
    return real(thread, attributes, run, argument);
}
#endif
