// skeinpress-cli thumbnail as a file manager runs it; the scaling itself is
// core's to test.
#include <gtest/gtest.h>

#include <tuple>

#include "cli/output/console.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

using namespace testing_support;

TEST(CliThumbnail, WritesAPngThatFitsWhateverItsNameAndReportsFailures) {
    TempDir dir;
    const std::string texture = dir.File("wagon.texture");
    WriteImage(texture, 64, 32, false, true);
    // The file manager's own name for the thumbnail, with no extension.
    auto r = RunCliProgram({"thumbnail", "--size", "16", texture, dir.File("thumb")});
    EXPECT_EQ(std::tuple(r.status, r.out, r.err), std::tuple(cli::kExitOk, "", "")) << r.err;
    const std::vector<uint8_t> png = ReadBytes(dir.File("thumb"));
    ASSERT_GE(png.size(), 26u);
    // PNG signature; width 16 and height 8 (big-endian); colour type 6, with alpha.
    EXPECT_EQ(std::tuple(png[1], png[19], png[23], png[25]), std::tuple('P', 16, 8, 6));

    r = RunCliProgram({"thumbnail", dir.File("none.tga"), dir.File("none.png")});
    EXPECT_EQ(r.status, cli::kExitFailed);
    EXPECT_TRUE(Contains(r.err, dir.File("none.tga") + ": File not found"));
    r = RunCliProgram({"thumbnail", "--size=0", texture, dir.File("t.png")});
    EXPECT_EQ(r.status, cli::kExitUsage);
    EXPECT_TRUE(Contains(r.err, "skeinpress-cli thumbnail: --size needs a number from 1 to 8192"));
}
