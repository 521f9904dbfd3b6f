// DXT1, DXT3 and DXT5 block decoding with this program's own arithmetic: 5- and
// 6-bit colour widened by x8 / x4 without filling the low bits, interpolations
// that truncate each term on its own, and a DXT1 three-colour block whose fourth
// colour repeats the third.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/image/image.h"

namespace core {

enum class DxtVariant { DXT1, DXT3, DXT5 };

// Bytes of one 4 x 4 block: 8 for DXT1, 16 for DXT3 and DXT5.
size_t DxtBlockBytes(DxtVariant variant);

// Decodes `size` bytes of blocks into `out`, a picture of width x height pixels
// of `bytesPerPixel` bytes (R, G, B and, with 4, A; with DxtOrder::BlueFirst B,
// G, R and A, as a TGA holds them), bottom row first. Block rows
// run from the top of the picture down while data remains; lines beyond the
// height are dropped and lines the data does not reach are set to zero.
// bytesPerPixel is 3 or 4 for DXT1 (4 gives alpha 0 to index 3 of a three-colour
// block) and 4 for DXT3 and DXT5. False, with `out` untouched, when the data
// ends inside a block or the arguments are out of range (sides 1..kMaxSide).
// `code` picks the inner loops: the fastest this processor runs, or the portable
// ones (the results are identical; tests hold the two to each other).
enum class DxtCode { Fastest, Portable };
enum class DxtOrder { RedFirst, BlueFirst };
bool DecodeDxtBlocks(DxtVariant variant, const uint8_t* data, size_t size, int32_t width,
                     int32_t height, int bytesPerPixel, uint8_t* out,
                     DxtCode code = DxtCode::Fastest, DxtOrder order = DxtOrder::RedFirst);

// Decode into the image. Each sets Image.Compression (1, 3 or 5) before anything
// else; on success the store holds the picture with Width, Height, DataSize and
// AlphaKind set (DXT1: 4 bytes per pixel and AlphaKind 2 with alpha hint 2,
// else 3 bytes and AlphaKind 0; DXT3 and DXT5: 4 bytes, AlphaKind 1). On failure
// the pixels are left as they were and nothing is allocated.
bool DecodeDXT1(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height,
                int32_t alphaHint);
bool DecodeDXT3(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height);
bool DecodeDXT5(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height);

}  // namespace core
