#include "core/formats/bmp_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "core/formats/reader_limits.h"
#include "core/io/byte_order.h"

namespace core {

namespace {

// One colour component of a packed 16- or 32-bit pixel, scaled to 0..255 by
// v * 255 / max with truncation, as the common decoders give.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        const int bits = 32 - std::countl_zero(m >> shift);
        max = bits >= 32 ? UINT32_MAX : (1u << bits) - 1;
    }
    uint8_t Extract(uint32_t pixel) const {
        if (max == 0) return 0;
        const uint64_t v = (pixel & mask) >> shift;
        return static_cast<uint8_t>(v * 255 / max);
    }
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

bool KnownInfoSize(uint32_t size) {
    switch (size) {
        case 12:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

// The palette as the file holds it, at most 256 entries, limited to the bytes
// between the headers and the pixel data. Entries the file does not hold are
// black; a file with no room for any entry is read as grey levels.
void ReadPalette(std::span<const uint8_t> file, const BmpHeaders& h, Rgb palette[256]) {
    const uint32_t levels = 1u << h.bitCount;
    uint64_t count = h.clrUsed != 0 ? h.clrUsed : levels;
    count = std::min<uint64_t>(count, 256);
    const uint64_t end = std::min<uint64_t>(h.offBits, file.size());
    const uint64_t room = end > h.headersEnd ? (end - h.headersEnd) / h.paletteEntrySize : 0;
    if (room == 0) {
        for (uint32_t i = 0; i < levels; ++i) {
            const auto grey = static_cast<uint8_t>(i * 255 / (levels - 1));
            palette[i] = {grey, grey, grey};
        }
        return;
    }
    count = std::min(count, room);
    const uint8_t* p = file.data() + h.headersEnd;
    for (uint64_t i = 0; i < count; ++i, p += h.paletteEntrySize) palette[i] = {p[2], p[1], p[0]};
}

// Runs of RLE4 or RLE8 into one palette index per pixel, row 0 at the bottom.
// Pixels the stream skips (delta, end of line, end of bitmap, or a stream that
// stops early) keep index 0, as the common decoders leave them. Nothing is
// written outside the picture; every step consumes at least two bytes.
void DecodeRle(std::span<const uint8_t> data, bool rle4, int32_t width, int32_t height,
               std::vector<uint8_t>& indices) {
    size_t pos = 0;
    int64_t x = 0;
    int64_t y = 0;
    auto put = [&](uint8_t index) {
        if (x < width && y < height) indices[static_cast<size_t>(y) * width + x] = index;
        ++x;
    };
    while (pos + 2 <= data.size() && y < height) {
        const uint8_t count = data[pos];
        const uint8_t value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i) {
                put(rle4 ? static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 15) : value);
            }
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta: move right and up
            if (pos + 2 > data.size()) break;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = rle4 ? (value + 1u) / 2 : value;
            if (pos + bytes > data.size()) break;
            for (int i = 0; i < value; ++i) {
                const uint8_t b = data[pos + (rle4 ? i / 2 : i)];
                put(rle4 ? static_cast<uint8_t>(i % 2 == 0 ? b >> 4 : b & 15) : b);
            }
            pos += bytes + (bytes & 1);
        }
    }
}

// Whether the decoder takes the compression and bit count; `fields` tells
// whether the pixels are unpacked by the header's masks.
bool SupportedEncoding(const BmpHeaders& h, bool topDown, bool& fields) {
    const uint32_t bits = h.bitCount;
    // OS/2 2.x headers use compression 3 and 4 for Huffman and RLE24 instead.
    const bool os2v2 = h.infoSize == 64;
    switch (h.compression) {
        case kBmpRgb:
            if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 &&
                bits != 32)
                return false;
            break;
        case kBmpRle8:
            if (bits != 8 || topDown) return false;
            break;
        case kBmpRle4:
            if (bits != 4 || topDown) return false;
            break;
        case kBmpBitfields:
        case kBmpAlphaBitfields:
            if (os2v2 || (bits != 16 && bits != 32)) return false;
            fields = true;
            break;
        default:
            return false;
    }
    return true;
}

// Uncompressed rows of any bit count into 3-byte pixels, bottom row first.
bool DecodeRows(std::span<const uint8_t> data, const BmpHeaders& h, const Rgb palette[256],
                bool fields, ByteBuffer& out) {
    const bool topDown = h.height < 0;
    const int32_t w = h.width;
    const int32_t ht = topDown ? -h.height : h.height;
    const uint32_t bits = h.bitCount;
    const size_t pixelCount = static_cast<size_t>(w) * ht;
    // Rows padded to 4 bytes; the last row may lack its padding.
    const uint64_t rowBits = static_cast<uint64_t>(w) * bits;
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    const uint64_t need = stride * (ht - 1) + (rowBits + 7) / 8;
    if (need > data.size()) return false;

    uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
    if (!fields) {
        if (bits == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
        }
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);

    out.resize(pixelCount * 3);
    for (int32_t r = 0; r < ht; ++r) {
        const uint8_t* in = data.data() + static_cast<size_t>(r) * stride;
        uint8_t* o = out.data() + static_cast<size_t>(topDown ? ht - 1 - r : r) * w * 3;
        for (int32_t x = 0; x < w; ++x, o += 3) {
            switch (bits) {
                case 1:
                case 2:
                case 4:
                case 8: {
                    const uint32_t bitPos = static_cast<uint32_t>(x) * bits;
                    const uint32_t index =
                        (in[bitPos / 8] >> (8 - bits - bitPos % 8)) & ((1u << bits) - 1);
                    const Rgb& c = palette[index];
                    o[0] = c.r, o[1] = c.g, o[2] = c.b;
                    break;
                }
                case 16: {
                    const uint32_t v = LoadLE16(in + x * 2);
                    o[0] = red.Extract(v), o[1] = green.Extract(v), o[2] = blue.Extract(v);
                    break;
                }
                case 24:
                    o[0] = in[x * 3 + 2], o[1] = in[x * 3 + 1], o[2] = in[x * 3];
                    break;
                default: {
                    const uint32_t v = LoadLE32(in + x * 4);
                    o[0] = red.Extract(v), o[1] = green.Extract(v), o[2] = blue.Extract(v);
                }
            }
        }
    }
    return true;
}

}  // namespace

Error ReadBmpHeaders(std::span<const uint8_t> file, BmpHeaders& h) {
    h = BmpHeaders();
    if (file.size() < kBmpFileHeaderSize + 4) return Error::BmpShortHeader;
    const uint8_t* p = file.data();
    h.offBits = LoadLE32(p + 10);
    h.infoSize = LoadLE32(p + 14);
    if (h.infoSize < 12) return Error::BmpUnsupported;
    h.headersEnd = static_cast<uint64_t>(kBmpFileHeaderSize) + h.infoSize;
    if (file.size() < h.headersEnd) return Error::BmpShortHeader;

    const uint8_t* info = p + kBmpFileHeaderSize;
    if (h.infoSize == 12) {  // OS/2 1.x: 16-bit sides, 3-byte palette entries
        h.width = LoadLE16(info + 4);
        h.height = LoadLE16(info + 6);
        h.planes = LoadLE16(info + 8);
        h.bitCount = LoadLE16(info + 10);
        h.paletteEntrySize = 3;
        return Error::None;
    }
    auto field32 = [&](uint32_t offset) {
        return offset + 4 <= h.infoSize ? LoadLE32(info + offset) : 0u;
    };
    auto field16 = [&](uint32_t offset) {
        return offset + 2 <= h.infoSize ? LoadLE16(info + offset) : static_cast<uint16_t>(0);
    };
    h.width = static_cast<int32_t>(field32(4));
    h.height = static_cast<int32_t>(field32(8));
    h.planes = field16(12);
    h.bitCount = field16(14);
    h.compression = field32(16);
    h.clrUsed = field32(32);
    for (uint32_t i = 0; i < 4; ++i) h.masks[i] = field32(40 + 4 * i);
    // A 40-byte header with bit fields is followed by the masks themselves.
    if (h.infoSize == 40 &&
        (h.compression == kBmpBitfields || h.compression == kBmpAlphaBitfields)) {
        const uint32_t maskCount = h.compression == kBmpBitfields ? 3 : 4;
        if (file.size() < h.headersEnd + 4 * maskCount) return Error::BmpShortHeader;
        for (uint32_t i = 0; i < maskCount; ++i)
            h.masks[i] = LoadLE32(file.data() + h.headersEnd + 4 * i);
        h.headersEnd += 4 * maskCount;
    }
    return Error::None;
}

bool DecodeBmp(std::span<const uint8_t> file, ByteBuffer& rgb, int32_t& width, int32_t& height) {
    BmpHeaders h;
    if (ReadBmpHeaders(file, h) != Error::None) return false;
    if (file[0] != 'B' || file[1] != 'M' || !KnownInfoSize(h.infoSize)) return false;
    if (h.width <= 0 || h.width > kMaxSide || h.height == 0) return false;
    const bool topDown = h.height < 0;
    if (h.height < -kMaxSide || h.height > kMaxSide) return false;
    const int32_t w = h.width;
    const int32_t ht = topDown ? -h.height : h.height;
    const uint32_t bits = h.bitCount;

    bool fields = false;
    if (!SupportedEncoding(h, topDown, fields)) return false;
    if (h.offBits >= file.size()) return false;
    const std::span<const uint8_t> data = file.subspan(h.offBits);

    Rgb palette[256];
    if (bits <= 8) ReadPalette(file, h, palette);

    const size_t pixelCount = static_cast<size_t>(w) * ht;
    ByteBuffer out;

    if (h.compression == kBmpRle8 || h.compression == kBmpRle4) {
        if (pixelCount > data.size() * ReaderLimits::BmpRlePixelsPerByte) return false;
        std::vector<uint8_t> indices(pixelCount, 0);
        DecodeRle(data, h.compression == kBmpRle4, w, ht, indices);
        out.resize(pixelCount * 3);
        uint8_t* o = out.data();
        for (size_t i = 0; i < pixelCount; ++i, o += 3) {
            const Rgb& c = palette[indices[i]];
            o[0] = c.r;
            o[1] = c.g;
            o[2] = c.b;
        }
        rgb = std::move(out);
        width = w;
        height = ht;
        return true;
    }

    if (!DecodeRows(data, h, palette, fields, out)) return false;
    rgb = std::move(out);
    width = w;
    height = ht;
    return true;
}

}  // namespace core
