#include "core/codecs/dxt.h"

#include "core/codecs/block_lines.h"
#include "core/image/channel_order.h"
#include "core/image/simd.h"
#include "core/io/byte_order.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

namespace core {

// Pixels are assembled as 32-bit words whose memory order is R, G, B, A.
static_assert(std::endian::native == std::endian::little,
              "pixel words assume a little-endian host");

namespace {

inline uint64_t Load48(const uint8_t* p) {
    return static_cast<uint64_t>(LoadLE32(p)) | (static_cast<uint64_t>(LoadLE16(p + 4)) << 32);
}

constexpr uint32_t kOpaque = 0xFF000000u;

// Colour arithmetic on all three channels at once: red, green and blue sit in
// 21-bit lanes of a 64-bit word, wide enough for the products below.
constexpr int kLane = 21;
constexpr uint64_t kLaneBytes = 0xFFull | (0xFFull << kLane) | (0xFFull << (2 * kLane));

// A 5:6:5 colour widened by x8 / x4 (low bits left empty: 0xFFFF gives 248, 252, 248);
// red in the first lane, or with Bgr blue. Red and blue are widened alike, so
// every later step is the same for both orders.
template <bool Bgr>
inline uint64_t SpreadColour(uint32_t c) {
    const uint32_t first = Bgr ? c & 31 : c >> 11, third = Bgr ? c >> 11 : c & 31;
    return (static_cast<uint64_t>(first) << 3) |
           (static_cast<uint64_t>((c >> 5) & 63) << (kLane + 2)) |
           (static_cast<uint64_t>(third) << (2 * kLane + 3));
}

// Lanes back to a pixel word R, G, B (or B, G, R), alpha byte 0.
inline uint32_t PackColour(uint64_t v) {
    return static_cast<uint32_t>((v & 0xFF) | ((v >> (kLane - 8)) & 0xFF00) |
                                 ((v >> (2 * kLane - 16)) & 0xFF0000));
}

// Per lane x / 3, exact for x up to 496: (x * 171) >> 9. Takes the product x * 171.
inline uint64_t Third(uint64_t times171) {
    return (times171 >> 9) & kLaneBytes;
}

// The four colours of a block (alpha byte 0). Colour 2 = 2c0/3 + c1/3 and
// colour 3 = c0/3 + 2c1/3, each term truncated on its own, so 8 and 8 give
// 5 + 2 = 7. With threeColourAllowed (DXT1) a block whose c0 is not above c1 has
// colour 2 = c0/2 + c1/2 and colour 3 the same. Returns all ones for such a
// three-colour block, else 0.
template <bool Bgr>
inline uint32_t MakeColours(const uint8_t* colourPart, bool threeColourAllowed,
                            uint32_t colours[4]) {
    const uint32_t c0 = LoadLE16(colourPart);
    const uint32_t c1 = LoadLE16(colourPart + 2);
    const uint64_t v0 = SpreadColour<Bgr>(c0), v1 = SpreadColour<Bgr>(c1);
    const uint64_t m0 = v0 * 171, m1 = v1 * 171;
    uint64_t v2 = Third(m0 * 2) + Third(m1);
    uint64_t v3 = Third(m0) + Third(m1 * 2);
    uint32_t threeColour = 0;
    if (threeColourAllowed) {
        // Chosen without a branch: real data mixes both kinds of block.
        threeColour = 0u - static_cast<uint32_t>(c0 <= c1);
        const uint64_t select = 0ull - static_cast<uint64_t>(c0 <= c1);
        const uint64_t half = ((v0 >> 1) & kLaneBytes) + ((v1 >> 1) & kLaneBytes);
        v2 = (v2 & ~select) | (half & select);
        v3 = (v3 & ~select) | (half & select);
    }
    colours[0] = PackColour(v0);
    colours[1] = PackColour(v1);
    colours[2] = PackColour(v2);
    colours[3] = PackColour(v3);
    return threeColour;
}

// Each block kind: Prepare() reads one block, Pixel(k) gives its pixel k (line
// order, top line first, left to right) as an R, G, B, A word, or with Bgr a
// B, G, R, A word.
template <bool Bgr>
struct Dxt1Opaque {
    static constexpr bool kBgr = Bgr;
    static constexpr size_t kBlockBytes = 8;
    uint32_t colours[4];
    uint32_t indices;
    void Prepare(const uint8_t* block) {
        MakeColours<Bgr>(block, true, colours);
        indices = LoadLE32(block + 4);
    }
    uint32_t Pixel(int k) const { return colours[(indices >> (2 * k)) & 3]; }
};

template <bool Bgr>
struct Dxt1Masked {
    static constexpr bool kBgr = Bgr;
    static constexpr size_t kBlockBytes = 8;
    uint32_t colours[4];
    uint32_t indices;
    void Prepare(const uint8_t* block) {
        const uint32_t threeColour = MakeColours<Bgr>(block, true, colours);
        colours[0] |= kOpaque;
        colours[1] |= kOpaque;
        colours[2] |= kOpaque;
        colours[3] |= kOpaque & ~threeColour;  // index 3 of a three-colour block is transparent
        indices = LoadLE32(block + 4);
    }
    uint32_t Pixel(int k) const { return colours[(indices >> (2 * k)) & 3]; }
};

// Nibble v gives v x 16, except 15 which gives 255; shifted into the alpha byte.
constexpr uint32_t kDxt3Alpha[16] = {
    0u << 24,   16u << 24,  32u << 24,  48u << 24,  64u << 24,  80u << 24,  96u << 24,  112u << 24,
    128u << 24, 144u << 24, 160u << 24, 176u << 24, 192u << 24, 208u << 24, 224u << 24, 255u << 24};

template <bool Bgr>
struct Dxt3 {
    static constexpr bool kBgr = Bgr;
    static constexpr size_t kBlockBytes = 16;
    uint32_t colours[4];
    uint32_t indices;
    uint64_t alphas;
    void Prepare(const uint8_t* block) {
        alphas = LoadLE64(block);
        MakeColours<Bgr>(block + 8, false, colours);
        indices = LoadLE32(block + 12);
    }
    uint32_t Pixel(int k) const {
        return colours[(indices >> (2 * k)) & 3] | kDxt3Alpha[(alphas >> (4 * k)) & 15];
    }
};

template <bool Bgr>
struct Dxt5 {
    static constexpr bool kBgr = Bgr;
    static constexpr size_t kBlockBytes = 16;
    uint32_t colours[4];
    uint32_t indices;
    uint32_t alphaPalette[8];  // shifted into the alpha byte
    uint64_t alphaIndices;
    void Prepare(const uint8_t* block) {
        const uint32_t a0 = block[0], a1 = block[1];
        // Eight values when a0 > a1, else six plus 0 and 255; both are computed
        // and one is kept, without a branch.
        const uint32_t eight = 0u - static_cast<uint32_t>(a0 > a1);
        const auto pick = [eight](uint32_t ofEight, uint32_t ofSix) {
            return ((ofEight & eight) | (ofSix & ~eight)) << 24;
        };
        uint32_t* p = alphaPalette;
        p[0] = a0 << 24;
        p[1] = a1 << 24;
        p[2] = pick((6 * a0 + a1) / 7, (4 * a0 + a1) / 5);
        p[3] = pick((5 * a0 + 2 * a1) / 7, (3 * a0 + 2 * a1) / 5);
        p[4] = pick((4 * a0 + 3 * a1) / 7, (2 * a0 + 3 * a1) / 5);
        p[5] = pick((3 * a0 + 4 * a1) / 7, (a0 + 4 * a1) / 5);
        p[6] = pick((2 * a0 + 5 * a1) / 7, 0);
        p[7] = pick((a0 + 6 * a1) / 7, 255);
        alphaIndices = Load48(block + 2);
        MakeColours<Bgr>(block + 8, false, colours);
        indices = LoadLE32(block + 12);
    }
    uint32_t Pixel(int k) const {
        return colours[(indices >> (2 * k)) & 3] | alphaPalette[(alphaIndices >> (3 * k)) & 7];
    }
};

#ifdef SKEINPRESS_HAVE_SSSE3_CODE
// Whole block rows with SSSE3 byte shuffles: each line of four pixels is one
// table lookup from the block's palette. Chosen at run time, so the program
// still runs on processors without SSSE3.

// The block's four colours as one vector of R, G, B, A bytes (with Bgr B, G, R,
// A), computed in 16-bit lanes: c0's channels in lanes 0..2, c1's in lanes
// 4..6. Divisions by 3 are exact multiply-highs for values up to 496. Alpha
// bytes are 0, or with `masked` 255 except for colour 3 of a three-colour block.
template <bool Dxt1, bool Masked, bool Bgr>
SKEINPRESS_SSSE3 inline __m128i ColourPalette(const uint8_t* colourPart) {
    const uint8_t z = 0x80;
    const __m128i both = _mm_cvtsi32_si128(static_cast<int>(LoadLE32(colourPart)));
    const __m128i spread =
        _mm_shuffle_epi8(both, _mm_setr_epi8(0, 1, 0, 1, 0, 1, z, z, 2, 3, 2, 3, 2, 3, z, z));
    // Each lane's copy of the colour is shifted so that its channel's top bit
    // lands on bit 15, then brought down by 8 and cut: R x 8, G x 4, B x 8.
    const int16_t toTop0 = Bgr ? 2048 : 1, toTop2 = Bgr ? 1 : 2048;
    const __m128i e = _mm_and_si128(
        _mm_srli_epi16(
            _mm_mullo_epi16(spread, _mm_setr_epi16(toTop0, 32, toTop2, 0, toTop0, 32, toTop2, 0)),
            8),
        _mm_setr_epi16(0xF8, 0xFC, 0xF8, 0, 0xF8, 0xFC, 0xF8, 0));
    const __m128i byThree = _mm_set1_epi16(21846);
    const __m128i third = _mm_mulhi_epu16(e, byThree);                        // c0/3 | c1/3
    const __m128i twoThirds = _mm_mulhi_epu16(_mm_add_epi16(e, e), byThree);  // 2c0/3 | 2c1/3
    constexpr int kSwapHalves = _MM_SHUFFLE(1, 0, 3, 2);
    __m128i c23 =
        _mm_add_epi16(twoThirds, _mm_shuffle_epi32(third, kSwapHalves));  // colour 2 | colour 3
    __m128i threeColour = _mm_setzero_si128();
    if constexpr (Dxt1) {
        const uint32_t c0 = LoadLE16(colourPart), c1 = LoadLE16(colourPart + 2);
        threeColour = _mm_set1_epi16(static_cast<int16_t>(-static_cast<int>(c0 <= c1)));
        const __m128i half = _mm_srli_epi16(e, 1);
        const __m128i average = _mm_add_epi16(half, _mm_shuffle_epi32(half, kSwapHalves));
        c23 = _mm_or_si128(_mm_and_si128(threeColour, average), _mm_andnot_si128(threeColour, c23));
    }
    __m128i palette = _mm_packus_epi16(e, c23);
    if constexpr (Masked) {
        const __m128i lastOnly = _mm_setr_epi32(0, 0, 0, -1);
        const __m128i transparent = _mm_and_si128(threeColour, lastOnly);
        palette = _mm_or_si128(
            palette, _mm_andnot_si128(transparent, _mm_set1_epi32(static_cast<int>(kOpaque))));
    }
    return palette;
}

// The byte offset of each pixel's colour in the palette (index x 4), in line
// order. Each pixel's line byte goes to a 16-bit lane, and a per-lane multiply
// moves the pixel's two bits to bits 8..9, from where a shift puts them at 2..3.
SKEINPRESS_SSSE3 inline __m128i ColourOffsets(uint32_t indices) {
    const uint8_t z = 0x80;
    const __m128i lines = _mm_cvtsi32_si128(static_cast<int>(indices));
    const __m128i toTop = _mm_setr_epi16(256, 64, 16, 4, 256, 64, 16, 4);
    const __m128i twelve = _mm_set1_epi16(12);
    const __m128i upper =
        _mm_shuffle_epi8(lines, _mm_setr_epi8(0, z, 0, z, 0, z, 0, z, 1, z, 1, z, 1, z, 1, z));
    const __m128i lower =
        _mm_shuffle_epi8(lines, _mm_setr_epi8(2, z, 2, z, 2, z, 2, z, 3, z, 3, z, 3, z, 3, z));
    return _mm_packus_epi16(
        _mm_and_si128(_mm_srli_epi16(_mm_mullo_epi16(upper, toTop), 6), twelve),
        _mm_and_si128(_mm_srli_epi16(_mm_mullo_epi16(lower, toTop), 6), twelve));
}

// The 16 three-bit alpha indices of a DXT5 block (48 bits from `bits`) as one
// byte each: pixel k's two source bytes go to a 16-bit lane, and a per-lane
// multiply moves bits 3k mod 8 .. +2 to bits 8..10.
SKEINPRESS_SSSE3 inline __m128i AlphaIndices(const uint8_t* bits) {
    const __m128i packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bits));
    const __m128i toTop = _mm_setr_epi16(256, 32, 4, 128, 16, 2, 64, 8);
    const __m128i seven = _mm_set1_epi16(7);
    const __m128i first =
        _mm_shuffle_epi8(packed, _mm_setr_epi8(0, 1, 0, 1, 0, 1, 1, 2, 1, 2, 1, 2, 2, 3, 2, 3));
    const __m128i second =
        _mm_shuffle_epi8(packed, _mm_setr_epi8(3, 4, 3, 4, 3, 4, 4, 5, 4, 5, 4, 5, 5, 6, 5, 6));
    return _mm_packus_epi16(
        _mm_and_si128(_mm_srli_epi16(_mm_mullo_epi16(first, toTop), 8), seven),
        _mm_and_si128(_mm_srli_epi16(_mm_mullo_epi16(second, toTop), 8), seven));
}

SKEINPRESS_SSSE3 inline __m128i Bytes16(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4,
                                        uint8_t b5, uint8_t b6, uint8_t b7, uint8_t b8, uint8_t b9,
                                        uint8_t b10, uint8_t b11, uint8_t b12, uint8_t b13,
                                        uint8_t b14, uint8_t b15) {
    return _mm_setr_epi8(b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15);
}

// Line j of 4-byte pixels: colour bytes from the palette and, WithAlpha, the
// alpha bytes from `alphas` (one byte per pixel of the block, line order).
template <bool WithAlpha>
SKEINPRESS_SSSE3 inline __m128i Line4(__m128i palette, __m128i offsets, __m128i alphas, int j) {
    const uint8_t p = static_cast<uint8_t>(4 * j);
    const __m128i spread = Bytes16(p, p, p, p, p + 1, p + 1, p + 1, p + 1, p + 2, p + 2, p + 2,
                                   p + 2, p + 3, p + 3, p + 3, p + 3);
    const __m128i within = _mm_setr_epi8(0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3);
    __m128i line =
        _mm_shuffle_epi8(palette, _mm_or_si128(_mm_shuffle_epi8(offsets, spread), within));
    if constexpr (WithAlpha) {
        const uint8_t z = 0x80;  // shuffle writes zero
        const __m128i place = Bytes16(z, z, z, p, z, z, z, p + 1, z, z, z, p + 2, z, z, z, p + 3);
        line = _mm_or_si128(line, _mm_shuffle_epi8(alphas, place));
    }
    return line;
}

template <bool WithAlpha>
SKEINPRESS_SSSE3 inline void StoreBlock4(uint8_t* dst, size_t lineBytes, __m128i palette,
                                         __m128i offsets, __m128i alphas) {
    for (int j = 0; j < 4; ++j) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst - j * lineBytes),
                         Line4<WithAlpha>(palette, offsets, alphas, j));
    }
}

template <bool Bgr>
SKEINPRESS_SSSE3 void VectorRowDxt1Rgba(const uint8_t* src, size_t blocks, uint8_t* dst,
                                        size_t lineBytes) {
    for (size_t b = 0; b < blocks; ++b, src += 8, dst += 16) {
        StoreBlock4<false>(dst, lineBytes, ColourPalette<true, true, Bgr>(src),
                           ColourOffsets(LoadLE32(src + 4)), _mm_setzero_si128());
    }
}

template <bool Bgr>
SKEINPRESS_SSSE3 void VectorRowDxt1Rgb(const uint8_t* src, size_t blocks, uint8_t* dst,
                                       size_t lineBytes) {
    for (size_t b = 0; b < blocks; ++b, src += 8, dst += 12) {
        const __m128i palette = ColourPalette<true, false, Bgr>(src);
        const __m128i offsets = ColourOffsets(LoadLE32(src + 4));
        const __m128i within = _mm_setr_epi8(0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 0, 0, 0);
        for (int j = 0; j < 4; ++j) {
            const uint8_t p = static_cast<uint8_t>(4 * j), z = 0x80;
            const __m128i spread = Bytes16(p, p, p, p + 1, p + 1, p + 1, p + 2, p + 2, p + 2, p + 3,
                                           p + 3, p + 3, z, z, z, z);
            const __m128i line =
                _mm_shuffle_epi8(palette, _mm_or_si128(_mm_shuffle_epi8(offsets, spread), within));
            uint8_t* out = dst - j * lineBytes;
            if (b + 1 < blocks) {
                // The 4 extra bytes land where the next block writes next.
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), line);
            } else {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out), line);
                const uint32_t last =
                    static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(line, 8)));
                StoreLE32(out + 8, last);
            }
        }
    }
}

template <bool Bgr>
SKEINPRESS_SSSE3 void VectorRowDxt3(const uint8_t* src, size_t blocks, uint8_t* dst,
                                    size_t lineBytes) {
    const __m128i table = _mm_setr_epi8(
        0, 16, 32, 48, 64, 80, 96, 112, static_cast<char>(128), static_cast<char>(144),
        static_cast<char>(160), static_cast<char>(176), static_cast<char>(192),
        static_cast<char>(208), static_cast<char>(224), static_cast<char>(255));
    const __m128i low4 = _mm_set1_epi8(0x0F);
    for (size_t b = 0; b < blocks; ++b, src += 16, dst += 16) {
        const __m128i packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src));
        const __m128i nibbles = _mm_unpacklo_epi8(_mm_and_si128(packed, low4),
                                                  _mm_and_si128(_mm_srli_epi16(packed, 4), low4));
        StoreBlock4<true>(dst, lineBytes, ColourPalette<false, false, Bgr>(src + 8),
                          ColourOffsets(LoadLE32(src + 12)), _mm_shuffle_epi8(table, nibbles));
    }
}

template <bool Bgr>
SKEINPRESS_SSSE3 void VectorRowDxt5(const uint8_t* src, size_t blocks, uint8_t* dst,
                                    size_t lineBytes) {
    // Alpha palette in 16-bit lanes: lane k = (w0 a0 + w1 a1) / 7 or / 5, the
    // products summed by one multiply-add of the (a0, a1) byte pairs, the
    // divisions done as multiply-highs that are exact for these ranges.
    const __m128i sevenths = _mm_setr_epi8(7, 0, 0, 7, 6, 1, 5, 2, 4, 3, 3, 4, 2, 5, 1, 6);
    const __m128i fifths = _mm_setr_epi8(5, 0, 0, 5, 4, 1, 3, 2, 2, 3, 1, 4, 0, 0, 0, 0);
    const __m128i pairs = _mm_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1);
    const __m128i byOf7 = _mm_set1_epi16(9363), byOf5 = _mm_set1_epi16(13108);
    const __m128i opaqueLast = _mm_setr_epi16(0, 0, 0, 0, 0, 0, 0, 255);
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    for (size_t b = 0; b < blocks; ++b, src += 16, dst += 16) {
        const __m128i ends =
            _mm_shuffle_epi8(_mm_cvtsi32_si128(static_cast<int>(LoadLE16(src))), pairs);
        const __m128i eight = _mm_mulhi_epu16(_mm_maddubs_epi16(ends, sevenths), byOf7);
        const __m128i six =
            _mm_or_si128(_mm_mulhi_epu16(_mm_maddubs_epi16(ends, fifths), byOf5), opaqueLast);
        const __m128i useEight =
            _mm_cmpgt_epi16(_mm_and_si128(ends, lowByte), _mm_srli_epi16(ends, 8));
        const __m128i palette16 =
            _mm_or_si128(_mm_and_si128(useEight, eight), _mm_andnot_si128(useEight, six));
        const __m128i alphaPalette = _mm_packus_epi16(palette16, palette16);
        const __m128i alphaIndices = AlphaIndices(src + 2);  // reads 2 colour bytes too, unused
        StoreBlock4<true>(dst, lineBytes, ColourPalette<false, false, Bgr>(src + 8),
                          ColourOffsets(LoadLE32(src + 12)),
                          _mm_shuffle_epi8(alphaPalette, alphaIndices));
    }
}
#endif

using RowFunction = void (*)(const uint8_t* src, size_t blocks, uint8_t* dst, size_t lineBytes);

// The vector loop for whole blocks of whole block rows, or null.
template <class Block>
RowFunction VectorRow() {
#ifdef SKEINPRESS_HAVE_SSSE3_CODE
    if (!HasSsse3()) return nullptr;
    constexpr bool bgr = Block::kBgr;
    if constexpr (std::is_same_v<Block, Dxt1Opaque<bgr>>) return VectorRowDxt1Rgb<bgr>;
    if constexpr (std::is_same_v<Block, Dxt1Masked<bgr>>) return VectorRowDxt1Rgba<bgr>;
    if constexpr (std::is_same_v<Block, Dxt3<bgr>>) return VectorRowDxt3<bgr>;
    if constexpr (std::is_same_v<Block, Dxt5<bgr>>) return VectorRowDxt5<bgr>;
#endif
    return nullptr;
}

template <int Bpp, class Block>
void DecodeRows(const uint8_t* data, size_t rows, int32_t width, int32_t height, uint8_t* out,
                RowFunction vectorRow) {
    const size_t blocksPerRow = (static_cast<size_t>(width) + 3) / 4;
    const size_t rowBytes = blocksPerRow * Block::kBlockBytes;
    const size_t lineBytes = static_cast<size_t>(width) * Bpp;
    const size_t fullBlocks = static_cast<size_t>(width) / 4;
    const int edgeColumns = width % 4;
    Block block;
    for (size_t r = 0; r < rows; ++r) {
        const uint8_t* src = data + r * rowBytes;
        // The picture's line 4r (from the top) is image row height - 1 - 4r.
        uint8_t* line0 = out + (static_cast<size_t>(height) - 1 - 4 * r) * lineBytes;
        const int lines = static_cast<int>(std::min<size_t>(4, height - 4 * r));
        if (lines == 4 && vectorRow != nullptr) {
            vectorRow(src, fullBlocks, line0, lineBytes);
            src += fullBlocks * Block::kBlockBytes;
        } else if (lines == 4) {
            uint8_t* dst = line0;
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += Block::kBlockBytes, dst += 4 * Bpp) {
                block.Prepare(src);
                WriteBlockLine<Bpp>(block, 0, dst);
                WriteBlockLine<Bpp>(block, 1, dst - lineBytes);
                WriteBlockLine<Bpp>(block, 2, dst - 2 * lineBytes);
                WriteBlockLine<Bpp>(block, 3, dst - 3 * lineBytes);
            }
        } else {
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += Block::kBlockBytes) {
                block.Prepare(src);
                WritePartialBlock<Bpp>(block, lines, 4, line0 + bx * 4 * Bpp, lineBytes);
            }
        }
        if (edgeColumns != 0) {
            block.Prepare(src);
            WritePartialBlock<Bpp>(block, lines, edgeColumns, line0 + fullBlocks * 4 * Bpp,
                                   lineBytes);
        }
    }
}

template <int Bpp, class Block>
bool Decode(const uint8_t* data, size_t size, int32_t width, int32_t height, uint8_t* out,
            DxtCode code) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 3) / 4 * Block::kBlockBytes;
    // Whole block rows are read while data remains, so data that is not a whole
    // number of block rows ends inside a block.
    if (size % rowBytes != 0) return false;
    const size_t picturesRows = (static_cast<size_t>(height) + 3) / 4;
    const size_t rows =
        std::min(size / rowBytes, picturesRows);  // rows past the height are dropped
    DecodeRows<Bpp, Block>(data, rows, width, height, out,
                           code == DxtCode::Fastest ? VectorRow<Block>() : nullptr);
    const size_t linesDone = std::min<size_t>(height, rows * 4);
    // The lines the data does not reach are the bottom rows of the image.
    std::memset(out, 0, (height - linesDone) * static_cast<size_t>(width) * Bpp);
    return true;
}

template <bool Bgr>
bool DecodeInOrder(DxtVariant variant, const uint8_t* data, size_t size, int32_t width,
                   int32_t height, int bytesPerPixel, uint8_t* out, DxtCode code) {
    switch (variant) {
        case DxtVariant::DXT1:
            if (bytesPerPixel == 3)
                return Decode<3, Dxt1Opaque<Bgr>>(data, size, width, height, out, code);
            if (bytesPerPixel == 4)
                return Decode<4, Dxt1Masked<Bgr>>(data, size, width, height, out, code);
            return false;
        case DxtVariant::DXT3:
            return bytesPerPixel == 4 && Decode<4, Dxt3<Bgr>>(data, size, width, height, out, code);
        case DxtVariant::DXT5:
            return bytesPerPixel == 4 && Decode<4, Dxt5<Bgr>>(data, size, width, height, out, code);
    }
    return false;
}

bool DecodeInto(Image& image, DxtVariant variant, const uint8_t* data, size_t size, int32_t width,
                int32_t height, int bytesPerPixel, int32_t alphaKind) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 3) / 4 * DxtBlockBytes(variant);
    if (size % rowBytes != 0) return false;  // checked before the picture is allocated
    ByteBuffer pixels(static_cast<size_t>(width) * height * bytesPerPixel);
    if (!DecodeDxtBlocks(variant, data, size, width, height, bytesPerPixel, pixels.data()))
        return false;
    image.AdoptPixels(std::move(pixels), width, height, alphaKind);
    return true;
}

}  // namespace

size_t DxtBlockBytes(DxtVariant variant) {
    return variant == DxtVariant::DXT1 ? 8 : 16;
}

bool DecodeDxtBlocks(DxtVariant variant, const uint8_t* data, size_t size, int32_t width,
                     int32_t height, int bytesPerPixel, uint8_t* out, DxtCode code,
                     DxtOrder order) {
    return order == DxtOrder::BlueFirst
               ? DecodeInOrder<true>(variant, data, size, width, height, bytesPerPixel, out, code)
               : DecodeInOrder<false>(variant, data, size, width, height, bytesPerPixel, out, code);
}

bool DecodeDXT1(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height,
                int32_t alphaHint) {
    image.Compression = 1;
    const bool masked = alphaHint == 2;
    return DecodeInto(image, DxtVariant::DXT1, data, size, width, height, masked ? 4 : 3,
                      masked ? 2 : 0);
}

bool DecodeDXT3(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height) {
    image.Compression = 3;
    return DecodeInto(image, DxtVariant::DXT3, data, size, width, height, 4, 1);
}

bool DecodeDXT5(Image& image, const uint8_t* data, size_t size, int32_t width, int32_t height) {
    image.Compression = 5;
    return DecodeInto(image, DxtVariant::DXT5, data, size, width, height, 4, 1);
}

}  // namespace core
