// Conversions between an image's red-first pixels and the blue-first pixels
// of the files and the display. These run over every byte of every picture a
// batch converts, so they use byte shuffles where the processor has them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace core {

// Copies `pixels` pixels of 3 or 4 bytes, exchanging the first and third byte
// of each. `in` may equal `out`; otherwise the two must not overlap.
void CopySwappingRedBlue(const uint8_t* in, uint8_t* out, size_t pixels, int bytesPerPixel);

// Exchanges the first and third byte of each of `count` 3-byte pixels in place.
inline void SwapRedBlue(uint8_t* pixels, int32_t count) {
    if (count > 0) CopySwappingRedBlue(pixels, pixels, static_cast<size_t>(count), 3);
}

// Copies `pixels` 4-byte pixels (blue, green, red, alpha) to 3-byte ones (red,
// green, blue), dropping the alpha. The buffers must not overlap.
void CopyBgraToRgb(const uint8_t* in, uint8_t* out, size_t pixels);

}  // namespace core
