// skeinpress-cli convert with edits, run as a program on real files.
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

    // A TGA (bottom row first) from red, green, blue (and alpha) pixels.
    std::string Tga(const std::string& name, int w, int h, int bpp, const Pixels& pixels) {
        Pixels stored = pixels;
        for (size_t i = 0; i + 2 < stored.size(); i += bpp) std::swap(stored[i], stored[i + 2]);
        const std::string path = dir.File(name);
        testing_support::WriteBytes(path, testing_support::MakeTga(w, h, bpp * 8, stored));
        return path;
    }

    // Pixels (red, green, blue order) of a written file, with its bytes per pixel.
    struct Written {
        int bpp = 0;
        Pixels pixels;
    };
    Written Read(const std::string& name) {
        core::ImageStore store;
        EXPECT_TRUE(core::LoadImage(store, dir.File(name))) << store.LoadErrorText;
        return {store.BytesPerPixel(), Pixels(store.PixelBuffer.begin(), store.PixelBuffer.end())};
    }

    // Runs convert on `source` with the edits, writing out.tga; checks success.
    Written Convert(const std::string& source, std::vector<std::string> edits) {
        std::vector<std::string> args = {"convert", source, "--output", dir.File("out.tga")};
        args.insert(args.end(), edits.begin(), edits.end());
        const auto result = RunCliProgram(args);
        EXPECT_EQ(result.status, 0) << result.err;
        return Read("out.tga");
    }
};

TEST_F(ConvertEdits, AlphaChannelEditsApplyInCommandLineOrder) {
    const std::string rgb = Tga("rgb.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    Written w = Convert(rgb, {"--add-alpha", "--invert-alpha"});
    EXPECT_EQ(w.bpp, 4);
    EXPECT_EQ(w.pixels, (Pixels{1, 2, 3, 0, 4, 5, 6, 0}));

    w = Convert(rgb, {"--add-alpha=100", "--invert-alpha"});
    EXPECT_EQ(w.pixels, (Pixels{1, 2, 3, 155, 4, 5, 6, 155}));

    const std::string rgba = Tga("rgba.tga", 2, 1, 4, {1, 2, 3, 9, 4, 5, 6, 200});
    w = Convert(rgba, {"--remove-alpha"});
    EXPECT_EQ(w.bpp, 3);
    EXPECT_EQ(w.pixels, (Pixels{1, 2, 3, 4, 5, 6}));

    // The other order fails that file: no alpha to invert yet.
    std::filesystem::remove(dir.File("out.tga"));
    auto result = RunCliProgram({"convert", rgb, "--output", dir.File("out.tga"), "--invert-alpha", "--add-alpha"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("invert-alpha: the image has no alpha channel"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.tga")));

    result = RunCliProgram({"convert", rgba, "--output", dir.File("out.tga"), "--add-alpha"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("add-alpha: the image already has an alpha channel"), std::string::npos);
    result = RunCliProgram({"convert", rgb, "--output", dir.File("out.tga"), "--remove-alpha"});
    EXPECT_EQ(result.status, 1);
}

TEST_F(ConvertEdits, GreyAndMask) {
    const std::string source = Tga("c.tga", 3, 1, 3, {10, 20, 33, 255, 0, 255, 250, 5, 250});
    Written w = Convert(source, {"--grey"});
    EXPECT_EQ(w.pixels, (Pixels{21, 21, 21, 170, 170, 170, 168, 168, 168}));

    w = Convert(source, {"--mask", "255,0,255,5"});
    EXPECT_EQ(w.bpp, 4);
    EXPECT_EQ(w.pixels, (Pixels{10, 20, 33, 255, 255, 0, 255, 0, 250, 5, 250, 0}));
    // After grey scale the magenta is gone, so nothing is masked.
    w = Convert(source, {"--grey", "--mask=255,0,255,5"});
    EXPECT_EQ(w.pixels, (Pixels{21, 21, 21, 255, 170, 170, 170, 255, 168, 168, 168, 255}));

    for (const char* bad : {"255,0,255", "255,0,256,1", "a,b,c,d", "1,2,3,-4"}) {
        const auto result = RunCliProgram({"convert", source, "--mask", bad});
        EXPECT_EQ(result.status, 2) << bad;
        EXPECT_NE(result.err.find("--mask"), std::string::npos);
    }
}

TEST_F(ConvertEdits, MergeAlpha) {
    const std::string source = Tga("c.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    const std::string alpha = Tga("a.tga", 2, 1, 3, {0, 9, 9, 128, 9, 9});
    Written w = Convert(source, {"--merge-alpha", alpha});
    EXPECT_EQ(w.pixels, (Pixels{1, 2, 3, 0, 4, 5, 6, 128}));

    const std::string wide = Tga("wide.tga", 4, 1, 3, Pixels(12, 7));
    auto result = RunCliProgram({"convert", source, "--output", dir.File("x.tga"), "--merge-alpha", wide});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("merge-alpha: Images not the same size"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.tga")));

    result = RunCliProgram({"convert", source, "--merge-alpha", dir.File("none.tga")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("none.tga"), std::string::npos) << result.err;
}

TEST_F(ConvertEdits, NormalMapTakesItsOwnDefaultName) {
    const std::string source = Tga("bump.tga", 4, 1, 3, {0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255});
    const auto result = RunCliProgram({"convert", source, "--normalmap"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("bump_normal.tga"), std::string::npos);
    Written w = Read("bump_normal.tga");
    EXPECT_EQ(w.pixels, (Pixels{251, 128, 158, 4, 128, 158, 4, 128, 158, 251, 128, 158}));

    // Grey first: the height comes from (R + G + B) / 3, not red alone. A set
    // alpha level carries over to the normal map's alpha.
    const std::string flat = Tga("flat.tga", 2, 1, 3, {90, 0, 0, 0, 90, 0});
    w = Convert(flat, {"--add-alpha=50", "--normalmap"});
    EXPECT_EQ(w.pixels, (Pixels{128, 128, 255, 50, 128, 128, 255, 50}));
}

TEST_F(ConvertEdits, FixUniformBreaksUpOneColourOnly) {
    Pixels uniform;
    for (int i = 0; i < 16; ++i) uniform.insert(uniform.end(), {200, 50, 50});
    const std::string source = Tga("u.tga", 4, 4, 3, uniform);
    Written w = Convert(source, {"--fix-uniform", "--pixel-even"});
    Pixels expected = uniform;
    expected[0] = expected[15] = expected[30] = 180;
    EXPECT_EQ(w.pixels, expected);

    w = Convert(source, {"--fix-uniform", "--pixel-count", "5", "--pixel-change=7"});
    int changed = 0;
    for (size_t i = 0; i < w.pixels.size(); i += 3) changed += w.pixels[i] == 193;
    EXPECT_EQ(changed, 5);
    EXPECT_EQ(w.pixels[0], 200);

    // An image of more than one colour is left alone.
    Pixels mixed = uniform;
    mixed[47] = 51;
    w = Convert(Tga("m.tga", 4, 4, 3, mixed), {"--fix-uniform"});
    EXPECT_EQ(w.pixels, mixed);

    EXPECT_EQ(RunCliProgram({"convert", source, "--fix-uniform", "--pixel-count", "0"}).status, 2);
    EXPECT_EQ(RunCliProgram({"convert", source, "--pixel-change", "128"}).status, 2);
}

TEST_F(ConvertEdits, ColourAndAlphaCopies) {
    const std::string source = Tga("s.tga", 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200});
    const Written w = Convert(source, {"--colour-copy", dir.File("colour.tga"), "--alpha-copy", dir.File("alpha.tga")});
    EXPECT_EQ(w.bpp, 4);
    EXPECT_EQ(w.pixels, (Pixels{10, 20, 30, 0, 40, 50, 60, 200}));
    const Written colour = Read("colour.tga");
    EXPECT_EQ(colour.bpp, 3);
    EXPECT_EQ(colour.pixels, (Pixels{10, 20, 30, 40, 50, 60}));
    const Written alpha = Read("alpha.tga");
    EXPECT_EQ(alpha.bpp, 3);
    EXPECT_EQ(alpha.pixels, (Pixels{0, 0, 0, 200, 200, 200}));

    const std::string rgb = Tga("rgb.tga", 1, 1, 3, {1, 2, 3});
    auto result = RunCliProgram({"convert", rgb, "--alpha-copy", dir.File("a2.tga")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("alpha-copy: the image has no alpha channel"), std::string::npos);
    result = RunCliProgram({"convert", rgb, "--colour-copy", dir.File("no/such/dir/c.tga")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("colour-copy: "), std::string::npos);
    result = RunCliProgram({"convert", rgb, source, "--colour-copy", dir.File("c.tga")});
    EXPECT_EQ(result.status, 2);
}

}  // namespace
