// skeinpress-cli convert with edits, run as a program on real files. Pixels are
// compared in red, green, blue (alpha) order; their count shows the bytes per pixel.
#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "core/formats/load_image.h"
#include "tests/support/test_support.h"

namespace {

using Pixels = std::vector<uint8_t>;
using Args = std::vector<std::string>;
using testing_support::RunCliProgram;

// The normal map's alpha is the settings file's NormalMapAlpha, whatever an
// earlier --add-alpha gave the picture.
TEST(ConvertEdits, EachEditWritesTheExpectedPixels) {
    testing_support::TempDir home, dir;
    testing_support::WriteText(home.File("skeinpress.ini"), "[Options]\r\nNormalMapAlpha=200\r\n");
    // A TGA (bottom row first) of the given pixels.
    auto Tga = [&dir](const std::string& name, int w, int h, int bpp, Pixels pixels) {
        for (size_t i = 0; i + 2 < pixels.size(); i += bpp) std::swap(pixels[i], pixels[i + 2]);
        testing_support::WriteBytes(dir.File(name),
                                    testing_support::MakeTga(w, h, bpp * 8, pixels));
        return dir.File(name);
    };
    auto Read = [&dir](const std::string& name) {
        core::ImageStore store;
        EXPECT_TRUE(core::LoadImage(store, dir.File(name))) << store.LoadErrorText;
        return Pixels(store.PixelBuffer.begin(), store.PixelBuffer.end());
    };
    const std::string rgb = Tga("rgb.tga", 2, 1, 3, {1, 2, 3, 4, 5, 6});
    const std::string colours = Tga("c.tga", 3, 1, 3, {10, 20, 33, 255, 0, 255, 250, 5, 250});
    Pixels uniform(48, 50), fixed = uniform;
    fixed[0] = fixed[24] = 57;  // below 128 the red goes up
    const std::tuple<std::string, Args, Pixels> cases[] = {
        // Edits apply in command-line order.
        {rgb, {"--add-alpha=100", "--invert-alpha"}, {1, 2, 3, 155, 4, 5, 6, 155}},
        {Tga("rgba.tga", 2, 1, 4, {1, 2, 3, 9, 4, 5, 6, 200}),
         {"--remove-alpha"},
         {1, 2, 3, 4, 5, 6}},
        {colours, {"--grey"}, {21, 21, 21, 170, 170, 170, 168, 168, 168}},
        {colours, {"--mask", "255,0,255,5"}, {10, 20, 33, 255, 255, 0, 255, 0, 250, 5, 250, 0}},
        {rgb,
         {"--merge-alpha", Tga("a.tga", 2, 1, 3, {0, 9, 9, 128, 9, 9})},
         {1, 2, 3, 0, 4, 5, 6, 128}},
        {Tga("u.tga", 4, 4, 3, uniform),
         {"--fix-uniform", "--pixel-even", "--pixel-count", "2", "--pixel-change=7"},
         fixed},
        {Tga("rgba9.tga", 2, 1, 4, {1, 2, 3, 9, 4, 5, 6, 9}),
         {"--normalmap"},
         {128, 128, 255, 200, 128, 128, 255, 200}},
        {rgb, {"--add-alpha=50", "--normalmap"}, {128, 128, 255, 200, 128, 128, 255, 200}},
    };
    for (const auto& [source, edits, expected] : cases) {
        Args args = {"--home", home.path().string(), "convert",
                     source,   "--output",           dir.File("out.tga")};
        args.insert(args.end(), edits.begin(), edits.end());
        const auto result = RunCliProgram(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(Read("out.tga"), expected) << testing::PrintToString(edits);
    }

    // A normal map takes its own default name; copies are written beside the output.
    const std::string bump =
        Tga("bump.tga", 4, 1, 3, {0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255});
    ASSERT_EQ(RunCliProgram({"convert", bump, "--normalmap"}).status, 0);
    EXPECT_EQ(Read("bump_normal.tga"),
              (Pixels{251, 128, 158, 4, 128, 158, 4, 128, 158, 251, 128, 158}));
    const std::string rgba = Tga("s.tga", 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200});
    ASSERT_EQ(RunCliProgram({"convert", rgba, "--colour-copy", dir.File("colour.tga"),
                             "--alpha-copy", dir.File("alpha.tga")})
                  .status,
              0);
    EXPECT_EQ(Read("colour.tga"), (Pixels{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(Read("alpha.tga"), (Pixels{0, 0, 0, 200, 200, 200}));

    // A failed edit is an error and writes nothing.
    const auto failed =
        RunCliProgram({"convert", rgb, "--output", dir.File("failed.tga"), "--invert-alpha"});
    EXPECT_EQ(failed.status, 1) << failed.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("failed.tga")));
}

}  // namespace
