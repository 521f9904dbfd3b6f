#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

// Texture contents name only the fields that differ from the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
void PutText(Bytes& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }

// Writes a texture container with one chunk; the info fields present follow the version.
struct TextureContents {
    int32_t version = 263, firstCount = 1, secondCount = 1;
    int32_t format = 12, width = 4, height = 4;
    int32_t dynamic = 0, sWrap = 0, tWrap = 0, alphaHint = 0, normalMap = 0;
    std::optional<int32_t> infoSize;   // default: the fields' own size
    Bytes chunk;
    std::optional<int32_t> chunkSize;  // default: the chunk's own size

    Bytes Write() const {
        Bytes info;
        for (int32_t v : {version, 0x00020001, firstCount, secondCount, format, width, height, dynamic, sWrap, tWrap})
            Put32(info, v);
        for (int i = 0; i < 4; ++i) Put32(info, 0x5A5A5A5A);
        Put32(info, alphaHint);
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

// One DXT5 block of colour c0 (all indices 0) with alpha a0 everywhere.
Bytes Dxt5Block(uint8_t alpha, uint16_t colour) {
    return {alpha, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), 0, 0, 0, 0, 0, 0};
}

struct Loaded {
    bool ok = false;
    core::ImageStore store;
    // The first pixel of the store (pictures here are of one colour).
    std::vector<int> Pixel() const {
        return std::vector<int>(store.Image.Data, store.Image.Data + store.BytesPerPixel());
    }
};

std::unique_ptr<Loaded> LoadBytes(const Bytes& bytes, const std::string& name = "wagon.texture") {
    TempDir dir;
    WriteBytes(dir.File(name), bytes);
    auto r = std::make_unique<Loaded>();
    r->ok = core::LoadImage(r->store, dir.File(name));
    return r;
}

std::vector<std::string> Lines(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

}  // namespace

TEST(LoadTexture, DescriptionLinesFollowFormatHintsAndWrapModes) {
    struct Case {
        int32_t format, alphaHint, sWrap, tWrap, dynamic, normalMap;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {12, 0, 2, 2, 1, 1,
         Lines({"Primary=wagon.tga", "Alpha=wagon.tga", "Tile=st", "Hint=dynamic", "NormalMapHint=normalmap"})},
        // DXT1 never names an alpha file, even masked.
        {10, 2, 2, 0, 0, 0, Lines({"Primary=wagon.tga", "Tile=s", "AlphaHint=masked"})},
        {11, 2, 0, 2, 0, 0, Lines({"Primary=wagon.tga", "Tile=t", "AlphaHint=masked"})},
        {11, 1, 1, 3, 2, 2,
         Lines({"Primary=wagon.tga", "Alpha=wagon.tga", "Tile=none", "AlphaHint=semitransparent"})},
        {3, 0, 0, 0, 0, 0, Lines({"Primary=wagon.tga", "Tile=none"})},
    };
    for (const Case& c : cases) {
        TextureContents contents{.format = c.format, .dynamic = c.dynamic, .sWrap = c.sWrap, .tWrap = c.tWrap,
                                 .alphaHint = c.alphaHint, .normalMap = c.normalMap};
        contents.chunk = Bytes(c.format == 10 ? 8 : c.format > 10 ? 16 : 64, 0);
        auto r = LoadBytes(contents.Write());
        ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
        EXPECT_TRUE(r->store.HasTextureDescription);
        EXPECT_EQ(r->store.TextureDescription, c.expected) << "format " << c.format;
    }
}

TEST(LoadTexture, VersionDecidesTheOptionalFieldsAndTheInfoSizeWhereChunksStart) {
    // Only 263 and above read the normal-map flag; 262 ignores the same bytes.
    for (int32_t version : {259, 260, 261, 262, 263, 300}) {
        TextureContents contents;
        contents.version = version;
        contents.normalMap = 1;
        contents.chunk = Dxt5Block(255, 0xF800);
        auto r = LoadBytes(contents.Write());
        ASSERT_TRUE(r->ok) << "version " << version << ": " << r->store.LoadErrorText;
        const bool flagged = !r->store.TextureDescription.empty() &&
                             r->store.TextureDescription.back() == "NormalMapHint=normalmap";
        EXPECT_EQ(flagged, version > 262) << "version " << version;
        EXPECT_EQ(r->Pixel(), (std::vector<int>{248, 0, 0, 255}));
    }

    // S larger than the fields: padding before the chunks is skipped.
    TextureContents padded;
    padded.infoSize = 80 + 12;
    padded.chunk = Dxt5Block(255, 0x001F);
    auto r = LoadBytes(padded.Write());
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->Pixel(), (std::vector<int>{0, 0, 248, 255}));

    // S smaller than the fields read (version 263 reads 80 bytes): the reader
    // goes back to 20 + S for the first chunk tag, which overlays the info.
    // The chunk's 4 data bytes end right before the alpha hint.
    TextureContents overlapping{.version = 259, .format = 3, .width = 1, .height = 1, .infoSize = 44};
    overlapping.chunk = {30, 20, 10, 0};
    r = LoadBytes(overlapping.Write());
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->Pixel(), (std::vector<int>{10, 20, 30}));
}

TEST(LoadTexture, EveryFailureLeavesItsMessageAndNoPicture) {
    const std::string data = "Couldn't read texture data in \"bad.texture\".";
    struct Case { const char* what; Bytes bytes; std::string message; };
    TextureContents good;
    good.chunk = Dxt5Block(0, 0);
    const Bytes goodBytes = good.Write();
    std::vector<Case> cases;
    const auto with = [&](const char* what, auto change, std::string message) {
        TextureContents s = good;
        change(s);
        cases.push_back({what, s.Write(), std::move(message)});
    };
    cases.push_back({"info cut", Bytes(goodBytes.begin(), goodBytes.begin() + 60), data});
    Bytes badMagic = goodBytes;
    badMagic[0] = 'X';
    cases.push_back({"first tag", badMagic, "Not a Trainz texture \"bad.texture\"."});
    with("format 13", [](TextureContents& s) { s.format = 13; }, "Texture format not supported in \"bad.texture\".");
    with("width 0", [](TextureContents& s) { s.width = 0; }, "Texture too large in \"bad.texture\".");
    with("height 8193", [](TextureContents& s) { s.height = 8193; }, "Texture too large in \"bad.texture\".");
    with("negative count", [](TextureContents& s) { s.secondCount = -1; }, data);
    with("negative size", [](TextureContents& s) { s.chunkSize = -8; }, data);
    with("count past the end", [](TextureContents& s) { s.firstCount = 1000000000; }, data);
    for (int32_t infoSize : {1 << 30, -100, -20}) {
        Bytes b = goodBytes;
        std::memcpy(b.data() + 16, &infoSize, 4);  // the chunks would lie outside the file
        cases.push_back({"info size", b, data});
    }
    with("32-bit size", [](TextureContents& s) { s.format = 0, s.chunk.resize(60); }, data);
    // Huge sides with a tiny chunk never get as far as sizing a picture.
    with("huge", [](TextureContents& s) { s.width = s.height = 0x7FFFFFFF; }, "Texture too large in \"bad.texture\".");

    for (const Case& c : cases) {
        auto r = LoadBytes(c.bytes, "bad.texture");
        EXPECT_FALSE(r->ok) << c.what << ": " << r->store.LoadErrorText;
        EXPECT_FALSE(r->store.ImageLoaded) << c.what;
        EXPECT_TRUE(r->store.PixelBuffer.empty()) << c.what;
        EXPECT_EQ(r->store.LoadErrorText, c.message) << c.what;
    }

    core::ImageStore store;
    EXPECT_FALSE(core::LoadImage(store, "/nonexistent-folder/gone.texture"));
    EXPECT_EQ(store.LoadErrorText, "File not found : \"gone.texture\"");
    EXPECT_EQ(store.TextureFileName, "/nonexistent-folder/gone.texture");
}
