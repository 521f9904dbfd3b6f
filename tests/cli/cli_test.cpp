// skeinpress-cli run as a program: usage, info, convert, trawl and --home.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli.h"
#include "core/load_image.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteImage;

TEST(CliUsage, ExitStatusesAndHelp) {
    const auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("skeinpress-cli convert"), std::string::npos);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"frobnicate"}, {"info"}, {"convert", "--bogus", "a.tga"},
          {"convert", "a.tga", "b.tga", "--output", "c.tga"}, {"convert", "a.tga", "--output"}, {"--home"},
          {"--home="}, {"trawl"}, {"convert", "a.tga", "--mask", "255,0,256,1"},
          {"convert", "a.tga", "b.tga", "--colour-copy", "c.tga"}, {"trawl", "--jobs", "0", "r"},
          {"trawl", "--jobs", "257", "r"}, {"trawl", "-j", "x", "r"}, {"convert", "--jobs"}}) {
        EXPECT_EQ(RunCliProgram(args).status, cli::kExitUsage) << testing::PrintToString(args);
    }
}

TEST(CliInfo, JsonLinesDescribeEachFile) {
    TempDir dir;
    testing_support::WriteBytes(dir.File("flat.tga"), testing_support::MakeTga(2, 1, 32, {1, 2, 3, 128, 1, 2, 3, 255}));
    const auto r = RunCliProgram({"info", "--json", dir.File("flat.tga"), dir.File("none.tga")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "{\"file\":\"" + dir.File("flat.tga") +
                         "\",\"ok\":true,\"error\":\"\",\"width\":2,\"height\":1,\"bytes_per_pixel\":4,"
                         "\"alpha_kind\":1,\"compression\":0,\"uniform_colour\":true,\"description\":[]}\n"
                         "{\"file\":\"" + dir.File("none.tga") +
                         "\",\"ok\":false,\"error\":\"File not found : \\\"none.tga\\\"\",\"width\":0,\"height\":0,"
                         "\"bytes_per_pixel\":0,\"alpha_kind\":0,\"compression\":0,\"uniform_colour\":false,"
                         "\"description\":[]}\n");
}

TEST(CliHome, ProgramUsesTheGivenFolder) {
    TempDir dir;
    const std::string home = dir.File("fresh/home");
    const auto first = RunCliProgram({"--home", home, "paths"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find(home + "/skeinpress.ini"), std::string::npos) << first.out;

    // The language named by that folder's settings file is looked for there first.
    std::ofstream(home + "/skeinpress.ini") << "[File]\nLanguage=Mine.txt\n";
    std::ofstream(home + "/Mine.txt") << "menu File|Mine\n";
    const auto second = RunCliProgram({"--home=" + home, "paths"});
    EXPECT_NE(second.out.find(home + "/Mine.txt"), std::string::npos) << second.out;
    EXPECT_EQ(RunCliProgram({"--home", home + "/Mine.txt/sub", "paths"}).status, cli::kExitFailed);
}

TEST(TrawlCliTest, ConvertsTheTreeAndAppendsToTheLog) {
    TempDir home, work;
    const std::string root = work.File("models"), homeDir = home.path().string();
    fs::create_directories(root + "/wagon");
    WriteImage(root + "/wagon/body.texture", 8, 8, false);
    WriteImage(root + "/sky.bmp", 16, 16, false);
    const auto result = RunCliProgram({"--home", homeDir, "trawl", "--bmp", root});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(root + "/wagon/body.tga") && fs::exists(root + "/sky.tga"));
    EXPECT_EQ(ReadText(root + "/wagon/body.texture.txt").rfind("Primary=body.tga\r\n", 0), 0u);
    const std::string log = ReadText(home.File("Trawl_Log.txt"));
    EXPECT_EQ(log.rfind("----- Trawl Log ------- ", 0), 0u);

    // Options for one run; a second trawl appends to the log.
    ASSERT_EQ(RunCliProgram({"--home", homeDir, "trawl", "--no-overwrite", "--no-bmp", root}).status, 0);
    EXPECT_TRUE(fs::exists(root + "/wagon/body1.tga"));
    EXPECT_FALSE(fs::exists(root + "/sky1.tga"));
    EXPECT_EQ(ReadText(home.File("Trawl_Log.txt")).find("----- Trawl Log ------- ", 1), log.size());
    EXPECT_EQ(RunCliProgram({"--home", homeDir, "trawl", work.File("nowhere")}).status, 1);
}

// .bmp -> default .tga -> .jpg -> .BMP, where a step that wrote badly shows in
// the last file. An image of one colour is repaired before it is written; an
// output type with no writer is a failure; the settings are read (overwriting
// off puts a "1" beside an old TGA) and never written.
TEST(ConvertCliTest, WritesEachTypeAndFollowsTheSettings) {
    TempDir home, work;
    const std::string homeDir = home.path().string(), settings = "[Options]\r\nOverwriteTGAs=0\r\n";
    WriteImage(work.File("plain.bmp"), 16, 8, true);
    auto result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(work.File("plain.bmp") + " -> " + work.File("plain.tga")), std::string::npos);
    const auto info = RunCliProgram({"info", "--json", work.File("plain.tga")}).out;
    EXPECT_NE(info.find("\"bytes_per_pixel\":3,\"alpha_kind\":0,\"compression\":0,\"uniform_colour\":false"),
              std::string::npos) << info;
    ASSERT_EQ(RunCliProgram({"convert", work.File("plain.tga"), "--output", work.File("copy.jpg")}).status, 0);
    ASSERT_EQ(RunCliProgram({"convert", work.File("copy.jpg"), "--output", work.File("again.BMP")}).status, 0);
    core::ImageStore store;
    ASSERT_TRUE(core::LoadImage(store, work.File("again.BMP"))) << store.LoadErrorText;
    EXPECT_EQ(std::pair(store.Image.Width, store.Image.Height), std::pair(16, 8));
    EXPECT_NEAR(store.Image.Data[0], 90, 4);
    EXPECT_NEAR(store.Image.Data[2], 200, 4);
    result = RunCliProgram({"convert", work.File("plain.tga"), "--output", work.File("copy.png")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("\"copy.png\""), std::string::npos);

    std::ofstream(home.File("skeinpress.ini"), std::ios::binary) << settings;
    std::ofstream(work.File("plain.tga")) << "old";
    result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadText(work.File("plain.tga")), "old");
    EXPECT_NE(result.out.find(" -> " + work.File("plain1.tga")), std::string::npos);
    EXPECT_EQ(ReadText(home.File("skeinpress.ini")), settings);
}

}  // namespace
