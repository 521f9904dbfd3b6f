#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/dxt.h"

namespace {

using Bytes = std::vector<uint8_t>;
using core::DxtVariant;

constexpr uint16_t Rgb565(int r5, int g6, int b5) { return static_cast<uint16_t>((r5 << 11) | (g6 << 5) | b5); }

void Put16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// Colour part: c0, c1 and four index bytes, one per line, top line first.
void ColourBlock(Bytes& out, uint16_t c0, uint16_t c1, std::array<uint8_t, 4> lines) {
    Put16(out, c0);
    Put16(out, c1);
    out.insert(out.end(), lines.begin(), lines.end());
}

// Index byte of a line whose four pixels take the indices a, b, c, d.
constexpr uint8_t Line(int a, int b, int c, int d) { return static_cast<uint8_t>(a | (b << 2) | (c << 4) | (d << 6)); }
constexpr std::array<uint8_t, 4> kIndices0123 = {Line(0, 1, 2, 3), Line(0, 1, 2, 3), Line(0, 1, 2, 3),
                                                 Line(0, 1, 2, 3)};

struct Picture {
    bool ok = false;
    int bpp = 0;
    int width = 0;
    int height = 0;
    Bytes pixels;
    // Pixel (x, y) with y counted from the top of the picture.
    std::vector<int> At(int x, int y) const {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(height - 1 - y) * width + x) * bpp;
        return std::vector<int>(p, p + bpp);
    }
};

Picture Decode(DxtVariant variant, const Bytes& data, int width, int height, int bpp,
              core::DxtCode code = core::DxtCode::Fastest) {
    Picture pic;
    pic.bpp = bpp;
    pic.width = width;
    pic.height = height;
    pic.pixels.assign(static_cast<size_t>(width) * height * bpp, 0xAB);
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

    // White is 248, 252, 248, and DXT3 with c0 < c1 also has four colours.
    Bytes dxt3(8, 0);
    ColourBlock(dxt3, 0, 0xFFFF, kIndices0123);
    p = Decode(DxtVariant::DXT3, dxt3, 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(1, 0), (std::vector<int>{248, 252, 248, 0}));
    EXPECT_EQ(p.At(2, 0), (std::vector<int>{82, 84, 82, 0}));  // 0 + 248/3

    // DXT1 with c0 = c1 has three colours: colour 2 = 8/2 + 8/2 and colour 3 the
    // same, transparent with an alpha channel.
    Bytes dxt1;
    ColourBlock(dxt1, eight, eight, kIndices0123);
    p = Decode(DxtVariant::DXT1, dxt1, 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(2, 0), (std::vector<int>{8, 8, 8, 255}));
    EXPECT_EQ(p.At(3, 0), (std::vector<int>{8, 8, 8, 0}));
    // c0 < c1, without an alpha channel: halves truncated before adding.
    dxt1.clear();
    ColourBlock(dxt1, Rgb565(0, 0, 0), Rgb565(31, 63, 1), kIndices0123);
    p = Decode(DxtVariant::DXT1, dxt1, 4, 4, 3);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(3, 2), (std::vector<int>{124, 126, 4}));
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
    const auto alphas = [](const Picture& p) {
        std::vector<int> a;
        for (int k = 0; k < 16; ++k) a.push_back(p.At(k % 4, k / 4)[3]);
        return a;
    };
    // a0 > a1: sevenths, truncated: (6*200 + 10)/7 = 172, ...
    Picture p = Decode(DxtVariant::DXT5, Dxt5AlphaRamp(200, 10), 4, 4, 4);
    ASSERT_TRUE(p.ok);
    const std::vector<int> eight = {200, 10, 172, 145, 118, 91, 64, 37};
    std::vector<int> expected(eight.begin(), eight.end());
    expected.insert(expected.end(), eight.begin(), eight.end());
    EXPECT_EQ(alphas(p), expected);  // also checks indices that straddle the index words

    // a0 <= a1: fifths, then 0 and 255.
    p = Decode(DxtVariant::DXT5, Dxt5AlphaRamp(10, 200), 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(alphas(p)[2], 48);  // (4*10 + 200)/5
    EXPECT_EQ(alphas(p)[5], 162); // (10 + 4*200)/5
    EXPECT_EQ(alphas(p)[6], 0);
    EXPECT_EQ(alphas(p)[7], 255);

    // a0 = a1 uses the six-value palette: 2..5 equal a0.
    p = Decode(DxtVariant::DXT5, Dxt5AlphaRamp(77, 77), 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(alphas(p), (std::vector<int>{77, 77, 77, 77, 77, 77, 0, 255, 77, 77, 77, 77, 77, 77, 0, 255}));
}

// A DXT1 block of one solid colour (all indices 0).
void SolidDxt1(Bytes& out, uint16_t colour) { ColourBlock(out, colour, 0, {0, 0, 0, 0}); }

TEST(DxtLayout, BlocksRunLeftToRightFromTheTopIntoABottomUpStore) {
    const uint16_t red = Rgb565(31, 0, 0), green = Rgb565(0, 63, 0), blue = Rgb565(0, 0, 31),
                   white = Rgb565(31, 63, 31);
    Bytes data;
    SolidDxt1(data, red);
    SolidDxt1(data, green);
    SolidDxt1(data, blue);
    SolidDxt1(data, white);
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

TEST(DxtLayout, EdgesBeyondThePictureAreDroppedAndMissingLinesAreZero) {
    // 6 x 6: two block columns and two block rows, of which only 2 columns and
    // 2 lines of the last ones are kept; a third block row is surplus data.
    Bytes data;
    for (uint16_t c : {Rgb565(1, 0, 0), Rgb565(2, 0, 0), Rgb565(3, 0, 0), Rgb565(4, 0, 0), Rgb565(5, 0, 0),
                       Rgb565(6, 0, 0)})
        SolidDxt1(data, c);
    Picture p = Decode(DxtVariant::DXT1, data, 6, 6, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(5, 0), (std::vector<int>{16, 0, 0, 255}));
    EXPECT_EQ(p.At(5, 5), (std::vector<int>{32, 0, 0, 255}));
    EXPECT_EQ(p.At(0, 5), (std::vector<int>{24, 0, 0, 255}));

    // Data for the first block row only: the lines below it are zero.
    Bytes oneRow(data.begin(), data.begin() + 16);
    p = Decode(DxtVariant::DXT1, oneRow, 6, 6, 4);
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

TEST(DxtStore, DecodersSetCompressionFirstAndTheRecordOnSuccess) {
    const Bytes blocks(16, 0);
    core::ImageStore store;
    ASSERT_TRUE(core::DecodeDXT1(store, blocks.data(), 8, 4, 4, 2));
    EXPECT_EQ(store.Image.Compression, 1);
    EXPECT_EQ(store.Image.DataSize, 64);
    EXPECT_EQ(store.Image.AlphaKind, 2);
    ASSERT_TRUE(core::DecodeDXT1(store, blocks.data(), 8, 4, 4, 1));
    EXPECT_EQ(store.Image.DataSize, 48);
    EXPECT_EQ(store.Image.AlphaKind, 0);

    core::ImageStore failed;
    EXPECT_FALSE(core::DecodeDXT5(failed, blocks.data(), 15, 4, 4));
    EXPECT_EQ(failed.Image.Compression, 5);
    EXPECT_FALSE(failed.ImageLoaded);
    EXPECT_TRUE(failed.PixelBuffer.empty());
}

}  // namespace

namespace {

// The arithmetic written out plainly, pixel by pixel, to hold the decoder to it
// over every kind of block that random data produces.
std::vector<int> ReferencePixel(DxtVariant variant, const uint8_t* block, int k, bool withAlpha) {
    const uint8_t* colour = variant == DxtVariant::DXT1 ? block : block + 8;
    const int c0 = colour[0] | (colour[1] << 8), c1 = colour[2] | (colour[3] << 8);
    const int e0[3] = {(c0 >> 11) * 8, ((c0 >> 5) & 63) * 4, (c0 & 31) * 8};
    const int e1[3] = {(c1 >> 11) * 8, ((c1 >> 5) & 63) * 4, (c1 & 31) * 8};
    const bool threeColour = variant == DxtVariant::DXT1 && c0 <= c1;
    const int index = (colour[4 + k / 4] >> (2 * (k % 4))) & 3;
    std::vector<int> px(3);
    for (int ch = 0; ch < 3; ++ch) {
        const int values[4] = {e0[ch], e1[ch],
                               threeColour ? e0[ch] / 2 + e1[ch] / 2 : (2 * e0[ch]) / 3 + e1[ch] / 3,
                               threeColour ? e0[ch] / 2 + e1[ch] / 2 : e0[ch] / 3 + (2 * e1[ch]) / 3};
        px[ch] = values[index];
    }
    if (variant == DxtVariant::DXT1) {
        if (withAlpha) px.push_back(threeColour && index == 3 ? 0 : 255);
    } else if (variant == DxtVariant::DXT3) {
        const int v = (block[k / 2] >> (4 * (k % 2))) & 15;
        px.push_back(v == 15 ? 255 : v * 16);
    } else {
        const int a0 = block[0], a1 = block[1];
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
        const int i = static_cast<int>((bits >> (3 * k)) & 7);
        int a[8] = {a0, a1};
        for (int j = 2; j < 8; ++j)
            a[j] = a0 > a1 ? ((8 - j) * a0 + (j - 1) * a1) / 7
                           : (j < 6 ? ((6 - j) * a0 + (j - 1) * a1) / 5 : (j == 6 ? 0 : 255));
        px.push_back(a[i]);
    }
    return px;
}

TEST(DxtDecoder, MatchesThePlainArithmeticOnRandomBlocks) {
    uint32_t seed = 7;
    const auto next = [&seed] { return static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
    const int width = 37, height = 19;  // edges in both directions
    for (auto [variant, bpp] : {std::pair{DxtVariant::DXT1, 3}, std::pair{DxtVariant::DXT1, 4},
                                std::pair{DxtVariant::DXT3, 4}, std::pair{DxtVariant::DXT5, 4}}) {
        const size_t blockBytes = core::DxtBlockBytes(variant);
        Bytes data(10 * 5 * blockBytes);
        for (auto& b : data) b = next();
        const Picture p = Decode(variant, data, width, height, bpp);
        ASSERT_TRUE(p.ok);
        // The portable loops and the processor's fastest give the same bytes.
        EXPECT_EQ(Decode(variant, data, width, height, bpp, core::DxtCode::Portable).pixels, p.pixels);
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* block = data.data() + ((y / 4) * 10 + x / 4) * blockBytes;
                const auto expected = ReferencePixel(variant, block, (y % 4) * 4 + x % 4, bpp == 4);
                if (p.At(x, y) != expected && mismatches++ < 3)
                    ADD_FAILURE() << "variant " << static_cast<int>(variant) << " bpp " << bpp << " pixel " << x
                                  << "," << y;
            }
        }
    }
}

}  // namespace
