// Turning a height picture (the red byte of each pixel) into a tangent-space
// normal map.
#pragma once

#include <cstdint>

namespace core {

// Replaces the pixels in place: a 3 x 3 Sobel filter over red / 255, wrapping
// around at the edges, gives the slopes; the normalised normal (-sx, -sy, 1) is
// written as red, green and blue, and a 4-byte image gets alpha `alphaFill`.
// Rows are bottom row first. False, with nothing changed, when a side is not
// positive, `data` is null, or the pixels are not 3 or 4 bytes each.
bool MakeNormalMap(int32_t width, int32_t height, int32_t dataSize, uint8_t* data,
                   uint8_t alphaFill);

}  // namespace core
