// Windows bitmap headers and a complete BMP decoder over an in-memory file:
// 1-, 2-, 4-, 8-, 16-, 24- and 32-bit pixels; uncompressed, RLE4, RLE8,
// BITFIELDS and ALPHABITFIELDS; OS/2 and Windows info headers of every common
// size; bottom-up and top-down rows.
#pragma once

#include <cstdint>
#include <span>

#include "core/image/image.h"
#include "core/io/error.h"

namespace core {

inline constexpr uint32_t kBmpFileHeaderSize = 14;

// BI_ compression values of the info header.
enum BmpCompression : uint32_t {
    kBmpRgb = 0,
    kBmpRle8 = 1,
    kBmpRle4 = 2,
    kBmpBitfields = 3,
    kBmpAlphaBitfields = 6,
};

// The fields of the two headers, read by the info header's own size; fields
// that a short info header lacks are 0.
struct BmpHeaders {
    uint32_t offBits = 0;   // file offset of the pixel data
    uint32_t infoSize = 0;  // size of the info header
    int32_t width = 0;
    int32_t height = 0;  // negative: rows stored top-down
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t masks[4] = {};         // red, green, blue, alpha, where the file has them
    uint64_t headersEnd = 0;        // end of the info header and any colour masks after it
    uint32_t paletteEntrySize = 4;  // 3 for the 12-byte OS/2 header
};

// Reads both headers from the start of `file`. BmpShortHeader when the file
// ends inside them; BmpUnsupported when the info header is smaller than any
// known one.
Error ReadBmpHeaders(std::span<const uint8_t> file, BmpHeaders& headers);

// Decodes the whole file into 3-byte red-green-blue pixels, bottom row first.
// False, with `rgb` untouched, for anything that is not a complete bitmap of
// at most kMaxSide on each side.
bool DecodeBmp(std::span<const uint8_t> file, ByteBuffer& rgb, int32_t& width, int32_t& height);

}  // namespace core
