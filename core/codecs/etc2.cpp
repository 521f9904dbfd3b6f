#include "core/codecs/etc2.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace core {

// Pixels are assembled as 32-bit words whose memory order is R, G, B, A.
static_assert(std::endian::native == std::endian::little,
              "pixel words assume a little-endian host");

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// A block is one big-endian 64-bit word: `high` holds bits 63..32 (mode, base
// colours, tables), `low` bits 31..0 (the pixel indices; planar colour bits).
inline uint32_t LoadBig32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
inline void Store32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}

inline uint32_t Bits(uint32_t word, int shift, uint32_t mask) {
    return (word >> shift) & mask;
}
// 3-bit two's complement, -4..3.
inline int32_t Signed3(uint32_t v) {
    return static_cast<int32_t>(v ^ 4) - 4;
}
inline uint32_t Widen4(uint32_t v) {
    return v * 17;
}
inline uint32_t Widen5(uint32_t v) {
    return (v << 3) | (v >> 2);
}
inline uint32_t Widen6(uint32_t v) {
    return (v << 2) | (v >> 4);
}
inline uint32_t Widen7(uint32_t v) {
    return (v << 1) | (v >> 6);
}
inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16) | kOpaque;
}

// Byte-wise saturating add and subtract on eight bytes at once: two palette
// colours per word, so the clamping of every channel needs no branch.
inline uint64_t AddClamped(uint64_t x, uint64_t y) {
    constexpr uint64_t kTop = 0x8080808080808080ull;
    const uint64_t low = (x & ~kTop) + (y & ~kTop);
    const uint64_t carry = ((x & y) | ((x | y) & low)) & kTop;
    const uint64_t sum = low ^ ((x ^ y) & kTop);
    const uint64_t overflow = carry >> 7;
    return sum | (overflow * 0xFF);
}
inline uint64_t SubtractClamped(uint64_t x, uint64_t y) {
    return ~AddClamped(~x, y);
}
// The same amount in each colour byte of both halves' chosen positions.
inline uint64_t Grey(uint32_t amount) {
    return amount * 0x010101ull;
}
inline uint64_t Pair(uint32_t low, uint32_t high) {
    return low | (static_cast<uint64_t>(high) << 32);
}

// ETC1 intensity modifiers by table codeword: the small and the large step.
constexpr uint8_t kModifiers[8][2] = {{2, 8},   {5, 17},  {9, 29},   {13, 42},
                                      {18, 60}, {24, 80}, {33, 106}, {47, 183}};
// T and H mode distances.
constexpr uint8_t kDistances[8] = {3, 6, 11, 16, 23, 32, 41, 64};

// Spreads 16 bits into the low bit of 16 nibbles: bit i goes to bit 4i.
inline uint64_t SpreadToNibbles(uint32_t v) {
    uint64_t x = v & 0xFFFF;
    x = (x | (x << 24)) & 0x000000FF000000FFull;
    x = (x | (x << 12)) & 0x000F000F000F000Full;
    x = (x | (x << 6)) & 0x0303030303030303ull;
    x = (x | (x << 3)) & 0x1111111111111111ull;
    return x;
}

// The index bits run down the block's columns (bit 4x + y); each 16-bit half
// of `low` is transposed so that bit 4y + x is pixel (x, y) in line order.
inline uint32_t ToLineOrder(uint32_t v) {
    uint32_t t = (v ^ (v >> 3)) & 0x0A0A0A0Au;
    v ^= t ^ (t << 3);
    t = (v ^ (v >> 6)) & 0x00CC00CCu;
    v ^= t ^ (t << 6);
    return v;
}

// Nibble value 4 for the pixels of the second subblock, in line order.
constexpr uint64_t SecondSubblock(bool onTop) {
    uint64_t mask = 0;
    for (int p = 0; p < 16; ++p) {
        const bool second = onTop ? p >= 8 : p % 4 >= 2;
        if (second) mask |= 4ull << (4 * p);
    }
    return mask;
}
constexpr uint64_t kSecondSubblock[2] = {SecondSubblock(false), SecondSubblock(true)};
constexpr uint64_t kIdentity = 0xFEDCBA9876543210ull;

// One decoded block: pixel k (line order, top line first) is
// palette[(indices >> 4k) & 15] as an R, G, B, A word.
struct Block {
    uint32_t palette[16];
    uint64_t indices;

    uint32_t Pixel(int k) const { return palette[(indices >> (4 * k)) & 15]; }

    void Prepare(const uint8_t* bytes) {
        const uint32_t high = LoadBig32(bytes);
        const uint32_t low = LoadBig32(bytes + 4);
        const uint32_t r = Bits(high, 27, 31), g = Bits(high, 19, 31), b = Bits(high, 11, 31);
        const int32_t r2 = static_cast<int32_t>(r) + Signed3(Bits(high, 24, 7));
        const int32_t g2 = static_cast<int32_t>(g) + Signed3(Bits(high, 16, 7));
        const int32_t b2 = static_cast<int32_t>(b) + Signed3(Bits(high, 8, 7));
        const bool differential = (high & 2) != 0;
        // A differential block whose second colour leaves 0..31 is one of the
        // newer modes; those are rarer, so only they take a branch.
        if (differential && (static_cast<uint32_t>(r2 | g2 | b2) > 31)) {
            if (static_cast<uint32_t>(r2) > 31) {
                PrepareT(high, low);
            } else if (static_cast<uint32_t>(g2) > 31) {
                PrepareH(high, low);
            } else {
                PreparePlanar(high, low);
            }
            return;
        }
        // Individual (two 4-bit colours) and differential (a 5-bit colour and
        // the second as its offset) are both computed and one is kept.
        const uint32_t individual1 =
            Rgb(Widen4(high >> 28), Widen4(Bits(high, 20, 15)), Widen4(Bits(high, 12, 15)));
        const uint32_t individual2 =
            Rgb(Widen4(Bits(high, 24, 15)), Widen4(Bits(high, 16, 15)), Widen4(Bits(high, 8, 15)));
        const uint32_t differential1 = Rgb(Widen5(r), Widen5(g), Widen5(b));
        const uint32_t differential2 =
            Rgb(Widen5(static_cast<uint32_t>(r2) & 31), Widen5(static_cast<uint32_t>(g2) & 31),
                Widen5(static_cast<uint32_t>(b2) & 31));
        const uint32_t pick = 0u - static_cast<uint32_t>(differential);
        const uint32_t base1 = (differential1 & pick) | (individual1 & ~pick);
        const uint32_t base2 = (differential2 & pick) | (individual2 & ~pick);
        SubblockColours(base1, Bits(high, 5, 7), palette);
        SubblockColours(base2, Bits(high, 2, 7), palette + 4);
        indices = PaintIndices(low) | kSecondSubblock[high & 1];
    }

private:
    // Index bits (msb, lsb) 00, 01, 10, 11 pick +small, +large, -small, -large.
    static void SubblockColours(uint32_t base, uint32_t table, uint32_t* out) {
        const uint64_t both = Pair(base, base);
        const uint64_t steps = Pair(Grey(kModifiers[table][0]), Grey(kModifiers[table][1]));
        const uint64_t plus = AddClamped(both, steps);
        const uint64_t minus = SubtractClamped(both, steps);
        std::memcpy(out, &plus, 8);
        std::memcpy(out + 2, &minus, 8);
    }

    // Index (msb, lsb) of each pixel as a nibble 0..3, in line order.
    static uint64_t PaintIndices(uint32_t low) {
        const uint32_t lineOrder = ToLineOrder(low);
        return SpreadToNibbles(lineOrder) | (SpreadToNibbles(lineOrder >> 16) << 1);
    }

    // Paint colours: the first base colour, the second plus, as it is and minus
    // the distance.
    void PrepareT(uint32_t high, uint32_t low) {
        const uint32_t first = Rgb(Widen4((Bits(high, 27, 3) << 2) | Bits(high, 24, 3)),
                                   Widen4(Bits(high, 20, 15)), Widen4(Bits(high, 16, 15)));
        const uint32_t second =
            Rgb(Widen4(Bits(high, 12, 15)), Widen4(Bits(high, 8, 15)), Widen4(Bits(high, 4, 15)));
        const uint64_t distance = Grey(kDistances[(Bits(high, 2, 3) << 1) | (high & 1)]);
        const uint64_t upper = AddClamped(Pair(second, second), distance);
        const uint64_t lower = SubtractClamped(Pair(second, second), distance);
        palette[0] = first;
        palette[1] = static_cast<uint32_t>(upper);
        palette[2] = second;
        palette[3] = static_cast<uint32_t>(lower);
        indices = PaintIndices(low);
    }

    // Paint colours: each base colour plus and minus the distance, whose lowest
    // index bit says whether the first colour is not below the second.
    void PrepareH(uint32_t high, uint32_t low) {
        const uint32_t r1 = Bits(high, 27, 15);
        const uint32_t g1 = (Bits(high, 24, 7) << 1) | Bits(high, 20, 1);
        const uint32_t b1 = (Bits(high, 19, 1) << 3) | Bits(high, 15, 7);
        const uint32_t r2 = Bits(high, 11, 15), g2 = Bits(high, 7, 15), b2 = Bits(high, 3, 15);
        const uint32_t notBelow = ((r1 << 8) | (g1 << 4) | b1) >= ((r2 << 8) | (g2 << 4) | b2);
        const uint32_t index = (Bits(high, 2, 1) << 2) | ((high & 1) << 1) | notBelow;
        const uint64_t distance = Pair(Grey(kDistances[index]), Grey(kDistances[index]));
        const uint64_t bases =
            Pair(Rgb(Widen4(r1), Widen4(g1), Widen4(b1)), Rgb(Widen4(r2), Widen4(g2), Widen4(b2)));
        const uint64_t plus = AddClamped(bases, distance);
        const uint64_t minus = SubtractClamped(bases, distance);
        palette[0] = static_cast<uint32_t>(plus);
        palette[1] = static_cast<uint32_t>(minus);
        palette[2] = static_cast<uint32_t>(plus >> 32);
        palette[3] = static_cast<uint32_t>(minus >> 32);
        indices = PaintIndices(low);
    }

    // Three colours O, H and V span a plane: pixel (x, y) is
    // (x (H - O) + y (V - O) + 4 O + 2) / 4 per channel, clamped to 0..255.
    void PreparePlanar(uint32_t high, uint32_t low) {
        const uint64_t w = (static_cast<uint64_t>(high) << 32) | low;
        const auto at = [w](int shift, uint32_t mask) {
            return static_cast<uint32_t>(w >> shift) & mask;
        };
        const int32_t o[3] = {
            static_cast<int32_t>(Widen6(at(57, 63))),
            static_cast<int32_t>(Widen7((at(56, 1) << 6) | at(49, 63))),
            static_cast<int32_t>(Widen6((at(48, 1) << 5) | (at(43, 3) << 3) | at(39, 7)))};
        const int32_t h[3] = {static_cast<int32_t>(Widen6((at(34, 31) << 1) | at(32, 1))),
                              static_cast<int32_t>(Widen7(at(25, 127))),
                              static_cast<int32_t>(Widen6(at(19, 63)))};
        const int32_t v[3] = {static_cast<int32_t>(Widen6(at(13, 63))),
                              static_cast<int32_t>(Widen7(at(6, 127))),
                              static_cast<int32_t>(Widen6(at(0, 63)))};
        for (int k = 0; k < 16; ++k) palette[k] = kOpaque;
        for (int c = 0; c < 3; ++c) {
            const int32_t dx = h[c] - o[c], dy = v[c] - o[c];
            for (int y = 0; y < 4; ++y) {
                int32_t value = 4 * o[c] + 2 + y * dy;
                for (int x = 0; x < 4; ++x, value += dx) {
                    const int32_t clamped = std::clamp(value >> 2, 0, 255);
                    palette[4 * y + x] |= static_cast<uint32_t>(clamped) << (8 * c);
                }
            }
        }
        indices = kIdentity;
    }
};

// Writes pixels 4j .. 4j+3 of the block as one line of four pixels.
template <int Bpp>
inline void WriteLine(const Block& b, int j, uint8_t* dst) {
    const uint32_t p0 = b.Pixel(4 * j), p1 = b.Pixel(4 * j + 1);
    const uint32_t p2 = b.Pixel(4 * j + 2), p3 = b.Pixel(4 * j + 3);
    if constexpr (Bpp == 4) {
        Store32(dst, p0);
        Store32(dst + 4, p1);
        Store32(dst + 8, p2);
        Store32(dst + 12, p3);
    } else {
        // Four 3-byte pixels packed into 12 bytes without touching the 13th.
        const uint64_t first = static_cast<uint64_t>(p0 & 0xFFFFFF) |
                               (static_cast<uint64_t>(p1 & 0xFFFFFF) << 24) |
                               (static_cast<uint64_t>(p2 & 0xFFFF) << 48);
        const uint32_t rest = ((p2 >> 16) & 0xFF) | ((p3 & 0xFFFFFF) << 8);
        std::memcpy(dst, &first, 8);
        std::memcpy(dst + 8, &rest, 4);
    }
}

// Only the first `columns` pixels of the first `lines` lines: the blocks at the
// right or bottom edge of a picture whose sides are not multiples of 4.
template <int Bpp>
inline void WritePartial(const Block& b, int lines, int columns, uint8_t* line0, size_t lineBytes) {
    for (int j = 0; j < lines; ++j) {
        uint8_t* dst = line0 - j * lineBytes;
        for (int i = 0; i < columns; ++i) {
            const uint32_t p = b.Pixel(4 * j + i);
            std::memcpy(dst + i * Bpp, &p, Bpp);
        }
    }
}

template <int Bpp>
void DecodeRows(const uint8_t* data, int32_t width, int32_t height, uint8_t* out) {
    const size_t rows = (static_cast<size_t>(height) + 3) / 4;
    const size_t lineBytes = static_cast<size_t>(width) * Bpp;
    const size_t fullBlocks = static_cast<size_t>(width) / 4;
    const int edgeColumns = width % 4;
    const uint8_t* src = data;
    Block block;
    for (size_t r = 0; r < rows; ++r) {
        // The picture's line 4r (from the top) is store row height - 1 - 4r.
        uint8_t* line0 = out + (static_cast<size_t>(height) - 1 - 4 * r) * lineBytes;
        const int lines = static_cast<int>(std::min<size_t>(4, height - 4 * r));
        if (lines == 4) {
            uint8_t* dst = line0;
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += kEtc2BlockBytes, dst += 4 * Bpp) {
                block.Prepare(src);
                WriteLine<Bpp>(block, 0, dst);
                WriteLine<Bpp>(block, 1, dst - lineBytes);
                WriteLine<Bpp>(block, 2, dst - 2 * lineBytes);
                WriteLine<Bpp>(block, 3, dst - 3 * lineBytes);
            }
        } else {
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += kEtc2BlockBytes) {
                block.Prepare(src);
                WritePartial<Bpp>(block, lines, 4, line0 + bx * 4 * Bpp, lineBytes);
            }
        }
        if (edgeColumns != 0) {
            block.Prepare(src);
            src += kEtc2BlockBytes;
            WritePartial<Bpp>(block, lines, edgeColumns, line0 + fullBlocks * 4 * Bpp, lineBytes);
        }
    }
}

}  // namespace

size_t Etc2DataBytes(int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
    return (static_cast<size_t>(width) + 3) / 4 * ((static_cast<size_t>(height) + 3) / 4) *
           kEtc2BlockBytes;
}

bool DecodeEtc2Blocks(const uint8_t* data, size_t size, int32_t width, int32_t height,
                      int bytesPerPixel, uint8_t* out) {
    const size_t needed = Etc2DataBytes(width, height);
    if (needed == 0 || size < needed || data == nullptr || out == nullptr) return false;
    if (bytesPerPixel == 3) {
        DecodeRows<3>(data, width, height, out);
        return true;
    }
    if (bytesPerPixel == 4) {
        DecodeRows<4>(data, width, height, out);
        return true;
    }
    return false;
}

bool DecodeETC2(ImageStore& store, const uint8_t* data, size_t size, int32_t width,
                int32_t height) {
    store.Image.Compression = static_cast<int32_t>(Compression::None);
    const size_t needed = Etc2DataBytes(width, height);
    if (needed == 0 || size < needed) return false;  // checked before the picture is allocated
    ByteBuffer pixels(static_cast<size_t>(width) * height * 3);
    if (!DecodeEtc2Blocks(data, size, width, height, 3, pixels.data())) return false;
    store.AdoptPixels(std::move(pixels), width, height, static_cast<int32_t>(AlphaKind::None));
    return true;
}

}  // namespace core
