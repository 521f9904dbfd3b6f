// TGA cases the corpus does not show: right-to-left rows, 16-bit colour, colour
// maps with short entries or indices past the map, and refusals.
#include <gtest/gtest.h>

#include "tests/core/formats/reader_checks.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

// The pixels of the bytes read as a .tga file.
Bytes Pixels(const Bytes& bytes) {
    testing_support::TestStore store;
    EXPECT_TRUE(reader_checks::LoadBytes(store, bytes, "x.tga")) << store.error;
    return reader_checks::Pixels(store);
}

// A colour-mapped file: `entries` map entries of `entryBits`, then `data`.
Bytes Mapped(int width, int entries, int entryBits, const Bytes& data) {
    Bytes f = MakeTga(width, 1, 8, {}, 0, 1);
    f[1] = 1, f[5] = static_cast<uint8_t>(entries), f[7] = static_cast<uint8_t>(entryBits);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

}  // namespace

TEST(LoadTGA, FlippedRowsSixteenBitColourAndColourMaps) {
    // Right-to-left and top-down bits together turn a 2 x 2 picture by half a turn.
    EXPECT_EQ(Pixels(MakeTga(2, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}, 48)),
              (Bytes{4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1}));

    EXPECT_EQ(Pixels(MakeTga(2, 1, 16, {0xFF, 0x7F, 0x1F, 0x00})),
              (Bytes{248, 248, 248, 0, 0, 248}));

    // Entry 1 is stored blue 0, green 0, red 255; index 7 is past the map.
    EXPECT_EQ(Pixels(Mapped(3, 2, 24, {9, 9, 9, 0, 0, 255, 1, 0, 7})),
              (Bytes{255, 0, 0, 9, 9, 9, 0, 0, 0}));
    // 32-bit entries drop their fourth byte.
    EXPECT_EQ(Pixels(Mapped(1, 1, 32, {1, 2, 3, 4, 0})), (Bytes{3, 2, 1}));

    // A true-colour file that announces a map of two 24-bit entries: the map
    // is skipped, not read as pixels.
    Bytes trueColour = MakeTga(1, 1, 24, {});
    trueColour[1] = 1, trueColour[5] = 2, trueColour[7] = 24;
    trueColour.insert(trueColour.end(), {9, 9, 9, 8, 8, 8, 1, 2, 3});
    EXPECT_EQ(Pixels(trueColour), (Bytes{3, 2, 1}));
}

TEST(LoadTGA, RefusalsCarryTheirMessagesAndLeaveTheStoreEmpty) {
    Bytes badMap = MakeTga(1, 1, 24, {1, 2, 3});
    badMap[1] = 2;
    reader_checks::ExpectRefusals(
        "x.tga", {{badMap, "Couldn't load \"x.tga\". Colormapped TGA files not supported."},
                  {MakeTga(2, 2, 24, {1, 2, 3}), "Couldn't read file \"x.tga\"."},
                  {MakeTga(0, 5, 24, {}),
                   "Couldn't load \"x.tga\". The image has no pixels (width or height 0)."}});
}
