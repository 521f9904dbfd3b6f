#include <gtest/gtest.h>

#include "core/load_image.h"
#include "core/tga.h"
#include "tests/support/test_support.h"

using testing_support::MakeTga;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

using Bytes = std::vector<uint8_t>;

struct Loaded {
    bool ok;
    core::ImageStore store;
    std::vector<std::string> notices;
    int beeps = 0;
};

// Loads the bytes as a .tga file through the dispatch, collecting the notices.
std::unique_ptr<Loaded> LoadBytes(const Bytes& bytes, const std::string& name = "t.tga") {
    TempDir dir;
    WriteBytes(dir.File(name), bytes);
    auto r = std::make_unique<Loaded>();
    r->store.Notice = [&n = r->notices](const std::string& line) { n.push_back(line); };
    r->store.Beep = [&b = r->beeps] { ++b; };
    r->ok = core::LoadImage(r->store, dir.File(name));
    return r;
}

Bytes Pixels(const core::ImageStore& s) { return Bytes(s.Image.Data, s.Image.Data + s.Image.DataSize); }

// A colour-mapped file: `entries` map entries of `entryBits`, then `data`.
Bytes Mapped(int width, int entries, int entryBits, const Bytes& data) {
    Bytes f = MakeTga(width, 1, 8, {}, 0, 1);
    f[1] = 1, f[5] = static_cast<uint8_t>(entries), f[7] = static_cast<uint8_t>(entryBits);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

}  // namespace

TEST(LoadTGA, DescriptorBitsFlipRowsAndColumns) {
    // Pixels stored right to left; both bits turn a 2 x 2 picture by half a turn.
    auto rightLeft = LoadBytes(MakeTga(2, 1, 24, {1, 1, 1, 2, 2, 2}, 16));
    EXPECT_EQ(Pixels(rightLeft->store), (Bytes{2, 2, 2, 1, 1, 1}));
    auto both = LoadBytes(MakeTga(2, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}, 48));
    EXPECT_EQ(Pixels(both->store), (Bytes{4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1}));
}

TEST(LoadTGA, SixteenBitIsConvertedWithANotice) {
    auto r = LoadBytes(MakeTga(2, 1, 16, {0xFF, 0x7F, 0x1F, 0x00}));
    ASSERT_TRUE(r->ok);
    EXPECT_EQ(Pixels(r->store), (Bytes{248, 248, 248, 0, 0, 248}));
    EXPECT_EQ(r->notices, (std::vector<std::string>{"", " *** 16 bit colour TGA auto-converted to 24 bit ***",
                                                     " *** Save file if possible to make 24 bit version ***"}));
    EXPECT_EQ(r->beeps, 1);
}

TEST(LoadTGA, ColourMapIndicesPastTheMapAreBlackAndACutMapIsRefused) {
    // Entry 1 is stored blue 0, green 0, red 255; index 7 is past the map.
    auto r = LoadBytes(Mapped(3, 2, 24, {9, 9, 9, 0, 0, 255, 1, 0, 7}));
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(Pixels(r->store), (Bytes{255, 0, 0, 9, 9, 9, 0, 0, 0}));
    // 32-bit entries drop their fourth byte.
    auto r32 = LoadBytes(Mapped(1, 1, 32, {1, 2, 3, 4, 0}));
    EXPECT_EQ(Pixels(r32->store), (Bytes{3, 2, 1}));

    auto cut = LoadBytes(Mapped(1, 200, 24, {1, 2, 3}), "cut.tga");
    EXPECT_FALSE(cut->ok);
    EXPECT_EQ(cut->store.LoadErrorText, "Couldn't read image data in \"cut.tga\".");
}

TEST(LoadTGA, RefusalsCarryTheirMessagesAndLeaveTheStoreEmpty) {
    auto typed = [](uint8_t type, uint8_t depth) { return MakeTga(1, 1, depth, {1, 2, 3, 4}, 0, type); };
    Bytes badMap = typed(2, 24);
    badMap[1] = 2;
    const std::string only = "Couldn't load \"x.tga\". Only 256 colour, 24 bit and 32bit TGA supported.";
    const std::pair<Bytes, std::string> cases[] = {
        {Bytes(17, 0), "File not found : \"x.tga\""},
        {typed(10, 24), "Compressed TGAs not supported \"x.tga\"."},
        {typed(3, 8), only},
        {typed(2, 8), only},
        {badMap, "Couldn't load \"x.tga\". Colormapped TGA files not supported."},
        {typed(2, 15), "Couldn't load \"x.tga\". Only 24 and 32 bit TGA files supported."},
        {MakeTga(2, 2, 24, {1, 2, 3}), "Couldn't read file \"x.tga\"."},
        {MakeTga(2, 2, 8, {1}, 0, 1), "Couldn't read image data in \"x.tga\"."},
        // Sides beyond 8192 in a tiny file are refused before any allocation.
        {MakeTga(65535, 65535, 32, {1, 2, 3, 4}),
         "Couldn't load \"x.tga\". Images larger than 8192 x 8192 are not supported."},
        {MakeTga(0, 5, 24, {}), "Couldn't load \"x.tga\". The image has no pixels (width or height 0)."},
        {MakeTga(8192, 8192, 32, {1, 2, 3, 4}), "Couldn't read file \"x.tga\"."},
    };
    for (const auto& [bytes, message] : cases) {
        auto r = LoadBytes(bytes, "x.tga");
        EXPECT_FALSE(r->ok || r->store.ImageLoaded || !r->store.PixelBuffer.empty()) << message;
        EXPECT_EQ(r->store.LoadErrorText, message);
    }
}
