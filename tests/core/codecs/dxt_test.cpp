#include <gtest/gtest.h>

#include <vector>

#include "core/codecs/dxt.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Px = std::vector<int>;
using core::DxtVariant;

// Colour part: c0, c1 and four index bytes, one per line, top line first.
void ColourBlock(Bytes& out, uint16_t c0, uint16_t c1, uint8_t line = 0) {
    out.insert(out.end(),
               {static_cast<uint8_t>(c0), static_cast<uint8_t>(c0 >> 8), static_cast<uint8_t>(c1),
                static_cast<uint8_t>(c1 >> 8), line, line, line, line});
}
// Every line's four pixels take the indices 0, 1, 2, 3.
constexpr uint8_t kLine0123 = 0 | (1 << 2) | (2 << 4) | (3 << 6);

struct Picture {
    bool ok = false;
    int bpp = 0, width = 0, height = 0;
    Bytes pixels;
    // Pixel (x, y) with y counted from the top of the picture.
    Px At(int x, int y) const {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(height - 1 - y) * width + x) * bpp;
        return Px(p, p + bpp);
    }
};

Picture Decode(DxtVariant variant, const Bytes& data, int width, int height, int bpp,
               core::DxtCode code = core::DxtCode::Fastest) {
    Picture pic{false, bpp, width, height, Bytes(static_cast<size_t>(width) * height * bpp, 0xAB)};
    pic.ok = core::DecodeDxtBlocks(variant, data.data(), data.size(), width, height, bpp,
                                   pic.pixels.data(), code);
    return pic;
}

TEST(DxtPalette, TruncatesEachTermAndDxt1WithEqualEndsHasATransparentFourth) {
    // c0 = c1 = (8, 8, 8): DXT5 still uses four colours, and each third is
    // truncated on its own, so 2*8/3 + 8/3 = 5 + 2 = 7.
    const uint16_t eight = 1 << 11 | 2 << 5 | 1;  // 5:6:5 bits
    Bytes dxt5(8, 0);
    ColourBlock(dxt5, eight, eight, kLine0123);
    Picture p = Decode(DxtVariant::DXT5, dxt5, 4, 4, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(3, 3), (Px{7, 7, 7, 0}));
    // DXT1 with c0 = c1 has three colours; colour 3 is transparent.
    Bytes dxt1;
    ColourBlock(dxt1, eight, eight, kLine0123);
    EXPECT_EQ(Decode(DxtVariant::DXT1, dxt1, 4, 4, 4).At(3, 0), (Px{8, 8, 8, 0}));
}

TEST(DxtAlpha, Dxt3NibblesAndDxt5EightAndSixValuePalettes) {
    // DXT3: byte k holds pixel 2k in its low nibble and pixel 2k+1 in its high
    // one; a nibble is times sixteen, and fifteen is opaque.
    Bytes dxt3;
    for (int k = 0; k < 8; ++k) dxt3.push_back(static_cast<uint8_t>((2 * k) | ((2 * k + 1) << 4)));
    ColourBlock(dxt3, 0, 0);
    Picture p = Decode(DxtVariant::DXT3, dxt3, 4, 4, 4);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(p.At(k % 4, k / 4)[3], k == 15 ? 255 : k * 16) << "pixel " << k;

    // DXT5: pixel k takes alpha index k % 8, so each block repeats its eight
    // alphas twice, which also checks the indices that straddle the index words.
    uint64_t bits = 0;
    for (int k = 0; k < 16; ++k) bits |= static_cast<uint64_t>(k % 8) << (3 * k);
    const std::pair<std::pair<uint8_t, uint8_t>, Px> cases[] = {
        {{200, 10},
         {200, 10, 172, 145, 118, 91, 64, 37}},  // a0 > a1: sevenths, truncated: (6*200 + 10)/7
        {{10, 200}, {10, 200, 48, 86, 124, 162, 0, 255}},  // a0 <= a1: fifths, then 0 and 255
        {{77, 77}, {77, 77, 77, 77, 77, 77, 0, 255}},      // a0 = a1 is the six-value palette
    };
    for (const auto& [ends, eight] : cases) {
        Bytes block = {ends.first, ends.second};
        for (int i = 0; i < 6; ++i) block.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        ColourBlock(block, 0, 0);
        p = Decode(DxtVariant::DXT5, block, 4, 4, 4);
        ASSERT_TRUE(p.ok);
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(p.At(k % 4, k / 4)[3], eight[k % 8]) << int(ends.first) << " " << k;
    }
}

// Where the blocks go is shown by the corpus's DXT textures.
TEST(DxtLayout, DataEndingInsideABlockIsRefusedAndBlockRowsItLacksAreZero) {
    Bytes data;  // red, green, blue, white in 5:6:5 bits
    for (uint16_t c : {0xF800, 0x07E0, 0x001F, 0xFFFF}) ColourBlock(data, c, 0);
    // 28 bytes end inside the fourth block: nothing is written.
    Picture p = Decode(DxtVariant::DXT1, Bytes(data.begin(), data.begin() + 28), 8, 8, 3);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.pixels[0], 0xAB);

    // 6 x 6 with data for the first block row only: the lines below it are zero.
    p = Decode(DxtVariant::DXT1, Bytes(data.begin(), data.begin() + 16), 6, 6, 4);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.At(5, 3), (Px{0, 252, 0, 255}));
    EXPECT_EQ(p.At(5, 5), (Px{0, 0, 0, 0}));
}

// Without SSSE3 every block row goes through the portable code.
TEST(DxtDecoder, FastestAndPortableCodeAgreeOnRandomBlocks) {
    Bytes data(10 * 5 * 16);  // 37 x 19: edges in both directions
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    for (auto [variant, bpp] : {std::pair{DxtVariant::DXT1, 3}, std::pair{DxtVariant::DXT1, 4},
                                std::pair{DxtVariant::DXT3, 4}, std::pair{DxtVariant::DXT5, 4}}) {
        const Picture fastest = Decode(variant, data, 37, 19, bpp);
        EXPECT_TRUE(fastest.ok &&
                    Decode(variant, data, 37, 19, bpp, core::DxtCode::Portable).pixels ==
                        fastest.pixels)
            << "variant " << static_cast<int>(variant) << " bpp " << bpp;
    }
}

// What a TGA takes: the picture with red and blue exchanged, from either code.
TEST(DxtDecoder, BlueFirstOrderIsRedAndBlueExchanged) {
    Bytes data(10 * 5 * 16);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 40503u >> 5);
    for (auto [variant, bpp] : {std::pair{DxtVariant::DXT1, 3}, std::pair{DxtVariant::DXT1, 4},
                                std::pair{DxtVariant::DXT3, 4}, std::pair{DxtVariant::DXT5, 4}}) {
        Bytes expected = Decode(variant, data, 37, 19, bpp).pixels;
        for (size_t i = 0; i < expected.size(); i += bpp) std::swap(expected[i], expected[i + 2]);
        for (const core::DxtCode code : {core::DxtCode::Fastest, core::DxtCode::Portable}) {
            Bytes blueFirst(expected.size());
            EXPECT_TRUE(core::DecodeDxtBlocks(variant, data.data(), data.size(), 37, 19, bpp,
                                              blueFirst.data(), code, core::DxtOrder::BlueFirst) &&
                        blueFirst == expected)
                << "variant " << static_cast<int>(variant) << " bpp " << bpp;
        }
    }
}

}  // namespace
