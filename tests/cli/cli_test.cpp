// skeinpress-cli run as a program: usage, --home, info and convert.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli.h"
#include "core/load_image.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteImage;

TEST(CliUsage, HelpHomeAndBadCommandLines) {
    const auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("skeinpress-cli convert"), std::string::npos);
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"frobnicate"},
                                                 {"info"},
                                                 {"convert", "--bogus", "a.tga"},
                                                 {"convert", "a.tga", "b.tga", "--output", "c.tga"},
                                                 {"--home"},
                                                 {"convert", "a.tga", "--mask", "256,0,0,1"},
                                                 {"convert", "a.tga", "--mask", "0,0,0,-1"},
                                                 {"trawl", "--jobs", "0", "r"}}) {
        EXPECT_EQ(RunCliProgram(args).status, cli::kExitUsage) << testing::PrintToString(args);
    }
    TempDir dir;
    const auto paths = RunCliProgram({"--home=" + dir.File("fresh"), "paths"});
    EXPECT_NE(paths.out.find(dir.File("fresh/skeinpress.ini")), std::string::npos) << paths.out;
}

TEST(CliInfo, JsonLinesDescribeEachFile) {
    TempDir dir;
    testing_support::WriteBytes(dir.File("flat.tga"),
                                testing_support::MakeTga(2, 1, 32, {1, 2, 3, 128, 1, 2, 3, 255}));
    const auto r = RunCliProgram({"info", "--json", dir.File("flat.tga"), dir.File("none.tga")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "{\"file\":\"" + dir.File("flat.tga") +
                  "\",\"ok\":true,\"error\":\"\",\"width\":2,\"height\":1,\"bytes_per_pixel\":4,"
                  "\"alpha_kind\":1,\"compression\":0,\"uniform_colour\":true,\"description\":[],"
                  "\"container\":\"\",\"details\":[]}");
    EXPECT_NE(r.out.find("\",\"ok\":false,\"error\":\"File not found : \\\"none.tga\\\"\""),
              std::string::npos);
}

// .bmp -> default .tga -> .jpg -> .BMP, where a step that wrote badly shows in
// the last file. An output type with no writer (.webp) is a failure; the settings are
// read (overwriting off puts a "1" beside an old TGA) and never written.
TEST(ConvertCliTest, WritesEachTypeAndFollowsTheSettings) {
    TempDir home, work;
    const std::string homeDir = home.path().string(), settings = "[Options]\r\nOverwriteTGAs=0\r\n";
    WriteImage(work.File("plain.bmp"), 16, 8, true);
    auto result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(RunCliProgram({"convert", work.File("plain.tga"), "--output", work.File("copy.jpg")})
                  .status,
              0);
    ASSERT_EQ(RunCliProgram({"convert", work.File("copy.jpg"), "--output", work.File("again.BMP")})
                  .status,
              0);
    core::ImageStore store;
    ASSERT_TRUE(core::LoadImage(store, work.File("again.BMP"))) << store.LoadErrorText;
    EXPECT_EQ(std::pair(store.Image.Width, store.Image.Height), std::pair(16, 8));
    EXPECT_NEAR(store.Image.Data[0], 90, 4);
    EXPECT_NEAR(store.Image.Data[2], 200, 4);
    EXPECT_EQ(RunCliProgram({"convert", work.File("plain.tga"), "--output", work.File("copy.webp")})
                  .status,
              1);

    std::ofstream(home.File("skeinpress.ini"), std::ios::binary) << settings;
    std::ofstream(work.File("plain.tga")) << "old";
    result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadText(work.File("plain.tga")), "old");
    EXPECT_NE(result.out.find(" -> " + work.File("plain1.tga")), std::string::npos);
    EXPECT_EQ(ReadText(home.File("skeinpress.ini")), settings);
}

// A reader's notices (here a 16-bit TGA's) are shown by info and by convert
// with edits as by a plain convert; beside JSON they go to the error stream.
TEST(CliNotices, ReaderNoticesReachTheConsole) {
    TempDir home, dir;
    const std::string file = dir.File("sixteen.tga"), notice = " *** 16 bit colour TGA";
    testing_support::WriteBytes(file, testing_support::MakeTga(2, 1, 16, {0xFF, 0x7F, 0x1F, 0}));
    const std::vector<std::string> commands[] = {
        {"info", file},
        {"--home", home.path().string(), "convert", file, "--output", dir.File("plain.tga")},
        {"--home", home.path().string(), "convert", file, "--output", dir.File("grey.tga"),
         "--grey"},
    };
    for (const auto& args : commands) {
        const auto r = RunCliProgram(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("\n" + notice), std::string::npos) << testing::PrintToString(args);
    }
    const auto json = RunCliProgram({"info", "--json", file});
    EXPECT_EQ(json.out.find(notice), std::string::npos);
    EXPECT_NE(json.err.find(file + ": *** 16 bit colour TGA"), std::string::npos) << json.err;
}

}  // namespace
