// The texture reader's cases that the corpus's texture rows do not show: odd
// header values, optional fields by version, an info size that overlays the
// fields, and the exact message of each refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/load_image.h"
#include "tests/support/test_support.h"

// Texture contents name only the fields that differ from the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
void PutText(Bytes& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }

// A texture container with one chunk; the info fields present follow the version.
struct TextureContents {
    int32_t version = 263, firstCount = 1, secondCount = 1;
    int32_t format = 12, width = 4, height = 4;
    int32_t dynamic = 0, sWrap = 0, tWrap = 0, alphaHint = 0, normalMap = 0;
    std::optional<int32_t> infoSize;  // default: the fields' own size
    Bytes chunk = Bytes(16, 0);
    std::optional<int32_t> chunkSize;  // default: the chunk's own size

    Bytes Write() const {
        Bytes info;
        for (int32_t v : {version, 0x00020001, firstCount, secondCount, format, width, height, dynamic, sWrap, tWrap,
                          0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A5A5A, alphaHint})
            Put32(info, v);
        if (version > 259) Put32(info, 0x11111111);
        if (version > 260) for (int i = 0; i < 3; ++i) Put32(info, 0x22222222);
        if (version > 262) Put32(info, normalMap);

        Bytes out;
        PutText(out, "JIRF");
        Put32(out, 0);
        PutText(out, "MMTFINFO");
        const int32_t s = infoSize.value_or(static_cast<int32_t>(info.size()));
        Put32(out, s);
        out.insert(out.end(), info.begin(), info.end());
        // The chunk starts at 20 + S, over the info fields when S is smaller than them.
        out.resize(std::max(20 + s, 0), 0);
        PutText(out, "MMAP");
        Put32(out, chunkSize.value_or(static_cast<int32_t>(chunk.size())));
        out.insert(out.end(), chunk.begin(), chunk.end());
        if (out.size() < 20 + info.size()) out.resize(20 + info.size(), 0);
        return out;
    }
};

bool Load(core::ImageStore& store, const Bytes& bytes, const std::string& name = "wagon.texture") {
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File(name), bytes);
    return core::LoadImage(store, dir.File(name));
}

}  // namespace

TEST(LoadTexture, DescriptionLinesFollowFormatHintsAndWrapModes) {
    struct Case {
        int32_t format, alphaHint, sWrap, tWrap, dynamic, normalMap;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {11, 2, 0, 2, 0, 0, {"Primary=wagon.tga", "Tile=t", "AlphaHint=masked"}},
        // Only the values 2 count for wrapping and 1 for the two flags.
        {11, 1, 1, 3, 2, 2, {"Primary=wagon.tga", "Alpha=wagon.tga", "Tile=none", "AlphaHint=semitransparent"}},
        {3, 0, 0, 0, 0, 0, {"Primary=wagon.tga", "Tile=none"}},
    };
    for (const Case& c : cases) {
        TextureContents contents{.format = c.format, .dynamic = c.dynamic, .sWrap = c.sWrap, .tWrap = c.tWrap,
                                 .alphaHint = c.alphaHint, .normalMap = c.normalMap};
        contents.chunk.resize(c.format == 3 ? 64 : 16);
        core::ImageStore store;
        ASSERT_TRUE(Load(store, contents.Write())) << store.LoadErrorText;
        EXPECT_EQ(store.TextureDescription, c.expected) << "format " << c.format;
    }
}

TEST(LoadTexture, VersionDecidesTheOptionalFieldsAndTheInfoSizeWhereChunksStart) {
    // Only 263 and above read the normal-map flag; 262 ignores the same bytes.
    for (int32_t version : {259, 260, 261, 262, 263, 300}) {
        TextureContents contents{.version = version, .normalMap = 1};
        contents.chunk[0] = 255, contents.chunk[9] = 0xF8;  // one red DXT5 block
        core::ImageStore store;
        ASSERT_TRUE(Load(store, contents.Write())) << "version " << version << ": " << store.LoadErrorText;
        EXPECT_EQ(store.TextureDescription.back() == "NormalMapHint=normalmap", version > 262) << version;
        EXPECT_EQ(Bytes(store.Image.Data, store.Image.Data + 4), (Bytes{248, 0, 0, 255})) << version;
    }
    // S smaller than the fields read (version 263 reads 80 bytes): the reader
    // goes back to 20 + S for the first chunk tag, which overlays the info.
    // The chunk's 4 data bytes end right before the alpha hint.
    TextureContents overlapping{.version = 259, .format = 3, .width = 1, .height = 1, .infoSize = 44};
    overlapping.chunk = {30, 20, 10, 0};
    core::ImageStore store;
    ASSERT_TRUE(Load(store, overlapping.Write())) << store.LoadErrorText;
    EXPECT_EQ(Bytes(store.Image.Data, store.Image.Data + 3), (Bytes{10, 20, 30}));
}

TEST(LoadTexture, EveryFailureLeavesItsMessageAndNoPicture) {
    const std::string data = "Couldn't read texture data in \"bad.texture\".";
    const std::string tooLarge = "Texture too large in \"bad.texture\".";
    const Bytes good = TextureContents{}.Write();
    std::vector<std::pair<Bytes, std::string>> cases = {
        {Bytes(good.begin(), good.begin() + 60), data},
        {TextureContents{.format = 13}.Write(), "Texture format not supported in \"bad.texture\"."},
        {TextureContents{.width = 0}.Write(), tooLarge},
        {TextureContents{.height = 8193}.Write(), tooLarge},
        {TextureContents{.secondCount = -1}.Write(), data},
        {TextureContents{.firstCount = 1000000000}.Write(), data},
        {TextureContents{.chunkSize = -8}.Write(), data},
    };
    cases.push_back({good, "Not a Trainz texture \"bad.texture\"."});
    cases.back().first[0] = 'X';
    for (int32_t infoSize : {1 << 30, -100, -20}) {  // the chunks would lie outside the file
        cases.push_back({good, data});
        std::memcpy(cases.back().first.data() + 16, &infoSize, 4);
    }
    for (const auto& [bytes, message] : cases) {
        core::ImageStore store;
        EXPECT_FALSE(Load(store, bytes, "bad.texture") || store.ImageLoaded || !store.PixelBuffer.empty()) << message;
        EXPECT_EQ(store.LoadErrorText, message);
    }
    core::ImageStore store;
    EXPECT_FALSE(core::LoadImage(store, "/nonexistent-folder/gone.texture"));
    EXPECT_EQ(store.LoadErrorText, "File not found : \"gone.texture\"");
    EXPECT_EQ(store.TextureFileName, "/nonexistent-folder/gone.texture");
}
