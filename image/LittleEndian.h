// Unsigned little-endian fields of the TGA and BMP headers.
#pragma once

#include <cstdint>

inline std::uint32_t littleEndian16(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8);
}

inline std::uint32_t littleEndian32(const unsigned char* bytes) {
    return littleEndian16(bytes) | (littleEndian16(bytes + 2) << 16);
}
