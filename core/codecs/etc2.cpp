#include "core/codecs/etc2.h"

#include "core/codecs/block_lines.h"
#include "core/image/channel_order.h"
#include "core/image/simd.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#ifdef SKEINPRESS_HAVE_SSSE3_CODE
#define SKEINPRESS_ETC2_VECTOR 1
#endif

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
    // A byte overflows when two of its top bits and the carry into bit 7 are set.
    const uint64_t carry = ((x & y) | ((x | y) & low)) & kTop;
    const uint64_t sum = low ^ ((x ^ y) & kTop);
    return sum | ((carry >> 7) * 0xFF);
}
inline uint64_t SubtractClamped(uint64_t x, uint64_t y) {
    return ~AddClamped(~x, y);
}
// The same amount in each colour byte.
inline uint64_t Grey(uint32_t amount) {
    return amount * 0x010101ull;
}
inline uint64_t Pair(uint64_t low, uint64_t high) {
    return low | (high << 32);
}

// ETC1 intensity modifiers by table codeword: the small and the large step.
constexpr uint8_t kModifiers[8][2] = {{2, 8},   {5, 17},  {9, 29},   {13, 42},
                                      {18, 60}, {24, 80}, {33, 106}, {47, 183}};
// T and H mode distances.
constexpr uint8_t kDistances[8] = {3, 6, 11, 16, 23, 32, 41, 64};

// What the mode bits say. A differential block whose second colour leaves
// 0..31 in red is a T block, else in green an H block, else in blue planar.
enum class Mode { Individual, Differential, T, H, Planar };

struct Header {
    uint32_t high;
    uint32_t colourBytes;  // the first three bytes in the order of a pixel word: R, G, B
    bool differential;

    explicit Header(const uint8_t* bytes)
        : high(LoadBig32(bytes)),
          colourBytes(bytes[0] | (bytes[1] << 8) | (static_cast<uint32_t>(bytes[2]) << 16)),
          differential((high & 2) != 0) {}

    // Individual and differential blocks are the common ones; the others are
    // told apart only after one test, made without a branch on the mode bit
    // (real data mixes individual and differential blocks freely). Each byte's
    // 5-bit colour plus its 3-bit signed offset, plus 32, lies in 32..63 (bit 5
    // set, bit 6 clear) exactly when the sum lies in 0..31.
    bool NewerMode() const {
        const uint32_t c = colourBytes;
        const uint32_t biased = ((c >> 3) & 0x1F1F1F) + ((c & 0x070707) ^ 0x040404) + 0x1C1C1C;
        return differential & (((~biased & 0x202020) | (biased & 0x404040)) != 0);
    }
    // Which newer mode: red's sum out of range gives T, else green's H, else planar.
    Mode NewerModeKind() const {
        const auto outOfRange = [this](int shift) {
            const int32_t sum =
                static_cast<int32_t>(Bits(high, shift + 3, 31)) + Signed3(Bits(high, shift, 7));
            return static_cast<uint32_t>(sum) > 31;
        };
        return outOfRange(24) ? Mode::T : outOfRange(16) ? Mode::H : Mode::Planar;
    }
    // The two subblocks' base colours, all three channels at once. Both readings
    // are computed and one is kept: individual (4-bit colours in the high and
    // low nibbles) or differential (a 5-bit colour and a 3-bit signed offset).
    void BaseColours(uint32_t& base1, uint32_t& base2) const {
        const uint32_t c = colourBytes;
        const uint32_t individual1 = (c & 0xF0F0F0) | ((c >> 4) & 0x0F0F0F);
        const uint32_t individual2 = (c & 0x0F0F0F) | ((c << 4) & 0xF0F0F0);
        const uint32_t differential1 = (c & 0xF8F8F8) | ((c >> 5) & 0x070707);
        // The offset times 8, as a byte: 0..24, or 0xC0 + 8 x offset when negative.
        const uint32_t offsets = c & 0x070707;
        const uint32_t step = (offsets << 3) | ((offsets & 0x040404) * 48);
        // Added byte by byte without carries between bytes (the sums stay in range).
        const uint32_t sum = (((c & 0x787878) + (step & 0x7F7F7F)) ^ ((c ^ step) & 0x808080));
        const uint32_t differential2 = sum | ((sum >> 5) & 0x070707);
        const uint32_t pick = 0u - static_cast<uint32_t>(differential);
        base1 = ((differential1 & pick) | (individual1 & ~pick)) | kOpaque;
        base2 = ((differential2 & pick) | (individual2 & ~pick)) | kOpaque;
    }
    uint32_t Table1() const { return Bits(high, 5, 7); }
    uint32_t Table2() const { return Bits(high, 2, 7); }
    bool OnTop() const { return (high & 1) != 0; }
};

// T and H blocks: two base colours and a distance (in each colour byte) from
// which the four paint colours are made.
struct PaintBases {
    uint32_t first, second;
    uint64_t distance;
};

// T: paint colours are the first base colour, and the second plus the
// distance, as it is and minus the distance.
inline PaintBases TBases(uint32_t high) {
    return {Rgb(Widen4((Bits(high, 27, 3) << 2) | Bits(high, 24, 3)), Widen4(Bits(high, 20, 15)),
                Widen4(Bits(high, 16, 15))),
            Rgb(Widen4(Bits(high, 12, 15)), Widen4(Bits(high, 8, 15)), Widen4(Bits(high, 4, 15))),
            Grey(kDistances[(Bits(high, 2, 3) << 1) | (high & 1)])};
}

// H: paint colours are each base colour plus and minus the distance, whose
// lowest index bit says whether the first colour is not below the second
// (compared as R, then G, then B).
inline PaintBases HBases(uint32_t high) {
    const uint32_t r1 = Bits(high, 27, 15);
    const uint32_t g1 = (Bits(high, 24, 7) << 1) | Bits(high, 20, 1);
    const uint32_t b1 = (Bits(high, 19, 1) << 3) | Bits(high, 15, 7);
    const uint32_t r2 = Bits(high, 11, 15), g2 = Bits(high, 7, 15), b2 = Bits(high, 3, 15);
    const uint32_t notBelow = ((r1 << 8) | (g1 << 4) | b1) >= ((r2 << 8) | (g2 << 4) | b2);
    return {Rgb(Widen4(r1), Widen4(g1), Widen4(b1)), Rgb(Widen4(r2), Widen4(g2), Widen4(b2)),
            Grey(kDistances[(Bits(high, 2, 1) << 2) | ((high & 1) << 1) | notBelow])};
}

inline void PaintT(uint32_t high, uint32_t paint[4]) {
    const PaintBases t = TBases(high);
    paint[0] = t.first;
    paint[1] = static_cast<uint32_t>(AddClamped(t.second, t.distance));
    paint[2] = t.second;
    paint[3] = static_cast<uint32_t>(SubtractClamped(t.second, t.distance));
}

inline void PaintH(uint32_t high, uint32_t paint[4]) {
    const PaintBases h = HBases(high);
    const uint64_t bases = Pair(h.first, h.second);
    const uint64_t plus = AddClamped(bases, Pair(h.distance, h.distance));
    const uint64_t minus = SubtractClamped(bases, Pair(h.distance, h.distance));
    paint[0] = static_cast<uint32_t>(plus);
    paint[1] = static_cast<uint32_t>(minus);
    paint[2] = static_cast<uint32_t>(plus >> 32);
    paint[3] = static_cast<uint32_t>(minus >> 32);
}

// A planar block's three colours O, H and V (R, G, B each), widened to 8 bits
// from 6, 7 and 6 bits.
struct PlanarColours {
    int32_t o[3], h[3], v[3];

    PlanarColours(uint32_t high, uint32_t low) {
        const uint64_t w = (static_cast<uint64_t>(high) << 32) | low;
        const auto at = [w](int shift, uint32_t mask) {
            return static_cast<uint32_t>(w >> shift) & mask;
        };
        const auto set = [](int32_t* c, uint32_t r6, uint32_t g7, uint32_t b6) {
            c[0] = static_cast<int32_t>(Widen6(r6));
            c[1] = static_cast<int32_t>(Widen7(g7));
            c[2] = static_cast<int32_t>(Widen6(b6));
        };
        set(o, at(57, 63), (at(56, 1) << 6) | at(49, 63),
            (at(48, 1) << 5) | (at(43, 3) << 3) | at(39, 7));
        set(h, (at(34, 31) << 1) | at(32, 1), at(25, 127), at(19, 63));
        set(v, at(13, 63), at(6, 127), at(0, 63));
    }
};

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

// One decoded block for the portable loops and the picture's edges: pixel k
// (line order, top line first) is palette[(indices >> 4k) & 15], an R, G, B, A
// word.
struct Block {
    uint32_t palette[16];
    uint64_t indices;

    uint32_t Pixel(int k) const { return palette[(indices >> (4 * k)) & 15]; }

    void Prepare(const uint8_t* bytes) {
        const Header header(bytes);
        const uint32_t low = LoadBig32(bytes + 4);
        if (header.NewerMode()) {
            switch (header.NewerModeKind()) {
                case Mode::T:
                    PaintT(header.high, palette);
                    indices = PaintIndices(low);
                    return;
                case Mode::H:
                    PaintH(header.high, palette);
                    indices = PaintIndices(low);
                    return;
                default:
                    Planar(PlanarColours(header.high, low));
                    return;
            }
        }
        uint32_t base1 = 0, base2 = 0;
        header.BaseColours(base1, base2);
        SubblockColours(base1, header.Table1(), palette);
        SubblockColours(base2, header.Table2(), palette + 4);
        indices = PaintIndices(low) | kSecondSubblock[header.OnTop()];
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

    // Pixel (x, y) is (x (H - O) + y (V - O) + 4 O + 2) / 4 per channel,
    // clamped to 0..255.
    void Planar(const PlanarColours& c) {
        for (int k = 0; k < 16; ++k) palette[k] = kOpaque;
        for (int ch = 0; ch < 3; ++ch) {
            const int32_t dx = c.h[ch] - c.o[ch], dy = c.v[ch] - c.o[ch];
            for (int y = 0; y < 4; ++y) {
                int32_t value = 4 * c.o[ch] + 2 + y * dy;
                for (int x = 0; x < 4; ++x, value += dx) {
                    const int32_t clamped = std::clamp(value >> 2, 0, 255);
                    palette[4 * y + x] |= static_cast<uint32_t>(clamped) << (8 * ch);
                }
            }
        }
        indices = kIdentity;
    }
};

template <int Bpp>
void PortableRow(const uint8_t* src, size_t blocks, uint8_t* dst, size_t lineBytes) {
    Block block;
    for (size_t b = 0; b < blocks; ++b, src += kEtc2BlockBytes, dst += 4 * Bpp) {
        block.Prepare(src);
        WriteBlockLine<Bpp>(block, 0, dst);
        WriteBlockLine<Bpp>(block, 1, dst - lineBytes);
        WriteBlockLine<Bpp>(block, 2, dst - 2 * lineBytes);
        WriteBlockLine<Bpp>(block, 3, dst - 3 * lineBytes);
    }
}

#ifdef SKEINPRESS_ETC2_VECTOR
// Whole blocks with SSSE3: a block has at most eight colours (two subblocks of
// four), held as two vectors of four R, G, B, A words; each line of four pixels
// is one byte shuffle from each, the other subblock's bytes zeroed. Planar
// blocks are computed a line at a time in 16-bit lanes. Chosen at run time, so
// the program still runs on processors without SSSE3.
#define SSSE3_FUNCTION __attribute__((target("ssse3")))
// The common path inlined into the row loop; the rarer modes kept out of it.
#define SSSE3_INLINE __attribute__((target("ssse3"), always_inline)) inline
#define SSSE3_APART __attribute__((target("ssse3"), noinline))

using Lanes = std::array<uint8_t, 16>;

// Steps added to (or taken from) the base colour's colour bytes for palette
// entries 0..3 of each modifier table: +small, +large, -small, -large.
constexpr std::array<Lanes, 8> ModifierLanes(bool minus) {
    std::array<Lanes, 8> lanes{};
    for (int t = 0; t < 8; ++t)
        for (int e = 0; e < 4; ++e)
            for (int c = 0; c < 3; ++c)
                lanes[t][4 * e + c] = (e >= 2) == minus ? kModifiers[t][e % 2] : 0;
    return lanes;
}
alignas(16) constexpr std::array<Lanes, 8> kPlusLanes = ModifierLanes(false);
alignas(16) constexpr std::array<Lanes, 8> kMinusLanes = ModifierLanes(true);

// For pixel p = 4y + x (line order), whose index bits are bit 4x + y of the
// 16-bit halves: the block byte holding its low (or high) index bit, and the
// bit within that byte.
constexpr Lanes IndexByteLanes(int byteOfFirstColumns) {
    Lanes lanes{};
    for (int p = 0; p < 16; ++p)
        lanes[p] = static_cast<uint8_t>(byteOfFirstColumns - (p % 4 >= 2 ? 1 : 0));
    return lanes;
}
constexpr Lanes IndexBitLanes() {
    Lanes lanes{};
    for (int p = 0; p < 16; ++p) lanes[p] = static_cast<uint8_t>(1 << (4 * (p % 2) + p / 4));
    return lanes;
}
alignas(16) constexpr Lanes kLowBitByte = IndexByteLanes(7);
alignas(16) constexpr Lanes kHighBitByte = IndexByteLanes(5);
alignas(16) constexpr Lanes kIndexBit = IndexBitLanes();

// Byte i of a line of four pixels of Bpp bytes belongs to pixel PixelOfByte(i)
// and is its byte ByteOfPixel(i); past the line's 12 bytes of 3-byte pixels the
// bytes are don't-cares.
constexpr int PixelOfByte(int bpp, int i) {
    return std::min(i / bpp, 3);
}
constexpr int ByteOfPixel(int bpp, int i) {
    return i < 4 * bpp ? i % bpp : 3;
}

// Bit 7 (a shuffle's "zero this byte") for the pixels of the second subblock,
// in line order.
constexpr Lanes SecondSubblockLanes(bool onTop) {
    Lanes lanes{};
    for (int p = 0; p < 16; ++p) lanes[p] = (onTop ? p >= 8 : p % 4 >= 2) ? 0x80 : 0;
    return lanes;
}
alignas(16) constexpr Lanes kSecondSubblockLanes[2] = {SecondSubblockLanes(false),
                                                       SecondSubblockLanes(true)};

// Which pixel of line 0 each output byte takes, and which byte of that pixel.
constexpr Lanes LinePixelLanes(int bpp) {
    Lanes lanes{};
    for (int i = 0; i < 16; ++i) lanes[i] = static_cast<uint8_t>(PixelOfByte(bpp, i));
    return lanes;
}
constexpr Lanes PixelByteLanes(int bpp) {
    Lanes lanes{};
    for (int i = 0; i < 16; ++i) lanes[i] = static_cast<uint8_t>(ByteOfPixel(bpp, i));
    return lanes;
}
alignas(16) constexpr Lanes kLinePixel[2] = {LinePixelLanes(3), LinePixelLanes(4)};
alignas(16) constexpr Lanes kPixelByte[2] = {PixelByteLanes(3), PixelByteLanes(4)};

SSSE3_INLINE __m128i Load(const Lanes& lanes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.data()));
}

// Each pixel's palette entry x 4 as one byte, in line order.
SSSE3_INLINE __m128i EntryOffsets(const uint8_t* bytes) {
    const __m128i block = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
    const __m128i bit = Load(kIndexBit);
    const __m128i low =
        _mm_cmpeq_epi8(_mm_and_si128(_mm_shuffle_epi8(block, Load(kLowBitByte)), bit), bit);
    const __m128i high =
        _mm_cmpeq_epi8(_mm_and_si128(_mm_shuffle_epi8(block, Load(kHighBitByte)), bit), bit);
    return _mm_or_si128(_mm_and_si128(high, _mm_set1_epi8(8)),
                        _mm_and_si128(low, _mm_set1_epi8(4)));
}

// Lines of four pixels of Bpp bytes from the two 4-colour palettes, each pixel
// from its subblock's.
template <int Bpp>
SSSE3_INLINE void PaletteLines(const uint8_t* bytes, __m128i first, __m128i second, bool onTop,
                               __m128i lines[4]) {
    // Offsets into the first palette, its bytes zeroed for the second
    // subblock's pixels; flipping bit 7 gives those into the second.
    const __m128i offsets = _mm_or_si128(EntryOffsets(bytes), Load(kSecondSubblockLanes[onTop]));
    const __m128i otherSubblock = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i within = Load(kPixelByte[Bpp - 3]);
    __m128i pixelOf = Load(kLinePixel[Bpp - 3]);
    for (int j = 0; j < 4; ++j) {
        const __m128i index = _mm_or_si128(_mm_shuffle_epi8(offsets, pixelOf), within);
        lines[j] = _mm_or_si128(_mm_shuffle_epi8(first, index),
                                _mm_shuffle_epi8(second, _mm_xor_si128(index, otherSubblock)));
        pixelOf = _mm_add_epi8(pixelOf, _mm_set1_epi8(4));
    }
}

// Pixel (x, y) = (x (H - O) + y (V - O) + 4 O + 2) / 4 per channel, in 16-bit
// lanes (pixels 0 and 1, then 2 and 3), clamped to bytes by the pack.
SSSE3_INLINE void PlanarLines(const PlanarColours& c, __m128i lines[4]) {
    int16_t start[3], dx[3], dy[3];
    for (int ch = 0; ch < 3; ++ch) {
        start[ch] = static_cast<int16_t>(4 * c.o[ch] + 2);
        dx[ch] = static_cast<int16_t>(c.h[ch] - c.o[ch]);
        dy[ch] = static_cast<int16_t>(c.v[ch] - c.o[ch]);
    }
    const __m128i step = _mm_setr_epi16(0, 0, 0, 0, dx[0], dx[1], dx[2], 0);
    const __m128i steps = _mm_setr_epi16(dx[0], dx[1], dx[2], 0, dx[0], dx[1], dx[2], 0);
    const __m128i down = _mm_setr_epi16(dy[0], dy[1], dy[2], 0, dy[0], dy[1], dy[2], 0);
    __m128i left = _mm_add_epi16(
        _mm_setr_epi16(start[0], start[1], start[2], 0, start[0], start[1], start[2], 0), step);
    __m128i right = _mm_add_epi16(left, _mm_add_epi16(steps, steps));
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    for (int j = 0; j < 4; ++j) {
        lines[j] = _mm_or_si128(_mm_packus_epi16(_mm_srai_epi16(left, 2), _mm_srai_epi16(right, 2)),
                                opaque);
        left = _mm_add_epi16(left, down);
        right = _mm_add_epi16(right, down);
    }
}

// Paint colours from the entries' base colours, the distance added to some
// entries and taken from others.
SSSE3_INLINE __m128i PaintColours(uint32_t e0, uint32_t e1, uint32_t e2, uint32_t e3,
                                  uint64_t distance, __m128i plusEntries, __m128i minusEntries) {
    const __m128i d = _mm_set1_epi32(static_cast<int>(distance));
    const __m128i bases = _mm_setr_epi32(static_cast<int>(e0), static_cast<int>(e1),
                                         static_cast<int>(e2), static_cast<int>(e3));
    return _mm_subs_epu8(_mm_adds_epu8(bases, _mm_and_si128(d, plusEntries)),
                         _mm_and_si128(d, minusEntries));
}

// T, H and planar blocks, apart from the row loop.
template <int Bpp>
SSSE3_APART void NewerModeLines(const uint8_t* bytes, const Header& header, __m128i lines[4]) {
    __m128i colours;
    switch (header.NewerModeKind()) {
        case Mode::T: {
            const PaintBases t = TBases(header.high);
            colours = PaintColours(t.first, t.second, t.second, t.second, t.distance,
                                   _mm_setr_epi32(0, -1, 0, 0), _mm_setr_epi32(0, 0, 0, -1));
            break;
        }
        case Mode::H: {
            const PaintBases h = HBases(header.high);
            colours = PaintColours(h.first, h.first, h.second, h.second, h.distance,
                                   _mm_setr_epi32(-1, 0, -1, 0), _mm_setr_epi32(0, -1, 0, -1));
            break;
        }
        default:
            PlanarLines(PlanarColours(header.high, LoadBig32(bytes + 4)), lines);
            if constexpr (Bpp == 3) {
                const __m128i packRgb =
                    _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
                for (int j = 0; j < 4; ++j) lines[j] = _mm_shuffle_epi8(lines[j], packRgb);
            }
            return;
    }
    PaletteLines<Bpp>(bytes, colours, colours, false, lines);
}

// The four lines of one block, each four pixels of Bpp bytes.
template <int Bpp>
SSSE3_INLINE void VectorBlock(const uint8_t* bytes, __m128i lines[4]) {
    const Header header(bytes);
    if (header.NewerMode()) {
        NewerModeLines<Bpp>(bytes, header, lines);
        return;
    }
    uint32_t base1 = 0, base2 = 0;
    header.BaseColours(base1, base2);
    const uint32_t table1 = header.Table1(), table2 = header.Table2();
    const __m128i first = _mm_subs_epu8(
        _mm_adds_epu8(_mm_set1_epi32(static_cast<int>(base1)), Load(kPlusLanes[table1])),
        Load(kMinusLanes[table1]));
    const __m128i second = _mm_subs_epu8(
        _mm_adds_epu8(_mm_set1_epi32(static_cast<int>(base2)), Load(kPlusLanes[table2])),
        Load(kMinusLanes[table2]));
    PaletteLines<Bpp>(bytes, first, second, header.OnTop(), lines);
}

template <int Bpp>
SSSE3_FUNCTION void VectorRow(const uint8_t* src, size_t blocks, uint8_t* dst, size_t lineBytes) {
    __m128i lines[4];
    for (size_t b = 0; b < blocks; ++b, src += kEtc2BlockBytes, dst += 4 * Bpp) {
        VectorBlock<Bpp>(src, lines);
        for (int j = 0; j < 4; ++j) {
            uint8_t* out = dst - j * lineBytes;
            if constexpr (Bpp == 4) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), lines[j]);
            } else {
                const __m128i line = lines[j];
                if (b + 1 < blocks) {
                    // The 4 extra bytes land where the next block writes next.
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), line);
                } else {
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), line);
                    Store32(out + 8,
                            static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(line, 8))));
                }
            }
        }
    }
}
#endif

using RowFunction = void (*)(const uint8_t* src, size_t blocks, uint8_t* dst, size_t lineBytes);

template <int Bpp>
RowFunction WholeBlockRow(Etc2Code code) {
#ifdef SKEINPRESS_ETC2_VECTOR
    if (code == Etc2Code::Fastest && HasSsse3()) return VectorRow<Bpp>;
#else
    (void)code;
#endif
    return PortableRow<Bpp>;
}

template <int Bpp>
void DecodeRows(const uint8_t* data, int32_t width, int32_t height, uint8_t* out, Etc2Code code) {
    const RowFunction wholeBlocks = WholeBlockRow<Bpp>(code);
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
            wholeBlocks(src, fullBlocks, line0, lineBytes);
            src += fullBlocks * kEtc2BlockBytes;
        } else {
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += kEtc2BlockBytes) {
                block.Prepare(src);
                WritePartialBlock<Bpp>(block, lines, 4, line0 + bx * 4 * Bpp, lineBytes);
            }
        }
        if (edgeColumns != 0) {
            block.Prepare(src);
            src += kEtc2BlockBytes;
            WritePartialBlock<Bpp>(block, lines, edgeColumns, line0 + fullBlocks * 4 * Bpp,
                                   lineBytes);
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
                      int bytesPerPixel, uint8_t* out, Etc2Code code) {
    const size_t needed = Etc2DataBytes(width, height);
    if (needed == 0 || size < needed || data == nullptr || out == nullptr) return false;
    if (bytesPerPixel == 3) {
        DecodeRows<3>(data, width, height, out, code);
        return true;
    }
    if (bytesPerPixel == 4) {
        DecodeRows<4>(data, width, height, out, code);
        return true;
    }
    return false;
}

bool DecodeETC2(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height) {
    image.Compression = static_cast<int32_t>(Compression::None);
    const size_t needed = Etc2DataBytes(width, height);
    if (needed == 0 || size < needed) return false;  // checked before the picture is allocated
    ByteBuffer pixels(static_cast<size_t>(width) * height * 3);
    if (!DecodeEtc2Blocks(data, size, width, height, 3, pixels.data())) return false;
    image.AdoptPixels(std::move(pixels), width, height, static_cast<int32_t>(AlphaKind::None));
    return true;
}

}  // namespace core
