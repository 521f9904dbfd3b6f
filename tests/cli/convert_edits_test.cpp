// skeinpress-cli convert with edits, run as a program on real files. Pixels are
// compared in red, green, blue (alpha) order; their count shows the bytes per pixel.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/load_image.h"
#include "tests/support/test_support.h"

namespace {

using Pixels = std::vector<uint8_t>;
using testing_support::RunCliProgram;

class ConvertEdits : public ::testing::Test {
protected:
    testing_support::TempDir dir;

    // A TGA (bottom row first) of the given pixels.
    std::string Tga(const std::string& name, int w, int h, int bpp, Pixels pixels) {
        for (size_t i = 0; i + 2 < pixels.size(); i += bpp) std::swap(pixels[i], pixels[i + 2]);
        testing_support::WriteBytes(dir.File(name), testing_support::MakeTga(w, h, bpp * 8, pixels));
        return dir.File(name);
    }

    Pixels Read(const std::string& name) {
        core::ImageStore store;
        EXPECT_TRUE(core::LoadImage(store, dir.File(name))) << store.LoadErrorText;
        return Pixels(store.PixelBuffer.begin(), store.PixelBuffer.end());
    }

    // Converts `source` to out.tga with the edits, expecting success.
    Pixels Convert(const std::string& source, std::vector<std::string> edits) {
        edits.insert(edits.begin(), {"convert", source, "--output", dir.File("out.tga")});
        const auto result = RunCliProgram(edits);
        EXPECT_EQ(result.status, 0) << result.err;
        return Read("out.tga");
    }
};

TEST_F(ConvertEdits, AlphaChannelEditsApplyInCommandLineOrder) {
    const std::string rgb = Tga("rgb.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Convert(rgb, {"--add-alpha", "--invert-alpha"}), (Pixels{1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_EQ(Convert(rgb, {"--add-alpha=100", "--invert-alpha"}), (Pixels{1, 2, 3, 155, 4, 5, 6, 155}));
    const std::string rgba = Tga("rgba.tga", 2, 1, 4, {1, 2, 3, 9, 4, 5, 6, 200});
    EXPECT_EQ(Convert(rgba, {"--remove-alpha"}), (Pixels{1, 2, 3, 4, 5, 6}));

    // The other order fails that file: no alpha to invert yet.
    std::filesystem::remove(dir.File("out.tga"));
    const auto result =
        RunCliProgram({"convert", rgb, "--output", dir.File("out.tga"), "--invert-alpha", "--add-alpha"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("invert-alpha: the image has no alpha channel"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.tga")));
}

TEST_F(ConvertEdits, GreyAndMask) {
    const std::string source = Tga("c.tga", 3, 1, 3, {10, 20, 33, 255, 0, 255, 250, 5, 250});
    EXPECT_EQ(Convert(source, {"--grey"}), (Pixels{21, 21, 21, 170, 170, 170, 168, 168, 168}));
    EXPECT_EQ(Convert(source, {"--mask", "255,0,255,5"}),
              (Pixels{10, 20, 33, 255, 255, 0, 255, 0, 250, 5, 250, 0}));
    const auto result = RunCliProgram({"convert", source, "--mask", "255,0,256,1"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--mask"), std::string::npos);
}

TEST_F(ConvertEdits, MergeAlpha) {
    const std::string source = Tga("c.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    const std::string alpha = Tga("a.tga", 2, 1, 3, {0, 9, 9, 128, 9, 9});
    EXPECT_EQ(Convert(source, {"--merge-alpha", alpha}), (Pixels{1, 2, 3, 0, 4, 5, 6, 128}));

    const std::string wide = Tga("wide.tga", 4, 1, 3, Pixels(12, 7));
    const auto result = RunCliProgram({"convert", source, "--output", dir.File("x.tga"), "--merge-alpha", wide});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("merge-alpha: Images not the same size"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.tga")));
}

TEST_F(ConvertEdits, NormalMapTakesItsOwnDefaultName) {
    const std::string source = Tga("bump.tga", 4, 1, 3, {0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255});
    const auto result = RunCliProgram({"convert", source, "--normalmap"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Read("bump_normal.tga"), (Pixels{251, 128, 158, 4, 128, 158, 4, 128, 158, 251, 128, 158}));

    // The height is the grey (R + G + B) / 3, not red alone; a set alpha level
    // carries over to the normal map.
    const std::string flat = Tga("flat.tga", 2, 1, 3, {90, 0, 0, 0, 90, 0});
    EXPECT_EQ(Convert(flat, {"--add-alpha=50", "--normalmap"}), (Pixels{128, 128, 255, 50, 128, 128, 255, 50}));
}

TEST_F(ConvertEdits, FixUniformBreaksUpOneColourOnly) {
    Pixels uniform;
    for (int i = 0; i < 16; ++i) uniform.insert(uniform.end(), {200, 50, 50});
    const std::string source = Tga("u.tga", 4, 4, 3, uniform);
    Pixels expected = uniform;
    expected[0] = expected[15] = expected[30] = 180;
    EXPECT_EQ(Convert(source, {"--fix-uniform", "--pixel-even"}), expected);

    const Pixels random = Convert(source, {"--fix-uniform", "--pixel-count", "5", "--pixel-change=7"});
    int changed = 0;
    for (size_t i = 0; i < random.size(); i += 3) changed += random[i] == 193;
    EXPECT_EQ(changed, 5);
    EXPECT_EQ(random[0], 200);

    Pixels mixed = uniform;
    mixed[47] = 51;
    EXPECT_EQ(Convert(Tga("m.tga", 4, 4, 3, mixed), {"--fix-uniform"}), mixed);
    EXPECT_EQ(RunCliProgram({"convert", source, "--fix-uniform", "--pixel-count", "0"}).status, 2);
}

TEST_F(ConvertEdits, ColourAndAlphaCopies) {
    const std::string source = Tga("s.tga", 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200});
    EXPECT_EQ(Convert(source, {"--colour-copy", dir.File("colour.tga"), "--alpha-copy", dir.File("alpha.tga")}),
              (Pixels{10, 20, 30, 0, 40, 50, 60, 200}));
    EXPECT_EQ(Read("colour.tga"), (Pixels{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(Read("alpha.tga"), (Pixels{0, 0, 0, 200, 200, 200}));

    const std::string rgb = Tga("rgb.tga", 1, 1, 3, {1, 2, 3});
    const auto result = RunCliProgram({"convert", rgb, "--alpha-copy", dir.File("a2.tga")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("alpha-copy: the image has no alpha channel"), std::string::npos);
    EXPECT_EQ(RunCliProgram({"convert", rgb, source, "--colour-copy", dir.File("c.tga")}).status, 2);
}

}  // namespace
