// Little-endian fields, as every container we read and write stores them, at
// any alignment. On a little-endian machine each is one plain load or store.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace core {

inline uint16_t LoadLE16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t LoadLE32(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
}
inline uint64_t LoadLE64(const uint8_t* p) {
    return static_cast<uint64_t>(LoadLE32(p)) | (static_cast<uint64_t>(LoadLE32(p + 4)) << 32);
}
inline float LoadLEFloat(const uint8_t* p) {
    return std::bit_cast<float>(LoadLE32(p));
}
inline void StoreLE16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLE32(uint8_t* p, uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, 4);
    } else {
        StoreLE16(p, v & 0xFFFF);
        StoreLE16(p + 2, v >> 16);
    }
}

}  // namespace core
