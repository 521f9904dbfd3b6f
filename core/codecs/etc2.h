// ETC2 RGB block decoding (GL_COMPRESSED_RGB8_ETC2, which includes every ETC1
// block): 8 bytes per 4 x 4 block in the individual, differential, T, H or
// planar mode, block rows from the top of the picture down, blocks left to right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/image/image.h"

namespace core {

inline constexpr size_t kEtc2BlockBytes = 8;

// Bytes of blocks a picture of width x height pixels needs: one block per
// started 4 x 4 square. 0 when a side is out of range (1..kMaxSide).
size_t Etc2DataBytes(int32_t width, int32_t height);

// Decodes the blocks in `data` into `out`, a picture of width x height pixels of
// `bytesPerPixel` bytes (3: R, G, B; 4: R, G, B and an opaque A), bottom row
// first. The parts of the edge blocks beyond the width or the height are dropped.
// False, with `out` untouched, when `size` is below Etc2DataBytes (a short
// chunk is refused rather than padded) or the arguments are out of range; bytes
// after the picture's blocks are not read. `code` picks the inner loops: the
// fastest this processor runs, or the portable ones (the results are identical;
// tests hold the two to each other).
enum class Etc2Code { Fastest, Portable };
bool DecodeEtc2Blocks(const uint8_t* data, size_t size, int32_t width, int32_t height,
                      int bytesPerPixel, uint8_t* out, Etc2Code code = Etc2Code::Fastest);

// Decodes into the store: 3 bytes per pixel, AlphaKind 0, Image.Compression 0
// (set first: the picture is no DXT variant). On failure the pixels are left as
// they were and nothing is allocated.
bool DecodeETC2(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height);

}  // namespace core
