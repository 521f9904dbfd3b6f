// skeinpress-cli thumbnail as a file manager runs it; the scaling itself is
// core's to test.
#include <gtest/gtest.h>

#include <tuple>

#include "cli/console.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// A PNG file's width, height and colour type (6 with alpha, 2 without), from its header.
std::tuple<uint32_t, uint32_t, int> PngHeader(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 26 || bytes[1] != 'P' || bytes[2] != 'N' || bytes[3] != 'G') return {};
    const auto big = [&bytes](size_t at) {
        return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
               uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
    };
    return {big(16), big(20), bytes[25]};
}

}  // namespace

TEST(CliThumbnail, WritesAPngThatFitsWhateverItsNameAndReportsFailures) {
    TempDir dir;
    const std::string texture = dir.File("wagon.texture"), picture = dir.File("sky.bmp");
    WriteImage(texture, 64, 32, false, true);
    WriteImage(picture, 16, 8, true);
    // The file manager's own name for the thumbnail, with no extension.
    auto r = RunCliProgram({"thumbnail", "--size", "16", texture, dir.File("thumb")});
    EXPECT_EQ(std::tuple(r.status, r.out, r.err), std::tuple(cli::kExitOk, "", "")) << r.err;
    EXPECT_EQ(PngHeader(dir.File("thumb")), std::tuple(16u, 8u, 6));
    // Never enlarged; one uniform colour left as it is (no alpha: 3 bytes).
    r = RunCliProgram({"thumbnail", "--size=256", picture, dir.File("sky.png")});
    EXPECT_EQ(r.status, cli::kExitOk) << r.err;
    EXPECT_EQ(PngHeader(dir.File("sky.png")), std::tuple(16u, 8u, 2));

    r = RunCliProgram({"thumbnail", dir.File("none.tga"), dir.File("none.png")});
    EXPECT_EQ(r.status, cli::kExitFailed);
    EXPECT_TRUE(Contains(r.err, dir.File("none.tga") + ": File not found"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"thumbnail", "--size", "0", texture, "t.png"},
          {"thumbnail", "--size"},
          {"thumbnail", texture},
          {"thumbnail", "--bogus", texture, "t.png"}}) {
        r = RunCliProgram(args);
        EXPECT_EQ(r.status, cli::kExitUsage) << testing::PrintToString(args);
        EXPECT_TRUE(Contains(r.err, "skeinpress-cli thumbnail: "));
    }
}
