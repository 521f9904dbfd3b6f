#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
void PutText(Bytes& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }

struct Chunk {
    Chunk(Bytes bytes = {}) : data(std::move(bytes)) {}
    Bytes data;
    std::optional<int32_t> declaredSize;  // default: the data's own size
    const char* tag = "MMAP";
};

// Writes a texture container; the info fields present follow the version.
struct TextureContents {
    int32_t version = 263;
    std::optional<int32_t> firstCount;  // default: as many chunks as given
    int32_t secondCount = 1;
    int32_t format = 12;
    int32_t width = 4;
    int32_t height = 4;
    int32_t dynamic = 0;
    int32_t sWrap = 0;
    int32_t tWrap = 0;
    int32_t alphaHint = 0;
    int32_t normalMap = 0;
    std::optional<int32_t> infoSize;  // default: the fields' own size
    std::vector<Chunk> chunks;

    Bytes Write() const {
        Bytes info;
        Put32(info, version);
        Put32(info, 0x00020001);
        Put32(info, firstCount.value_or(static_cast<int32_t>(chunks.size())));
        Put32(info, secondCount);
        Put32(info, format);
        Put32(info, width);
        Put32(info, height);
        Put32(info, dynamic);
        Put32(info, sWrap);
        Put32(info, tWrap);
        for (int i = 0; i < 4; ++i) Put32(info, 0x5A5A5A5A);
        Put32(info, alphaHint);
        if (version > 259) Put32(info, 0x11111111);
        if (version > 260) {
            for (int i = 0; i < 3; ++i) Put32(info, 0x22222222);
        }
        if (version > 262) Put32(info, normalMap);

        Bytes out;
        PutText(out, "JIRF");
        Put32(out, 0);
        PutText(out, "MMTFINFO");
        const int32_t s = infoSize.value_or(static_cast<int32_t>(info.size()));
        Put32(out, s);
        out.insert(out.end(), info.begin(), info.end());
        // Chunks start at 20 + S, over the info fields when S is smaller than them.
        out.resize(std::max(20 + s, 0), 0);
        for (const Chunk& c : chunks) {
            PutText(out, c.tag);
            Put32(out, c.declaredSize.value_or(static_cast<int32_t>(c.data.size())));
            out.insert(out.end(), c.data.begin(), c.data.end());
        }
        if (out.size() < 20 + info.size()) out.resize(20 + info.size(), 0);
        return out;
    }
};

// One DXT5 block of colour c0 (all indices 0) with alpha a0 everywhere.
Bytes Dxt5Block(uint8_t alpha, uint16_t colour) {
    return {alpha, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), 0, 0, 0, 0, 0, 0};
}

// Pixels of an uncompressed chunk: blue, green, red, alpha, top row first.
Bytes Bgra(std::initializer_list<uint8_t> bytes) { return Bytes(bytes); }

struct Loaded {
    bool ok = false;
    core::ImageStore store;
    std::vector<int> Pixel(int x, int yFromTop) const {
        const int bpp = store.BytesPerPixel();
        const uint8_t* p =
            store.Image.Data + (static_cast<size_t>(store.Image.Height - 1 - yFromTop) * store.Image.Width + x) * bpp;
        return std::vector<int>(p, p + bpp);
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
        TextureContents contents;
        contents.format = c.format;
        contents.alphaHint = c.alphaHint;
        contents.sWrap = c.sWrap;
        contents.tWrap = c.tWrap;
        contents.dynamic = c.dynamic;
        contents.normalMap = c.normalMap;
        contents.chunks = {{c.format >= 10 ? Bytes(c.format == 10 ? 8 : 16, 0) : Bytes(64, 0)}};
        auto r = LoadBytes(contents.Write());
        ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
        EXPECT_TRUE(r->store.HasTextureDescription);
        EXPECT_EQ(r->store.TextureDescription, c.expected) << "format " << c.format;
    }

    // The name keeps its case and loses its folder.
    TextureContents contents;
    contents.format = 11;
    contents.alphaHint = 1;
    contents.chunks = {{Bytes(16, 0)}};
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "loco");
    const std::string path = (dir.path() / "loco" / "MyLoco.texture").string();
    WriteBytes(path, contents.Write());
    core::ImageStore store;
    ASSERT_TRUE(core::LoadImage(store, path));
    EXPECT_EQ(store.TextureFileName, path);
    EXPECT_EQ(store.TextureDescription,
              Lines({"Primary=MyLoco.tga", "Alpha=MyLoco.tga", "Tile=none", "AlphaHint=semitransparent"}));
}

TEST(LoadTexture, VersionDecidesTheOptionalFieldsAndTheInfoSizeWhereChunksStart) {
    // Only 263 and above read the normal-map flag; 262 ignores the same bytes.
    for (int32_t version : {259, 260, 261, 262, 263, 300}) {
        TextureContents contents;
        contents.version = version;
        contents.normalMap = 1;
        contents.chunks = {{Dxt5Block(255, 0xF800)}};
        auto r = LoadBytes(contents.Write());
        ASSERT_TRUE(r->ok) << "version " << version << ": " << r->store.LoadErrorText;
        const bool flagged = !r->store.TextureDescription.empty() &&
                             r->store.TextureDescription.back() == "NormalMapHint=normalmap";
        EXPECT_EQ(flagged, version > 262) << "version " << version;
        EXPECT_EQ(r->Pixel(0, 0), (std::vector<int>{248, 0, 0, 255}));
    }

    // S larger than the fields: padding before the chunks is skipped.
    TextureContents padded;
    padded.infoSize = 80 + 12;
    padded.chunks = {{Dxt5Block(255, 0x001F)}};
    auto r = LoadBytes(padded.Write());
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->Pixel(3, 3), (std::vector<int>{0, 0, 248, 255}));

    // S smaller than the fields read (version 263 reads 80 bytes): the reader
    // goes back to 20 + S for the first chunk tag, which overlays the info.
    TextureContents overlapping;
    overlapping.version = 259;
    overlapping.format = 3;
    overlapping.width = overlapping.height = 1;
    overlapping.infoSize = 44;  // the chunk's 4 data bytes end right before the alpha hint
    overlapping.chunks = {{Bgra({30, 20, 10, 0})}};
    r = LoadBytes(overlapping.Write());
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->Pixel(0, 0), (std::vector<int>{10, 20, 30}));
}

TEST(LoadTexture, OnlyTheLastOfSeveralChunksIsDecoded) {
    TextureContents contents;
    contents.firstCount = 2;
    contents.secondCount = 2;
    // Earlier chunks may hold anything, including a size that is not a block's.
    contents.chunks = {{Bytes(5, 0xEE)}, {Bytes(300, 0x77)}, {Bytes()}, {Dxt5Block(128, 0x07E0)}};
    auto r = LoadBytes(contents.Write());
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->store.Image.Compression, 5);
    EXPECT_EQ(r->store.Image.AlphaKind, 1);
    EXPECT_EQ(r->Pixel(1, 2), (std::vector<int>{0, 252, 0, 128}));

    // A negative count times a negative count is a positive chunk count.
    contents.firstCount = -2;
    contents.secondCount = -2;
    EXPECT_TRUE(LoadBytes(contents.Write())->ok);
}

TEST(LoadTexture, UncompressedChunksBecomeBottomUpRgbAndClassifyAlpha) {
    // 2 x 2, top row first in the file: red, green / blue, white.
    TextureContents contents;
    contents.format = 0;
    contents.width = contents.height = 2;
    contents.chunks = {{Bgra({0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 0})}};
    auto r = LoadBytes(contents.Write());
    ASSERT_TRUE(r->ok) << r->store.LoadErrorText;
    EXPECT_EQ(r->store.BytesPerPixel(), 4);
    EXPECT_EQ(r->store.Image.AlphaKind, 2);  // only 0 and 255
    EXPECT_EQ(r->store.Image.Compression, 0);
    EXPECT_EQ(r->Pixel(0, 0), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(r->Pixel(1, 1), (std::vector<int>{255, 255, 255, 0}));
    EXPECT_EQ(std::vector<int>(r->store.Image.Data, r->store.Image.Data + 4), (std::vector<int>{0, 0, 255, 255}));

    contents.chunks[0].data[7] = 128;  // one graded alpha
    contents.format = 8;
    r = LoadBytes(contents.Write());
    ASSERT_TRUE(r->ok);
    EXPECT_EQ(r->store.Image.AlphaKind, 1);

    // Format 3 drops the fourth byte.
    contents.format = 3;
    r = LoadBytes(contents.Write());
    ASSERT_TRUE(r->ok);
    EXPECT_EQ(r->store.BytesPerPixel(), 3);
    EXPECT_EQ(r->store.Image.AlphaKind, 0);
    EXPECT_EQ(r->Pixel(1, 0), (std::vector<int>{0, 255, 0}));
}

TEST(LoadTexture, EveryFailureLeavesItsMessageAndNoPicture) {
    const std::string data = "Couldn't read texture data in \"bad.texture\".";
    struct Case {
        const char* what;
        Bytes bytes;
        std::string message;
    };
    TextureContents good;
    good.chunks = {{Dxt5Block(0, 0)}};
    const Bytes goodBytes = good.Write();
    std::vector<Case> cases;
    const auto with = [&](const char* what, auto change, std::string message) {
        TextureContents s = good;
        change(s);
        cases.push_back({what, s.Write(), std::move(message)});
    };
    cases.push_back({"empty", {}, data});
    cases.push_back({"header cut", Bytes(goodBytes.begin(), goodBytes.begin() + 10), data});
    cases.push_back({"info cut", Bytes(goodBytes.begin(), goodBytes.begin() + 60), data});
    Bytes badMagic = goodBytes;
    badMagic[0] = 'X';
    cases.push_back({"first tag", badMagic, "Not a Trainz texture \"bad.texture\"."});
    Bytes badInfo = goodBytes;
    badInfo[15] = 'X';
    cases.push_back({"info tag", badInfo, "Not a Trainz texture \"bad.texture\"."});
    with("format 13", [](TextureContents& s) { s.format = 13; }, "Texture format not supported in \"bad.texture\".");
    with("width 0", [](TextureContents& s) { s.width = 0; }, "Texture too large in \"bad.texture\".");
    with("height 8193", [](TextureContents& s) { s.height = 8193; }, "Texture too large in \"bad.texture\".");
    with("negative width", [](TextureContents& s) { s.width = -4; }, "Texture too large in \"bad.texture\".");
    with("no chunks", [](TextureContents& s) { s.firstCount = 0; }, data);
    with("negative count", [](TextureContents& s) { s.secondCount = -1; }, data);
    with("chunk tag", [](TextureContents& s) { s.chunks[0].tag = "MMAQ"; }, data);
    with("negative size", [](TextureContents& s) { s.chunks[0].declaredSize = -8; }, data);
    with("chunk cut", [](TextureContents& s) { s.chunks[0].declaredSize = 32; }, data);
    with("count past the end", [](TextureContents& s) { s.firstCount = 1000000000; }, data);
    for (int32_t infoSize : {1 << 30, -100, -20}) {
        Bytes b = goodBytes;
        std::memcpy(b.data() + 16, &infoSize, 4);  // the chunks would lie outside the file
        cases.push_back({"info size", b, data});
    }
    with("block cut", [](TextureContents& s) { s.chunks[0].data.resize(15); }, data);
    with("32-bit size", [](TextureContents& s) {
        s.format = 0;
        s.chunks[0].data.resize(60);
    }, data);
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

TEST(LoadTexture, ConvertWritesTheTgaAndTheDescriptionBesideTheTexture) {
    TextureContents contents;
    contents.alphaHint = 1;
    contents.sWrap = 2;
    contents.chunks = {{Dxt5Block(128, 0xF800)}};
    TempDir dir;
    const std::string texture = dir.File("wagon.texture");
    WriteBytes(texture, contents.Write());

    const auto convert = testing_support::RunCliProgram({"convert", texture});
    ASSERT_EQ(convert.status, 0) << convert.err;
    const Bytes tga = testing_support::ReadBytes(dir.File("wagon.tga"));
    ASSERT_EQ(tga.size(), 18u + 4 * 4 * 4);
    EXPECT_EQ(tga[16], 32);
    EXPECT_EQ(Bytes(tga.begin() + 18, tga.begin() + 22), (Bytes{0, 0, 248, 128}));  // blue, green, red, alpha
    EXPECT_EQ(testing_support::ReadText(dir.File("wagon.texture.txt")),
              "Primary=wagon.tga\r\nAlpha=wagon.tga\r\nTile=s\r\nAlphaHint=semitransparent\r\n");

    const auto info = testing_support::RunCliProgram({"info", "--json", texture});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\"compression\":5"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"description\":[\"Primary=wagon.tga\",\"Alpha=wagon.tga\",\"Tile=s\","
                            "\"AlphaHint=semitransparent\"]"),
              std::string::npos)
        << info.out;
}
