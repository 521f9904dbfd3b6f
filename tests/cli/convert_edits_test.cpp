// skeinpress-cli convert with edits, run as a program on real files. Pixels are
// compared in red, green, blue (alpha) order; their count shows the bytes per pixel.
#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "core/load_image.h"
#include "tests/support/test_support.h"

namespace {

using Pixels = std::vector<uint8_t>;
using Args = std::vector<std::string>;
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
    Pixels Convert(const std::string& source, Args edits) {
        edits.insert(edits.begin(), {"convert", source, "--output", dir.File("out.tga")});
        const auto result = RunCliProgram(edits);
        EXPECT_EQ(result.status, 0) << result.err;
        return Read("out.tga");
    }
};

TEST_F(ConvertEdits, EachEditWritesTheExpectedPixels) {
    const std::string rgb = Tga("rgb.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    const std::string colours = Tga("c.tga", 3, 1, 3, {10, 20, 33, 255, 0, 255, 250, 5, 250});
    Pixels uniform;
    for (int i = 0; i < 16; ++i) uniform.insert(uniform.end(), {200, 50, 50});
    Pixels evenlyFixed = uniform, fewerFixed = uniform, mixed = uniform;
    evenlyFixed[0] = evenlyFixed[15] = evenlyFixed[30] = 180;
    fewerFixed[0] = fewerFixed[24] = 193;
    mixed[47] = 51;
    const std::tuple<std::string, Args, Pixels> cases[] = {
        // Edits apply in command-line order.
        {rgb, {"--add-alpha", "--invert-alpha"}, {1, 2, 3, 0, 4, 5, 6, 0}},
        {rgb, {"--add-alpha=100", "--invert-alpha"}, {1, 2, 3, 155, 4, 5, 6, 155}},
        {Tga("rgba.tga", 2, 1, 4, {1, 2, 3, 9, 4, 5, 6, 200}), {"--remove-alpha"}, {1, 2, 3, 4, 5, 6}},
        {colours, {"--grey"}, {21, 21, 21, 170, 170, 170, 168, 168, 168}},
        {colours, {"--mask", "255,0,255,5"}, {10, 20, 33, 255, 255, 0, 255, 0, 250, 5, 250, 0}},
        {rgb, {"--merge-alpha", Tga("a.tga", 2, 1, 3, {0, 9, 9, 128, 9, 9})}, {1, 2, 3, 0, 4, 5, 6, 128}},
        // The height is the grey (R + G + B) / 3, not red alone; the alpha level carries over.
        {Tga("flat.tga", 2, 1, 3, {90, 0, 0, 0, 90, 0}), {"--add-alpha=50", "--normalmap"},
         {128, 128, 255, 50, 128, 128, 255, 50}},
        {Tga("u.tga", 4, 4, 3, uniform), {"--fix-uniform", "--pixel-even"}, evenlyFixed},
        {dir.File("u.tga"), {"--fix-uniform", "--pixel-even", "--pixel-count", "2", "--pixel-change=7"}, fewerFixed},
        {Tga("m.tga", 4, 4, 3, mixed), {"--fix-uniform"}, mixed},  // not one colour: left alone
    };
    for (const auto& [source, edits, expected] : cases) {
        EXPECT_EQ(Convert(source, edits), expected) << testing::PrintToString(edits);
    }

    // A normal map takes its own default name.
    const std::string bump = Tga("bump.tga", 4, 1, 3, {0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255});
    ASSERT_EQ(RunCliProgram({"convert", bump, "--normalmap"}).status, 0);
    EXPECT_EQ(Read("bump_normal.tga"), (Pixels{251, 128, 158, 4, 128, 158, 4, 128, 158, 251, 128, 158}));

    const std::string rgba = Tga("s.tga", 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200});
    EXPECT_EQ(Convert(rgba, {"--colour-copy", dir.File("colour.tga"), "--alpha-copy", dir.File("alpha.tga")}),
              (Pixels{10, 20, 30, 0, 40, 50, 60, 200}));
    EXPECT_EQ(Read("colour.tga"), (Pixels{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(Read("alpha.tga"), (Pixels{0, 0, 0, 200, 200, 200}));
}

TEST_F(ConvertEdits, FailedEditsWriteNothingAndBadOptionsAreUsageErrors) {
    const std::string rgb = Tga("rgb.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    const std::string failed = dir.File("failed.tga");
    const std::tuple<Args, int, std::string> cases[] = {
        {{"convert", rgb, "--output", failed, "--invert-alpha", "--add-alpha"}, 1,
         "invert-alpha: the image has no alpha channel"},
        {{"convert", rgb, "--output", failed, "--merge-alpha", Tga("wide.tga", 4, 1, 3, Pixels(12, 7))}, 1,
         "merge-alpha: Images not the same size"},
        {{"convert", rgb, "--output", failed, "--alpha-copy", failed}, 1, "alpha-copy: the image has no alpha channel"},
        {{"convert", rgb, "--mask", "255,0,256,1"}, 2, "--mask"},
        {{"convert", rgb, rgb, "--colour-copy", failed}, 2, ""},
    };
    for (const auto& [args, status, message] : cases) {
        const auto result = RunCliProgram(args);
        EXPECT_EQ(result.status, status) << testing::PrintToString(args);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(failed));
}

}  // namespace
