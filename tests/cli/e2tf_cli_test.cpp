// E2TF textures through skeinpress-cli: a trawl over classic and E2TF textures
// side by side, info on both, and convert --output to the tools' formats.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/e2tf_files.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;
using testing_support::Contains;
using testing_support::E2TFBytes;
using testing_support::E2TFParts;
using testing_support::ReadBytes;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteBytes;

const Bytes kBlocks = testing_support::NoiseBytes(16 * 16, 9);  // 16 x 16 DXT5

Bytes E2TFDxt5() {
    E2TFParts p;
    p.width = p.height = 16, p.alphaMode = 3;
    p.levels = {{kBlocks}, {Bytes(64, 1)}, {Bytes(16, 2)}};
    return E2TFBytes(p);
}

Bytes E2TFCube() {
    E2TFParts p;
    p.code = "abgr", p.type = 2, p.width = p.height = 2, p.wrapS = p.wrapT = 1;
    p.levels.assign(1, {});
    for (int f = 0; f < 6; ++f) p.levels[0].push_back(Bytes(16, uint8_t(f * 30)));
    return E2TFBytes(p);
}

}  // namespace

TEST(E2TFCli, ATrawlConvertsClassicAndE2TFTexturesAlikeAndInfoTellsThemApart) {
    TempDir home, work;
    const std::string root = work.File("route");
    WriteBytes(root + "/old.texture", testing_support::TextureBytes(12, 16, 16, kBlocks));
    WriteBytes(root + "/new/lamp.texture", E2TFDxt5());
    WriteBytes(root + "/new/sky.texture", E2TFCube());
    const auto trawl = RunCliProgram({"--home", home.path().string(), "trawl", root});
    ASSERT_EQ(trawl.status, 0) << trawl.out << trawl.err;

    // The same blocks give the same TGA whichever container held them.
    EXPECT_EQ(ReadBytes(root + "/new/lamp.tga"), ReadBytes(root + "/old.tga"));
    EXPECT_EQ(testing_support::ReadText(root + "/new/lamp.texture.txt"),
              "Primary=lamp.tga\r\nAlpha=lamp.tga\r\nTile=st\r\nAlphaHint=semitransparent\r\n");
    // The cube map's faces are written; with overwriting off, one the user may
    // have edited is never replaced.
    EXPECT_TRUE(fs::exists(root + "/new/sky_back.tga"));
    const Bytes edited =
        testing_support::MakeTga(2, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    WriteBytes(root + "/new/sky_top.tga", edited);
    const auto again =
        RunCliProgram({"--home", home.path().string(), "trawl", "--no-overwrite", root});
    ASSERT_EQ(again.status, 0) << again.out << again.err;
    EXPECT_EQ(ReadBytes(root + "/new/sky_top.tga"), edited);
    EXPECT_TRUE(fs::exists(root + "/new/sky1_top.tga"));

    const auto info =
        RunCliProgram({"info", "--json", root + "/old.texture", root + "/new/lamp.texture"});
    ASSERT_EQ(info.status, 0) << info.err;
    const auto lines = testing_support::SplitLines(info.out, "\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(Contains(lines[0], ",\"compression\":5,"));
    EXPECT_TRUE(Contains(lines[0], ",\"container\":\"JIRF\",\"details\":[]}"));
    EXPECT_TRUE(Contains(lines[1], ",\"compression\":5,"));
    EXPECT_TRUE(Contains(lines[1],
                         ",\"container\":\"E2TF\",\"details\":[\"Container=E2TF version 7\","
                         "\"Format=DXT5\",\"AlphaMode=transparent\""));
    const auto text = RunCliProgram({"info", root + "/new/sky.texture"});
    EXPECT_TRUE(Contains(text.out, "  container:      E2TF\n"));
    EXPECT_TRUE(Contains(text.out, "    Cubemap=6 faces side by side"));
}

// The writers' bytes are the core tests'; here the program picks the writer
// from the output's name and reports a cube map's six faces.
TEST(E2TFCli, ConvertWritesTheFormatItsOutputNames) {
    TempDir work;
    WriteBytes(work.File("lamp.texture"), E2TFDxt5());
    WriteBytes(work.File("sky.texture"), E2TFCube());
    fs::create_directory(work.File("out"));
    const auto convert = [&](const std::string& from, const std::string& to) {
        return RunCliProgram({"convert", work.File(from), "--output", work.File(to)});
    };
    for (const char* out : {"lamp.png", "lamp.dds"})
        ASSERT_EQ(convert("lamp.texture", out).status, 0) << out;
    EXPECT_EQ(ReadBytes(work.File("lamp.png")).at(1), 'P');
    EXPECT_EQ(ReadBytes(work.File("lamp.dds")).size(), 128 + kBlocks.size());
    EXPECT_FALSE(fs::exists(work.File("lamp.texture.txt")));  // only a TGA gets one
    const auto hdr = convert("lamp.texture", "lamp.hdr");
    EXPECT_EQ(hdr.status, 1);
    EXPECT_TRUE(
        Contains(hdr.err, "Only a floating-point texture can be saved as HDR \"lamp.hdr\"."));
    const auto cube = convert("sky.texture", "out/night.tga");
    ASSERT_EQ(cube.status, 0);
    EXPECT_TRUE(Contains(cube.out, " -> " + work.File("out/night_right.tga") + ", "));
    EXPECT_EQ(cube.out.find("night.tga"), std::string::npos) << cube.out;
}
