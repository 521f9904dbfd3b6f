#include "core/dxt.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace core {

// Pixels are assembled as 32-bit words whose memory order is R, G, B, A.
static_assert(std::endian::native == std::endian::little, "pixel words assume a little-endian host");

namespace {

inline uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
inline uint64_t Load48(const uint8_t* p) {
    return static_cast<uint64_t>(Load32(p)) | (static_cast<uint64_t>(Load16(p + 4)) << 32);
}
inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

constexpr uint32_t kOpaque = 0xFF000000u;

// Colour arithmetic on all three channels at once: red, green and blue sit in
// 21-bit lanes of a 64-bit word, wide enough for the products below.
constexpr int kLane = 21;
constexpr uint64_t kLaneBytes = 0xFFull | (0xFFull << kLane) | (0xFFull << (2 * kLane));

// A 5:6:5 colour widened by x8 / x4 (low bits left empty: 0xFFFF gives 248, 252, 248).
inline uint64_t SpreadColour(uint32_t c) {
    return (static_cast<uint64_t>(c >> 11) << 3) | (static_cast<uint64_t>((c >> 5) & 63) << (kLane + 2)) |
           (static_cast<uint64_t>(c & 31) << (2 * kLane + 3));
}

// Lanes back to a pixel word R, G, B, alpha byte 0.
inline uint32_t PackColour(uint64_t v) {
    return static_cast<uint32_t>((v & 0xFF) | ((v >> (kLane - 8)) & 0xFF00) |
                                 ((v >> (2 * kLane - 16)) & 0xFF0000));
}

// Per lane x / 3, exact for x up to 496: (x * 171) >> 9. Takes the product x * 171.
inline uint64_t Third(uint64_t times171) { return (times171 >> 9) & kLaneBytes; }

// The four colours of a block (alpha byte 0). Colour 2 = 2c0/3 + c1/3 and
// colour 3 = c0/3 + 2c1/3, each term truncated on its own, so 8 and 8 give
// 5 + 2 = 7. With threeColourAllowed (DXT1) a block whose c0 is not above c1 has
// colour 2 = c0/2 + c1/2 and colour 3 the same; the result is then all ones.
inline uint32_t MakeColours(const uint8_t* colourPart, bool threeColourAllowed, uint32_t colours[4]) {
    const uint32_t c0 = Load16(colourPart);
    const uint32_t c1 = Load16(colourPart + 2);
    const uint64_t v0 = SpreadColour(c0), v1 = SpreadColour(c1);
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
// order, top line first, left to right) as an R, G, B, A word.
struct Dxt1Opaque {
    static constexpr size_t kBlockBytes = 8;
    uint32_t colours[4];
    uint32_t indices;
    void Prepare(const uint8_t* block) {
        MakeColours(block, true, colours);
        indices = Load32(block + 4);
    }
    uint32_t Pixel(int k) const { return colours[(indices >> (2 * k)) & 3]; }
};

struct Dxt1Masked {
    static constexpr size_t kBlockBytes = 8;
    uint32_t colours[4];
    uint32_t indices;
    void Prepare(const uint8_t* block) {
        const uint32_t threeColour = MakeColours(block, true, colours);
        colours[0] |= kOpaque;
        colours[1] |= kOpaque;
        colours[2] |= kOpaque;
        colours[3] |= kOpaque & ~threeColour;  // index 3 of a three-colour block is transparent
        indices = Load32(block + 4);
    }
    uint32_t Pixel(int k) const { return colours[(indices >> (2 * k)) & 3]; }
};

// Nibble v gives v x 16, except 15 which gives 255; shifted into the alpha byte.
constexpr uint32_t kDxt3Alpha[16] = {
    0u << 24,   16u << 24,  32u << 24,  48u << 24,  64u << 24,  80u << 24,  96u << 24,  112u << 24,
    128u << 24, 144u << 24, 160u << 24, 176u << 24, 192u << 24, 208u << 24, 224u << 24, 255u << 24};

struct Dxt3 {
    static constexpr size_t kBlockBytes = 16;
    uint32_t colours[4];
    uint32_t indices;
    uint64_t alphas;
    void Prepare(const uint8_t* block) {
        alphas = Load64(block);
        MakeColours(block + 8, false, colours);
        indices = Load32(block + 12);
    }
    uint32_t Pixel(int k) const {
        return colours[(indices >> (2 * k)) & 3] | kDxt3Alpha[(alphas >> (4 * k)) & 15];
    }
};

struct Dxt5 {
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
        MakeColours(block + 8, false, colours);
        indices = Load32(block + 12);
    }
    uint32_t Pixel(int k) const {
        return colours[(indices >> (2 * k)) & 3] | alphaPalette[(alphaIndices >> (3 * k)) & 7];
    }
};

// Writes pixels 4j .. 4j+3 of the block as one line of four pixels.
template <int Bpp, class Block>
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
        const uint64_t low = static_cast<uint64_t>(p0 & 0xFFFFFF) |
                             (static_cast<uint64_t>(p1 & 0xFFFFFF) << 24) |
                             (static_cast<uint64_t>(p2 & 0xFFFF) << 48);
        const uint32_t high = ((p2 >> 16) & 0xFF) | ((p3 & 0xFFFFFF) << 8);
        std::memcpy(dst, &low, 8);
        std::memcpy(dst + 8, &high, 4);
    }
}

// Only the first `columns` pixels of the first `lines` lines: blocks at the
// right or bottom edge of a picture whose sides are not multiples of 4.
template <int Bpp, class Block>
inline void WritePartial(const Block& b, int lines, int columns, uint8_t* line0, size_t lineBytes) {
    for (int j = 0; j < lines; ++j) {
        uint8_t* dst = line0 - j * lineBytes;
        for (int i = 0; i < columns; ++i) {
            const uint32_t p = b.Pixel(4 * j + i);
            std::memcpy(dst + i * Bpp, &p, Bpp);
        }
    }
}

template <int Bpp, class Block>
void DecodeRows(const uint8_t* data, size_t rows, int32_t width, int32_t height, uint8_t* out) {
    const size_t blocksPerRow = (static_cast<size_t>(width) + 3) / 4;
    const size_t rowBytes = blocksPerRow * Block::kBlockBytes;
    const size_t lineBytes = static_cast<size_t>(width) * Bpp;
    const size_t fullBlocks = static_cast<size_t>(width) / 4;
    const int edgeColumns = width % 4;
    Block block;
    for (size_t r = 0; r < rows; ++r) {
        const uint8_t* src = data + r * rowBytes;
        // The picture's line 4r (from the top) is store row height - 1 - 4r.
        uint8_t* line0 = out + (static_cast<size_t>(height) - 1 - 4 * r) * lineBytes;
        const int lines = static_cast<int>(std::min<size_t>(4, height - 4 * r));
        if (lines == 4) {
            uint8_t* dst = line0;
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += Block::kBlockBytes, dst += 4 * Bpp) {
                block.Prepare(src);
                WriteLine<Bpp>(block, 0, dst);
                WriteLine<Bpp>(block, 1, dst - lineBytes);
                WriteLine<Bpp>(block, 2, dst - 2 * lineBytes);
                WriteLine<Bpp>(block, 3, dst - 3 * lineBytes);
            }
        } else {
            for (size_t bx = 0; bx < fullBlocks; ++bx, src += Block::kBlockBytes) {
                block.Prepare(src);
                WritePartial<Bpp>(block, lines, 4, line0 + bx * 4 * Bpp, lineBytes);
            }
        }
        if (edgeColumns != 0) {
            block.Prepare(src);
            WritePartial<Bpp>(block, lines, edgeColumns, line0 + fullBlocks * 4 * Bpp, lineBytes);
        }
    }
}

template <int Bpp, class Block>
bool Decode(const uint8_t* data, size_t size, int32_t width, int32_t height, uint8_t* out) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 3) / 4 * Block::kBlockBytes;
    // Whole block rows are read while data remains, so data that is not a whole
    // number of block rows ends inside a block.
    if (size % rowBytes != 0) return false;
    const size_t picturesRows = (static_cast<size_t>(height) + 3) / 4;
    const size_t rows = std::min(size / rowBytes, picturesRows);  // rows past the height are dropped
    DecodeRows<Bpp, Block>(data, rows, width, height, out);
    const size_t linesDone = std::min<size_t>(height, rows * 4);
    // The lines the data does not reach are the bottom rows of the store.
    std::memset(out, 0, (height - linesDone) * static_cast<size_t>(width) * Bpp);
    return true;
}

bool DecodeIntoStore(ImageStore& store, DxtVariant variant, const uint8_t* data, size_t size,
                     int32_t width, int32_t height, int bytesPerPixel, int32_t alphaKind) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 3) / 4 * DxtBlockBytes(variant);
    if (size % rowBytes != 0) return false;  // checked before the picture is allocated
    ByteBuffer pixels(static_cast<size_t>(width) * height * bytesPerPixel);
    if (!DecodeDxtBlocks(variant, data, size, width, height, bytesPerPixel, pixels.data())) return false;
    store.AdoptPixels(std::move(pixels), width, height, alphaKind);
    return true;
}

}  // namespace

size_t DxtBlockBytes(DxtVariant variant) { return variant == DxtVariant::DXT1 ? 8 : 16; }

bool DecodeDxtBlocks(DxtVariant variant, const uint8_t* data, size_t size, int32_t width,
                     int32_t height, int bytesPerPixel, uint8_t* out) {
    switch (variant) {
        case DxtVariant::DXT1:
            if (bytesPerPixel == 3) return Decode<3, Dxt1Opaque>(data, size, width, height, out);
            if (bytesPerPixel == 4) return Decode<4, Dxt1Masked>(data, size, width, height, out);
            return false;
        case DxtVariant::DXT3:
            return bytesPerPixel == 4 && Decode<4, Dxt3>(data, size, width, height, out);
        case DxtVariant::DXT5:
            return bytesPerPixel == 4 && Decode<4, Dxt5>(data, size, width, height, out);
    }
    return false;
}

bool DecodeDXT1(ImageStore& store, const uint8_t* data, size_t size, int32_t width, int32_t height,
                int32_t alphaHint) {
    store.Image.Compression = 1;
    const bool masked = alphaHint == 2;
    return DecodeIntoStore(store, DxtVariant::DXT1, data, size, width, height, masked ? 4 : 3,
                           masked ? 2 : 0);
}

bool DecodeDXT3(ImageStore& store, const uint8_t* data, size_t size, int32_t width, int32_t height) {
    store.Image.Compression = 3;
    return DecodeIntoStore(store, DxtVariant::DXT3, data, size, width, height, 4, 1);
}

bool DecodeDXT5(ImageStore& store, const uint8_t* data, size_t size, int32_t width, int32_t height) {
    store.Image.Compression = 5;
    return DecodeIntoStore(store, DxtVariant::DXT5, data, size, width, height, 4, 1);
}

}  // namespace core
