// A 64-bit FNV-1a digest over the bit patterns of the values fed to it, which can also print each
// value as it comes, for finding the first one in which two builds part.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

class Digest {
  public:
    // With raw set, every value is printed in hexadecimal under the digest's name.
    Digest(const char* name, FILE* raw) : name_(name), raw_(raw) {}

    // Every NaN counts as one: IEEE 754 leaves its sign and payload open, and x86 hands on the
    // first operand's NaN, whose place the compiler may swap in a commutative operation (the
    // -O0 and -O2 builds part there and nowhere else).
    void add(float value) {
        uint32_t bits = DIGEST_NAN_BITS;
        if (value == value) {
            std::memcpy(&bits, &value, sizeof bits);
        }
        addBits(bits, 4);
    }
    void add(int value) { addBits(static_cast<uint32_t>(value), 4); }
    void add(const float* values, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            add(values[i]);
        }
    }

    const char* name() const { return name_; }
    uint64_t value() const { return hash_; }

  private:
    static constexpr uint64_t DIGEST_OFFSET = 14695981039346656037ull;
    static constexpr uint64_t DIGEST_PRIME = 1099511628211ull;
    static constexpr uint32_t DIGEST_NAN_BITS = 0x7fc00000u;

    void addBits(uint32_t bits, int bytes) {
        if (raw_ != nullptr) {
            std::fprintf(raw_, "%s %08lx\n", name_, static_cast<unsigned long>(bits));
        }
        for (int i = 0; i < bytes; ++i) {
            hash_ = (hash_ ^ ((bits >> (8 * i)) & 0xffu)) * DIGEST_PRIME;
        }
    }

    const char* name_;
    FILE* raw_;
    uint64_t hash_ = DIGEST_OFFSET;
};
