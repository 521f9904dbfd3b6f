// The E2TF reader: every pixel format from files written by the tests' own
// writer (floats: the HDR test in export_formats_test.cpp), cube maps, the DXT results against the
// classic container (from level 0 of several), and the message of every refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "core/formats/save_image.h"
#include "tests/core/formats/reader_checks.h"
#include "tests/support/e2tf_files.h"
#include "tests/support/image_files.h"

using namespace testing_support;

namespace {

using reader_checks::PixelAt;

bool Load(testing_support::TestStore& store, const Bytes& bytes,
          const std::string& name = "t.texture") {
    return reader_checks::LoadBytes(store, bytes, name);
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(LoadE2TF, EightBitPixelsTopRowFirstWithDescriptionAndDetails) {
    E2TFParts p;
    p.code = "abgr", p.width = 3, p.height = 2, p.alphaMode = 3, p.wrapT = 1;
    Bytes data;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) data.insert(data.end(), {uint8_t(x), uint8_t(y), 100, 255});
    data[7] = 128;  // alpha of the second pixel of the top row
    p.levels = {{data}};
    testing_support::TestStore s;
    ASSERT_TRUE(Load(s, E2TFBytes(p), "Wagon.texture")) << s.error;
    EXPECT_EQ(std::make_tuple(s.Current.Width, s.Current.Height, s.Current.BytesPerPixel(),
                              s.Current.AlphaKind, s.Current.Compression, s.Current.Container),
              std::make_tuple(3, 2, 4, 1, 0, std::string("E2TF")));
    EXPECT_EQ(PixelAt(s, 1, 0), (std::vector<int>{100, 0, 1, 128}));
    EXPECT_EQ(PixelAt(s, 2, 1), (std::vector<int>{100, 1, 2, 255}));
    EXPECT_EQ(s.Current.Description,
              (std::vector<std::string>{"Primary=Wagon.tga", "Alpha=Wagon.tga", "Tile=s",
                                        "AlphaHint=semitransparent", "nonpoweroftwo=1"}));
    EXPECT_EQ(s.Current.Details,
              (std::vector<std::string>{"Container=E2TF version 7", "Format=8-bit BGRA (abgr)",
                                        "AlphaMode=transparent", "Tile=s",
                                        "MipLevels=1 (level 0 shown)", "ColourHint=10,20,30,255"}));

    // What it does not understand it says, and it guesses nothing.
    p.alphaMode = 0, p.wrapS = 2, p.mipSkip = 1, p.width = 4, p.height = 1,
    p.levels = {{Bytes(16)}};
    ASSERT_TRUE(Load(s, E2TFBytes(p)));
    EXPECT_EQ(s.Current.Description,
              (std::vector<std::string>{"Primary=t.tga", "Alpha=t.tga", "Tile=none"}));
    for (const char* line : {"AlphaMode=0 (not understood; no alpha hint written)",
                             "WrapS=2 (not understood; taken as clamp to edge)",
                             "MipSkip=1 (meaning unknown; ignored)"})
        EXPECT_TRUE(HasLine(s.Current.Details, line)) << line;
}

TEST(LoadE2TF, DxtDecodesBitForBitAsInTheClassicContainer) {
    for (auto [code, classicFormat, blockBytes] :
         {std::tuple{"1txd", 10u, 8u}, {"3txd", 11u, 16u}, {"5txd", 12u, 16u}}) {
        // DXT1's punch-through transparency shows when masked (2) or
        // transparent (3), as the classic container's masked hint shows it.
        for (uint8_t alphaMode : {1, 2, 3}) {
            SCOPED_TRACE(std::string(code) + " alpha mode " + std::to_string(alphaMode));
            // 10 x 6: the blocks at the right and bottom edges are cut. The
            // smaller level, stored first, must not show.
            const Bytes blocks = NoiseBytes(3 * 2 * blockBytes, alphaMode * 7 + classicFormat);
            Bytes classic = TextureBytes(classicFormat, 10, 6, blocks);
            classic[76] = std::min<uint8_t>(alphaMode, 2);  // the classic alpha hint
            E2TFParts p;
            p.code = code, p.width = 10, p.height = 6, p.alphaMode = alphaMode;
            p.levels = {{blocks}, {NoiseBytes(2 * blockBytes, 99)}};
            testing_support::TestStore a, b;
            ASSERT_TRUE(Load(a, classic)) << a.error;
            ASSERT_TRUE(Load(b, E2TFBytes(p))) << b.error;
            EXPECT_EQ(std::make_tuple(b.Current.Width, b.Current.Height, b.Current.DataSize(),
                                      b.Current.AlphaKind, b.Current.Compression),
                      std::make_tuple(a.Current.Width, a.Current.Height, a.Current.DataSize(),
                                      a.Current.AlphaKind, a.Current.Compression));
            EXPECT_TRUE(std::equal(a.Current.Pixels.begin(), a.Current.Pixels.end(),
                                   b.Current.Pixels.begin(), b.Current.Pixels.end()));
            EXPECT_TRUE(HasLine(b.Current.Details, "MipLevels=2 (level 0 shown)"));
            EXPECT_EQ(HasLine(b.Current.Description, "Alpha=t.tga"),
                      b.Current.BytesPerPixel() == 4);
        }
    }
}

// A build without the codec refuses ASTC textures (see the refusals below).
#if SKEINPRESS_HAVE_ASTC
TEST(LoadE2TF, AstcAtTwoBlockSizes) {
    // One solid block per block position, in a picture whose edge blocks are
    // cut: each pixel must take its own block's colour.
    for (auto [bw, bh, width, height] : {std::array<int, 4>{4, 4, 8, 4}, {6, 5, 10, 7}}) {
        SCOPED_TRACE(std::to_string(bw) + "x" + std::to_string(bh));
        const int across = (width + bw - 1) / bw, down = (height + bh - 1) / bh;
        Bytes blocks;
        for (int by = 0; by < down; ++by)
            for (int bx = 0; bx < across; ++bx) {
                const Bytes block =
                    AstcSolidBlock(uint8_t(bx * 40), uint8_t(by * 60), 7, uint8_t(200 + bx));
                blocks.insert(blocks.end(), block.begin(), block.end());
            }
        E2TFParts p;
        p.code = "ctsa", p.blockWidth = uint8_t(bw), p.blockHeight = uint8_t(bh);
        p.width = width, p.height = height, p.levels = {{blocks}};
        testing_support::TestStore s;
        ASSERT_TRUE(Load(s, E2TFBytes(p))) << s.error;
        ASSERT_EQ(s.Current.BytesPerPixel(), 4);
        EXPECT_EQ(s.Current.AlphaKind, 1);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(PixelAt(s, x, y),
                          (std::vector<int>{x / bw * 40, y / bh * 60, 7, 200 + x / bw}))
                    << x << "," << y;
        EXPECT_TRUE(HasLine(s.Current.Details,
                            "Format=ASTC " + std::to_string(bw) + "x" + std::to_string(bh)));
    }
}
#endif

TEST(LoadE2TF, CubeMapShowsItsSixFacesAndConvertsToSixTGAs) {
    E2TFParts p;
    p.code = "abgr", p.type = 2, p.width = 2, p.height = 2;
    p.levels.assign(2, {});
    for (int f = 0; f < 6; ++f) {
        Bytes face;
        for (int i = 0; i < 4; ++i) face.insert(face.end(), {uint8_t(f), uint8_t(i * 50), 9, 255});
        p.levels[0].push_back(face);
        p.levels[1].push_back(Bytes(4, 0xEE));
    }
    TempDir dir;
    WriteBytes(dir.File("sky.texture"), E2TFBytes(p));
    testing_support::TestStore s;
    ASSERT_TRUE(testing_support::Load(s, dir.File("sky.texture"))) << s.error;
    ASSERT_EQ(std::make_tuple(s.Current.Width, s.Current.Height, s.Current.CubeMap),
              std::make_tuple(12, 2, true));
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(PixelAt(s, 2 * f + 1, 1), (std::vector<int>{9, 150, f, 255}));

    ASSERT_TRUE(testing_support::Save(s, dir.File("sky.tga"))) << s.error;
    const char* faces[] = {"right", "left", "top", "bottom", "front", "back"};
    for (int f = 0; f < 6; ++f) {
        testing_support::TestStore face;
        ASSERT_TRUE(testing_support::Load(face, dir.File(std::string("sky_") + faces[f] + ".tga")));
        EXPECT_EQ(PixelAt(face, 1, 1), (std::vector<int>{9, 150, f, 255}));
    }
    const std::string cube =
        "Cubemap=1\r\nRight=sky_right.tga\r\nLeft=sky_left.tga\r\n"
        "Top=sky_top.tga\r\nBottom=sky_bottom.tga\r\nFront=sky_front.tga\r\n"
        "Back=sky_back.tga\r\nTile=st\r\n";
    EXPECT_EQ(ReadText(dir.File("sky.texture.txt")), cube);
}

// Faces wider than a sixth of the largest picture still make one strip, and
// each face's TGA is the face at full size.
TEST(LoadE2TF, ACubeMapWiderSideBySideThanAnyPictureConverts) {
    E2TFParts p;
    p.code = "1txd", p.type = 2, p.width = p.height = 1400;
    p.levels = {{}};
    for (uint8_t f = 0; f < 6; ++f) p.levels[0].push_back(NoiseBytes(350 * 350 * 8, f));
    TempDir dir;
    WriteBytes(dir.File("big.texture"), E2TFBytes(p));
    testing_support::TestStore s;
    ASSERT_TRUE(testing_support::Load(s, dir.File("big.texture"))) << s.error;
    ASSERT_EQ(std::make_tuple(s.Current.Width, s.Current.Height), std::make_tuple(8400, 1400));
    ASSERT_TRUE(testing_support::Save(s, dir.File("big.tga"))) << s.error;
    testing_support::TestStore back;
    ASSERT_TRUE(testing_support::Load(back, dir.File("big_back.tga"))) << back.error;
    EXPECT_EQ(std::make_tuple(back.Current.Width, back.Current.Height),
              std::make_tuple(1400, 1400));
    EXPECT_EQ(PixelAt(back, 1399, 1399), PixelAt(s, 8399, 1399));
}

TEST(LoadE2TF, EveryRefusalNamesTheFileAndWhatWasWrong) {
    const auto with = [](auto change) {
        E2TFParts p;
        change(p);
        return E2TFBytes(p);
    };
    Bytes extra = E2TFBytes({}), shortData = extra;
    extra.push_back(0), shortData.pop_back();
    const std::pair<Bytes, std::string> cases[] = {
        {with([](E2TFParts& p) { p.code = "zyxw"; }), "Texture format \"wxyz\" not supported in"},
        {with([](E2TFParts& p) { p.code = std::string("\x01\"a5", 4); }),
         "Texture format \"5a\\x22\\x01\" not supported in"},
        {with([](E2TFParts& p) { p.width = 0; }), "Texture size 0 x 4 not supported in"},
        {with([](E2TFParts& p) { p.height = 8193; }), "Texture size 4 x 8193 not supported in"},
        {with([](E2TFParts& p) { p.levels = {}, p.faceCount = 1; }),
         "Texture has no mip levels in"},
        {with([](E2TFParts& p) { p.faceCount = 3; }), "Texture with 3 faces not supported in"},
        {with([](E2TFParts& p) { p.type = 1; }), "Texture type 1 not supported in"},
        {with([](E2TFParts& p) { p.type = 2; }), "Texture type 2 with 1 face not supported in"},
        {with([](E2TFParts& p) { p.width = 4097, p.type = 2, p.faceCount = 6; }),
         "Cube map faces of 4097 x 4 not supported (at most 4096 x 4096) in"},
        {with([](E2TFParts& p) { p.levels = {{Bytes(15)}}; }),
         "Level 0 holds 15 bytes where a 4 x 4 DXT5 face needs 16 in"},
        // Smaller levels too: each halves the sides, down to 1 x 1.
        {with([](E2TFParts& p) {
             p.levels = {{Bytes(16)}, {Bytes(16)}, {Bytes(16)}, {Bytes(16)}};
         }),
         "Texture has 4 mip levels where a 4 x 4 picture has at most 3 in"},
        {with([](E2TFParts& p) {
             p.code = "abgr", p.width = 8, p.height = 2,
             p.levels = {{Bytes(64)}, {Bytes(16)}, {Bytes(4)}};
         }),
         "Level 2 holds 4 bytes where a 2 x 1 8-bit BGRA (abgr) face needs 8 in"},
        {extra, "Texture sizes add up to 16 bytes where 17 follow the size table in"},
        {shortData, "Texture sizes add up to 16 bytes where 15 follow the size table in"},
        {with([](E2TFParts& p) { p.code = "ctsa", p.blockWidth = 3, p.blockHeight = 7; }),
         SKEINPRESS_HAVE_ASTC ? "ASTC block size 3 x 7 not supported in"
                              : "Texture format ASTC not supported by this build in"},
        {Bytes{'F', 'T', '2', 'E', 7, 0, 0, 0}, "Couldn't read texture data in"},
    };
    std::vector<std::pair<Bytes, std::string>> named;
    for (const auto& [bytes, message] : cases)
        named.push_back({bytes, message + " \"bad.texture\"."});
    reader_checks::ExpectRefusals("bad.texture", named);
}
