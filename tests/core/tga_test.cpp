// TGA cases the corpus does not show: right-to-left rows, 16-bit colour, colour
// maps with short entries or indices past the map, and each refusal's message.
#include <gtest/gtest.h>

#include "core/load_image.h"
#include "core/tga.h"
#include "tests/support/test_support.h"

using testing_support::MakeTga;

namespace {

using Bytes = std::vector<uint8_t>;

struct Loaded {
    bool ok;
    core::ImageStore store;
    Bytes Pixels() const { return Bytes(store.Image.Data, store.Image.Data + store.Image.DataSize); }
};

// Loads the bytes as a .tga file through the dispatch.
std::unique_ptr<Loaded> LoadBytes(const Bytes& bytes) {
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File("x.tga"), bytes);
    auto r = std::make_unique<Loaded>();
    r->ok = core::LoadImage(r->store, dir.File("x.tga"));
    return r;
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
    EXPECT_EQ(LoadBytes(MakeTga(2, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}, 48))->Pixels(),
              (Bytes{4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1}));

    EXPECT_EQ(LoadBytes(MakeTga(2, 1, 16, {0xFF, 0x7F, 0x1F, 0x00}))->Pixels(), (Bytes{248, 248, 248, 0, 0, 248}));

    // Entry 1 is stored blue 0, green 0, red 255; index 7 is past the map.
    auto r = LoadBytes(Mapped(3, 2, 24, {9, 9, 9, 0, 0, 255, 1, 0, 7}));
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->Pixels(), (Bytes{255, 0, 0, 9, 9, 9, 0, 0, 0}));
    // 32-bit entries drop their fourth byte.
    EXPECT_EQ(LoadBytes(Mapped(1, 1, 32, {1, 2, 3, 4, 0}))->Pixels(), (Bytes{3, 2, 1}));
}

TEST(LoadTGA, RefusalsCarryTheirMessagesAndLeaveTheStoreEmpty) {
    Bytes badMap = MakeTga(1, 1, 24, {1, 2, 3});
    badMap[1] = 2;
    const std::pair<Bytes, std::string> cases[] = {
        {badMap, "Couldn't load \"x.tga\". Colormapped TGA files not supported."},
        {MakeTga(1, 1, 15, {1, 2}), "Couldn't load \"x.tga\". Only 24 and 32 bit TGA files supported."},
        {MakeTga(2, 2, 24, {1, 2, 3}), "Couldn't read file \"x.tga\"."},
        {MakeTga(2, 2, 8, {1}, 0, 1), "Couldn't read image data in \"x.tga\"."},
        {MakeTga(0, 5, 24, {}), "Couldn't load \"x.tga\". The image has no pixels (width or height 0)."},
    };
    for (const auto& [bytes, message] : cases) {
        auto r = LoadBytes(bytes);
        EXPECT_FALSE(r->ok || r->store.ImageLoaded || !r->store.PixelBuffer.empty()) << message;
        EXPECT_EQ(r->store.LoadErrorText, message);
    }
}
