#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/dxt.h"

namespace {

using Bytes = std::vector<uint8_t>;
using core::DxtVariant;

constexpr uint16_t Rgb565(int r5, int g6, int b5) { return static_cast<uint16_t>((r5 << 11) | (g6 << 5) | b5); }

// Colour part: c0, c1 and four index bytes, one per line, top line first.
void ColourBlock(Bytes& out, uint16_t c0, uint16_t c1, std::array<uint8_t, 4> lines) {
    out.insert(out.end(), {static_cast<uint8_t>(c0), static_cast<uint8_t>(c0 >> 8), static_cast<uint8_t>(c1),
                           static_cast<uint8_t>(c1 >> 8)});
    out.insert(out.end(), lines.begin(), lines.end());
}

// Index byte of a line whose four pixels take the indices a, b, c, d.
constexpr uint8_t Line(int a, int b, int c, int d) { return static_cast<uint8_t>(a | (b << 2) | (c << 4) | (d << 6)); }
constexpr uint8_t kLine0123 = Line(0, 1, 2, 3);
constexpr std::array<uint8_t, 4> kIndices0123 = {kLine0123, kLine0123, kLine0123, kLine0123};

struct Picture {
    bool ok = false;
    int bpp = 0, width = 0, height = 0;
    Bytes pixels;
    // Pixel (x, y) with y counted from the top of the picture.
    std::vector<int> At(int x, int y) const {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(height - 1 - y) * width + x) * bpp;
        return std::vector<int>(p, p + bpp);
    }
};

Picture Decode(DxtVariant variant, const Bytes& data, int width, int height, int bpp,
              core::DxtCode code = core::DxtCode::Fastest) {
    Picture pic{false, bpp, width, height, Bytes(static_cast<size_t>(width) * height * bpp, 0xAB)};
    pic.ok = core::DecodeDxtBlocks(variant, data.data(), data.size(), width, height, bpp, pic.pixels.data(), code);
    return pic;
}

TEST(DxtPalette, WidensWithoutBitReplicationAndTruncatesEachTerm) {
    // c0 = c1 = (8, 8, 8): DXT5 still uses four colours, and each third is
    // truncated on its own, so 2*8/3 + 8/3 = 5 + 2 = 7.
    const uint16_t eight = Rgb565(1, 2, 1);
    Bytes dxt5(8, 0);
    ColourBlock(dxt5, eight, eight, kIndices0123);
    Picture p = Decode(DxtVariant::DXT5, dxt5, 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(0, 0), (std::vector<int>{8, 8, 8, 0}));
    EXPECT_EQ(p.At(3, 3), (std::vector<int>{7, 7, 7, 0}));

    // DXT1 with c0 = c1 has three colours: colour 2 = 8/2 + 8/2 and colour 3 the
    // same, transparent with an alpha channel.
    Bytes dxt1;
    ColourBlock(dxt1, eight, eight, kIndices0123);
    p = Decode(DxtVariant::DXT1, dxt1, 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(2, 0), (std::vector<int>{8, 8, 8, 255}));
    EXPECT_EQ(p.At(3, 0), (std::vector<int>{8, 8, 8, 0}));

    // DXT3 with c0 < c1 still has four colours; white is 248, 252, 248.
    Bytes dxt3(8, 0);
    ColourBlock(dxt3, 0, 0xFFFF, kIndices0123);
    p = Decode(DxtVariant::DXT3, dxt3, 4, 4, 4);
    EXPECT_EQ(p.At(1, 0), (std::vector<int>{248, 252, 248, 0}));
    EXPECT_EQ(p.At(2, 0), (std::vector<int>{82, 84, 82, 0}));  // 0 + 248/3
}

TEST(DxtAlpha, Dxt3NibblesAreTimesSixteenAndFifteenIsOpaque) {
    // Byte k holds pixel 2k in its low nibble and pixel 2k+1 in its high nibble.
    Bytes block;
    for (int k = 0; k < 8; ++k) block.push_back(static_cast<uint8_t>((2 * k) | ((2 * k + 1) << 4)));
    ColourBlock(block, 0, 0, {0, 0, 0, 0});
    Picture p = Decode(DxtVariant::DXT3, block, 4, 4, 4);
    ASSERT_TRUE(p.ok);
    for (int k = 0; k < 16; ++k) {
        const int expected = k == 15 ? 255 : k * 16;
        EXPECT_EQ(p.At(k % 4, k / 4)[3], expected) << "pixel " << k;
    }
}

// A DXT5 block with the given alpha endpoints whose pixel k takes alpha index k % 8.
Bytes Dxt5AlphaRamp(uint8_t a0, uint8_t a1) {
    uint64_t bits = 0;
    for (int k = 0; k < 16; ++k) bits |= static_cast<uint64_t>(k % 8) << (3 * k);
    Bytes block = {a0, a1};
    for (int i = 0; i < 6; ++i) block.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    ColourBlock(block, 0, 0, {0, 0, 0, 0});
    return block;
}

TEST(DxtAlpha, Dxt5EightAndSixValuePalettes) {
    // Each ramp block repeats its eight alphas twice, which also checks the
    // indices that straddle the index words.
    const std::pair<std::pair<uint8_t, uint8_t>, std::vector<int>> cases[] = {
        {{200, 10}, {200, 10, 172, 145, 118, 91, 64, 37}},  // a0 > a1: sevenths, truncated: (6*200 + 10)/7
        {{10, 200}, {10, 200, 48, 86, 124, 162, 0, 255}},   // a0 <= a1: fifths, then 0 and 255
        {{77, 77}, {77, 77, 77, 77, 77, 77, 0, 255}},        // a0 = a1 is the six-value palette
    };
    for (const auto& [ends, eight] : cases) {
        const Picture p = Decode(DxtVariant::DXT5, Dxt5AlphaRamp(ends.first, ends.second), 4, 4, 4);
        ASSERT_TRUE(p.ok);
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(p.At(k % 4, k / 4)[3], eight[k % 8]) << int(ends.first) << " pixel " << k;
    }
}

// A DXT1 block of one solid colour (all indices 0).
void SolidDxt1(Bytes& out, uint16_t colour) { ColourBlock(out, colour, 0, {0, 0, 0, 0}); }

TEST(DxtLayout, BlocksRunLeftToRightFromTheTopIntoABottomUpStore) {
    Bytes data;  // red, green, blue, white
    for (uint16_t c : {Rgb565(31, 0, 0), Rgb565(0, 63, 0), Rgb565(0, 0, 31), Rgb565(31, 63, 31)}) SolidDxt1(data, c);
    Picture p = Decode(DxtVariant::DXT1, data, 8, 8, 3);
    ASSERT_TRUE(p.ok);
    // The first block is the top-left corner: the start of the store's last row.
    const size_t lastRow = 7 * 8 * 3;
    EXPECT_EQ(std::vector<int>(p.pixels.begin() + lastRow, p.pixels.begin() + lastRow + 3),
              (std::vector<int>{248, 0, 0}));
    EXPECT_EQ(p.At(7, 3), (std::vector<int>{0, 252, 0}));
    EXPECT_EQ(p.At(0, 4), (std::vector<int>{0, 0, 248}));
    EXPECT_EQ(p.At(7, 7), (std::vector<int>{248, 252, 248}));
    EXPECT_EQ(std::vector<int>(p.pixels.begin(), p.pixels.begin() + 3), (std::vector<int>{0, 0, 248}));

    // 28 bytes end inside the fourth block.
    Bytes shortData(data.begin(), data.begin() + 28);
    p = Decode(DxtVariant::DXT1, shortData, 8, 8, 3);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.pixels[0], 0xAB);  // nothing written
}

TEST(DxtLayout, MissingBlockRowsAreZeroAndWidthIsUnlimited) {
    // 6 x 6 with data for the first block row only: the lines below it are zero.
    Bytes oneRow;
    for (uint16_t c : {Rgb565(1, 0, 0), Rgb565(2, 0, 0)}) SolidDxt1(oneRow, c);
    Picture p = Decode(DxtVariant::DXT1, oneRow, 6, 6, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(5, 3), (std::vector<int>{16, 0, 0, 255}));
    EXPECT_EQ(p.At(0, 4), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(p.At(5, 5), (std::vector<int>{0, 0, 0, 0}));

    // No width limit: a row of 8192 pixels decodes to its last pixel.
    Bytes wide;
    for (int i = 0; i < 2048; ++i) SolidDxt1(wide, i == 2047 ? Rgb565(0, 0, 9) : 0);
    p = Decode(DxtVariant::DXT1, wide, 8192, 4, 3);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(8191, 3), (std::vector<int>{0, 0, 72}));
    EXPECT_EQ(p.At(8187, 0), (std::vector<int>{0, 0, 0}));
}


TEST(DxtDecoder, FastestAndPortableCodeAgreeOnRandomBlocks) {
    uint32_t seed = 7;
    const auto next = [&seed] { return static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
    const int width = 37, height = 19;  // edges in both directions
    for (auto [variant, bpp] : {std::pair{DxtVariant::DXT1, 3}, std::pair{DxtVariant::DXT1, 4},
                                std::pair{DxtVariant::DXT3, 4}, std::pair{DxtVariant::DXT5, 4}}) {
        Bytes data(10 * 5 * core::DxtBlockBytes(variant));
        for (auto& b : data) b = next();
        const Picture fastest = Decode(variant, data, width, height, bpp);
        ASSERT_TRUE(fastest.ok);
        EXPECT_EQ(Decode(variant, data, width, height, bpp, core::DxtCode::Portable).pixels, fastest.pixels)
            << "variant " << static_cast<int>(variant) << " bpp " << bpp;
    }
}

}  // namespace
