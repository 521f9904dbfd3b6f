// The header of the TGAs this program writes: uncompressed 24- or 32-bit, the
// bottom row first. Shared by the TGA writer and the conversion that streams a
// texture into a TGA, which must write the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/io/byte_order.h"

namespace core {

inline constexpr size_t kTgaHeaderBytes = 18;

// False when a side is not positive or the bytes per pixel are not 3 or 4.
inline bool MakeTgaHeader(uint8_t header[kTgaHeaderBytes], int32_t width, int32_t height,
                          int bytesPerPixel) {
    if (width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4)) return false;
    std::memset(header, 0, kTgaHeaderBytes);
    header[2] = 2;
    StoreLE16(header + 12, static_cast<uint32_t>(width));
    StoreLE16(header + 14, static_cast<uint32_t>(height));
    header[16] = bytesPerPixel == 3 ? 24 : 32;
    header[17] = bytesPerPixel == 3 ? 0 : 8;  // 8 bits of alpha
    return true;
}

}  // namespace core
