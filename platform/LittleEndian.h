// Little-endian numbers read from raw bytes, for the picture formats that
// store them so. The caller has checked that the bytes are there.
#pragma once

#include <cstdint>

namespace platform {

inline std::uint16_t ReadU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::int16_t ReadI16(const unsigned char* p) {
    return static_cast<std::int16_t>(ReadU16(p));
}

inline std::uint32_t ReadU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t ReadI32(const unsigned char* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}

} // namespace platform
