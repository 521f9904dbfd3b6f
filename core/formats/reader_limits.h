// Every bound the readers put on what a file may ask of them, in one place:
// a hostile file can make no reader allocate, read or loop beyond these.
#pragma once

#include <cstdint>

#include "core/image/image.h"

namespace core {

struct ReaderLimits {
    // Largest side of any picture (kMaxSide): at most 8192 x 8192 x 4 bytes.
    static constexpr int32_t Side = kMaxSide;
    static constexpr uint64_t LargestPicture = uint64_t{kMaxSide} * kMaxSide * 4;

    // TGA: header, image ID, a full 16-bit colour map of 4-byte entries, pixels.
    static constexpr uint64_t TgaBytes = 18 + 255 + 65535ull * 4 + LargestPicture;
    // BMP: headers, palette, masks and an embedded profile, then the pixels.
    static constexpr uint64_t BmpBytes = (64ull << 20) + LargestPicture;
    // BMP run-length data: pixels one byte of stream may stand for (a delta
    // skips up to 255 rows, end-of-bitmap leaves the rest blank). Every real
    // encoder stays far below it.
    static constexpr uint64_t BmpRlePixelsPerByte = 32768;
    // JPEG: scans of a progressive file. Each costs a pass over the blocks of
    // its components; real encoders write about ten.
    static constexpr int JpegScans = 200;
    // JPEG: coefficients decoded over all scans (a block of a scan coding
    // coefficients 1 to 63 counts 63). Real files decode each coefficient two
    // or three times in all; a file may work through its picture's
    // coefficients this many times, plus this many per byte of the file. An
    // exhausted scan reads as zeros, so work beyond this would come from
    // nothing.
    static constexpr uint64_t JpegPasses = 6;
    static constexpr uint64_t JpegCoefficientsPerByte = 256;
    // JPEG: a file of several scans keeps every coefficient (2 bytes each) as
    // well as its pixels (3 bytes each). Together they may take this much, or
    // this many bytes per byte of the file if more: a file under 1 MB stays
    // under 300 MB, and any picture up to 4096 x 4096 is read.
    static constexpr uint64_t JpegBufferedBytes = 160ull << 20;
    static constexpr uint64_t JpegBufferedBytesPerByte = 256;
    // JIRF texture: the largest picture twice over, for the smaller chunks
    // before it, plus room for the header.
    static constexpr uint64_t JirfBytes = 2 * LargestPicture + (1u << 20);
    // Largest face of a cube map. Its six faces are one picture side by side,
    // 6 x 4096 x 4096 x 4 bytes (384 MiB), wider than any other picture.
    static constexpr int32_t CubeFaceSide = 4096;
    static constexpr uint64_t LargestCubeMap = uint64_t{6} * CubeFaceSide * CubeFaceSide * 4;
    // E2TF texture: level 0 of the largest picture or cube map in the widest
    // format (32-bit floats), its smaller levels, the header and the size table.
    static constexpr uint64_t E2tfBytes = LargestCubeMap * 4 / 3 * 4 + (1u << 20);
};

}  // namespace core
