// Some tests make allocations fail on purpose; under AddressSanitizer a failed allocation must
// return null, as it does in a normal build, instead of ending the process.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
