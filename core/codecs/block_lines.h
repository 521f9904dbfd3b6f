// Writing a decoded 4 x 4 block into the picture a line at a time, shared by
// the block decoders (DXT, ETC2).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/io/byte_order.h"

namespace core {

// Writes pixels 4j .. 4j+3 of the block (its Pixel(i) gives R, G, B, A as the
// bytes of a little-endian word) as one line of four pixels of Bpp bytes.
template <int Bpp, class Block>
inline void WriteBlockLine(const Block& b, int j, uint8_t* dst) {
    const uint32_t p0 = b.Pixel(4 * j), p1 = b.Pixel(4 * j + 1);
    const uint32_t p2 = b.Pixel(4 * j + 2), p3 = b.Pixel(4 * j + 3);
    if constexpr (Bpp == 4) {
        StoreLE32(dst, p0);
        StoreLE32(dst + 4, p1);
        StoreLE32(dst + 8, p2);
        StoreLE32(dst + 12, p3);
    } else {
        // Four 3-byte pixels packed into 12 bytes without touching the 13th.
        const uint64_t low = static_cast<uint64_t>(p0 & 0xFFFFFF) |
                             (static_cast<uint64_t>(p1 & 0xFFFFFF) << 24) |
                             (static_cast<uint64_t>(p2 & 0xFFFF) << 48);
        const uint32_t high = ((p2 >> 16) & 0xFF) | ((p3 & 0xFFFFFF) << 8);
        std::memcpy(dst, &low, 8);
        std::memcpy(dst + 8, &high, 4);
    }
}

// Only the first `columns` pixels of the first `lines` lines: a block at the
// right or bottom edge of a picture whose sides are not multiples of 4.
template <int Bpp, class Block>
inline void WritePartialBlock(const Block& b, int lines, int columns, uint8_t* line0,
                              size_t lineBytes) {
    for (int j = 0; j < lines; ++j) {
        uint8_t* dst = line0 - j * lineBytes;
        for (int i = 0; i < columns; ++i) {
            const uint32_t p = b.Pixel(4 * j + i);
            std::memcpy(dst + i * Bpp, &p, Bpp);
        }
    }
}

}  // namespace core
