#include <gtest/gtest.h>

#include <filesystem>

#include "core/load_image.h"
#include "core/tga.h"
#include "tests/support/test_support.h"

using testing_support::MakeTga;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

struct Loaded {
    bool ok;
    core::ImageStore store;
    std::vector<std::string> notices;
    int beeps = 0;
};

// Loads the bytes as a .tga file through the dispatch, collecting the notices.
std::unique_ptr<Loaded> LoadBytes(const std::vector<uint8_t>& bytes, const std::string& name = "t.tga") {
    TempDir dir;
    WriteBytes(dir.File(name), bytes);
    auto r = std::make_unique<Loaded>();
    r->store.Notice = [&n = r->notices](const std::string& line) { n.push_back(line); };
    r->store.Beep = [&b = r->beeps] { ++b; };
    r->ok = core::LoadImage(r->store, dir.File(name));
    return r;
}

std::vector<uint8_t> Pixels(const core::ImageStore& s) {
    return std::vector<uint8_t>(s.Image.Data, s.Image.Data + s.Image.DataSize);
}

}  // namespace

TEST(LoadTGA, TrueColourPixelsBecomeRedGreenBlue) {
    auto r = LoadBytes(MakeTga(1, 1, 24, {10, 20, 30}));
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(Pixels(r->store), (std::vector<uint8_t>{30, 20, 10}));
    EXPECT_EQ(r->store.Image.AlphaKind, 0);
    EXPECT_EQ(r->store.Image.Compression, 0);
    EXPECT_EQ(r->store.Image.Data, r->store.PixelBuffer.data());
}

TEST(LoadTGA, ThirtyTwoBitAlphaIsClassified) {
    auto onOff = LoadBytes(MakeTga(2, 1, 32, {1, 2, 3, 0, 4, 5, 6, 255}, 8));
    ASSERT_TRUE(onOff->ok);
    EXPECT_EQ(onOff->store.Image.AlphaKind, 2);
    EXPECT_EQ(Pixels(onOff->store), (std::vector<uint8_t>{3, 2, 1, 0, 6, 5, 4, 255}));

    auto opaque = LoadBytes(MakeTga(1, 1, 32, {1, 2, 3, 255}));
    EXPECT_EQ(opaque->store.Image.AlphaKind, 2);

    auto graded = LoadBytes(MakeTga(2, 1, 32, {1, 2, 3, 255, 4, 5, 6, 128}));
    EXPECT_EQ(graded->store.Image.AlphaKind, 1);
}

TEST(LoadTGA, DescriptorBitsFlipRowsAndColumns) {
    // Rows stored top to bottom: the first stored row becomes the last in the store.
    auto topDown = LoadBytes(MakeTga(1, 2, 24, {1, 1, 1, 2, 2, 2}, 32));
    EXPECT_EQ(Pixels(topDown->store), (std::vector<uint8_t>{2, 2, 2, 1, 1, 1}));
    // Pixels stored right to left.
    auto rightLeft = LoadBytes(MakeTga(2, 1, 24, {1, 1, 1, 2, 2, 2}, 16));
    EXPECT_EQ(Pixels(rightLeft->store), (std::vector<uint8_t>{2, 2, 2, 1, 1, 1}));
    // Both: a 2 x 2 picture rotated by half a turn.
    auto both = LoadBytes(MakeTga(2, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}, 48));
    EXPECT_EQ(Pixels(both->store), (std::vector<uint8_t>{4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1}));
}

TEST(LoadTGA, SixteenBitIsConvertedWithANotice) {
    auto r = LoadBytes(MakeTga(2, 1, 16, {0xFF, 0x7F, 0x1F, 0x00}));
    ASSERT_TRUE(r->ok);
    EXPECT_EQ(Pixels(r->store), (std::vector<uint8_t>{248, 248, 248, 0, 0, 248}));
    EXPECT_EQ(r->store.Image.DataSize, 6);
    EXPECT_EQ(r->store.Image.AlphaKind, 0);
    ASSERT_EQ(r->notices.size(), 3u);
    EXPECT_EQ(r->notices[0], "");
    EXPECT_EQ(r->notices[1], " *** 16 bit colour TGA auto-converted to 24 bit ***");
    EXPECT_EQ(r->notices[2], " *** Save file if possible to make 24 bit version ***");
    EXPECT_EQ(r->beeps, 1);
}

TEST(LoadTGA, ColourMappedImages) {
    // Two 24-bit entries; entry 1 is stored blue 0, green 0, red 255.
    std::vector<uint8_t> f = MakeTga(3, 1, 8, {}, 0, 1);
    f[1] = 1;  // colour map present
    f[5] = 2;  // two entries
    f[7] = 24;
    f.insert(f.end(), {9, 9, 9, 0, 0, 255});
    f.insert(f.end(), {1, 0, 7});  // index 7 is past the map: black
    auto r = LoadBytes(f);
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(Pixels(r->store), (std::vector<uint8_t>{255, 0, 0, 9, 9, 9, 0, 0, 0}));

    // 16-bit entries are decoded like 16-bit pixels, 32-bit ones drop the fourth byte.
    std::vector<uint8_t> g = MakeTga(2, 1, 8, {}, 0, 1);
    g[1] = 1;
    g[5] = 1;
    g[7] = 16;
    g.insert(g.end(), {0x1F, 0x00, 0, 0});
    auto r16 = LoadBytes(g);
    ASSERT_TRUE(r16->ok);
    EXPECT_EQ(Pixels(r16->store), (std::vector<uint8_t>{0, 0, 248, 0, 0, 248}));

    std::vector<uint8_t> h = MakeTga(1, 1, 8, {}, 0, 1);
    h[1] = 1;
    h[5] = 1;
    h[7] = 32;
    h.insert(h.end(), {1, 2, 3, 4, 0});
    auto r32 = LoadBytes(h);
    ASSERT_TRUE(r32->ok);
    EXPECT_EQ(Pixels(r32->store), (std::vector<uint8_t>{3, 2, 1}));

    // A file that ends inside its colour map is refused.
    std::vector<uint8_t> cut = MakeTga(1, 1, 8, {}, 0, 1);
    cut[1] = 1;
    cut[5] = 200;
    cut[7] = 24;
    cut.insert(cut.end(), {1, 2, 3});
    auto rc = LoadBytes(cut, "cut.tga");
    EXPECT_FALSE(rc->ok);
    EXPECT_EQ(rc->store.LoadErrorText, "Couldn't read image data in \"cut.tga\".");
}

TEST(LoadTGA, ImageIdIsSkipped) {
    std::vector<uint8_t> f = MakeTga(1, 1, 24, {});
    f[0] = 3;
    f.insert(f.end(), {'a', 'b', 'c', 10, 20, 30});
    auto r = LoadBytes(f);
    ASSERT_TRUE(r->ok);
    EXPECT_EQ(Pixels(r->store), (std::vector<uint8_t>{30, 20, 10}));
}

TEST(LoadTGA, RefusalsCarryTheirMessagesAndLeaveTheStoreEmpty) {
    struct Case {
        std::vector<uint8_t> bytes;
        std::string message;
    };
    auto typed = [](uint8_t type, uint8_t depth) { return MakeTga(1, 1, depth, {1, 2, 3, 4}, 0, type); };
    std::vector<uint8_t> badMap = typed(2, 24);
    badMap[1] = 2;
    const std::vector<Case> cases = {
        {std::vector<uint8_t>(17, 0), "File not found : \"x.tga\""},
        {typed(10, 24), "Compressed TGAs not supported \"x.tga\"."},
        {typed(3, 8), "Couldn't load \"x.tga\". Only 256 colour, 24 bit and 32bit TGA supported."},
        {typed(1, 24), "Couldn't load \"x.tga\". Only 256 colour, 24 bit and 32bit TGA supported."},
        {typed(2, 8), "Couldn't load \"x.tga\". Only 256 colour, 24 bit and 32bit TGA supported."},
        {badMap, "Couldn't load \"x.tga\". Colormapped TGA files not supported."},
        {typed(2, 15), "Couldn't load \"x.tga\". Only 24 and 32 bit TGA files supported."},
        {MakeTga(2, 2, 24, {1, 2, 3}), "Couldn't read file \"x.tga\"."},
        {MakeTga(2, 2, 8, {1}, 0, 1), "Couldn't read image data in \"x.tga\"."},
    };
    for (const Case& c : cases) {
        auto r = LoadBytes(c.bytes, "x.tga");
        EXPECT_FALSE(r->ok) << c.message;
        EXPECT_FALSE(r->store.ImageLoaded) << c.message;
        EXPECT_TRUE(r->store.PixelBuffer.empty()) << c.message;
        EXPECT_EQ(r->store.LoadErrorText, c.message);
    }

    core::ImageStore store;
    EXPECT_FALSE(core::LoadImage(store, "/nonexistent/folder/gone.tga"));
    EXPECT_EQ(store.LoadErrorText, "File not found : \"gone.tga\"");
}

TEST(LoadTGA, SidesOfZeroOrBeyond8192AreRefusedBeforeAnyAllocation) {
    auto zero = LoadBytes(MakeTga(0, 5, 24, {}), "z.tga");
    EXPECT_FALSE(zero->ok);
    EXPECT_NE(zero->store.LoadErrorText.find("\"z.tga\""), std::string::npos);
    // A header claiming 65535 x 65535 in a tiny file.
    auto huge = LoadBytes(MakeTga(65535, 65535, 32, {1, 2, 3, 4}), "h.tga");
    EXPECT_FALSE(huge->ok);
    EXPECT_NE(huge->store.LoadErrorText.find("\"h.tga\""), std::string::npos);
    // 8192 x 8192 claimed but the pixels are missing.
    auto short8k = LoadBytes(MakeTga(8192, 8192, 32, {1, 2, 3, 4}), "s.tga");
    EXPECT_FALSE(short8k->ok);
    EXPECT_EQ(short8k->store.LoadErrorText, "Couldn't read file \"s.tga\".");
}

TEST(LoadTGA, FlipsDoNothingOnAnEmptyStore) {
    core::ImageStore store;
    core::FlipVertical(store);
    core::FlipHorizontal(store);
    EXPECT_FALSE(store.ImageLoaded);
}

TEST(LoadImage, ExtensionsInAnyCaseAndUnknownOnesRefusedWithAMessage) {
    TempDir dir;
    WriteBytes(dir.File("UP.TGA"), MakeTga(1, 1, 24, {1, 2, 3}));
    core::ImageStore store;
    EXPECT_TRUE(core::LoadImage(store, dir.File("UP.TGA")));
    EXPECT_FALSE(core::LoadImage(store, dir.File("photo.png")));
    EXPECT_FALSE(store.ImageLoaded);
    EXPECT_EQ(store.LoadErrorText, "File type not supported \"photo.png\".");
    EXPECT_FALSE(core::LoadImage(store, "tga"));  // shorter than any extension
}
