#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli.h"
#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

using testing_support::MakeTga;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace fs = std::filesystem;

TEST(CliUsage, ExitStatusesAndHelp) {
    const auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("skeinpress-cli convert"), std::string::npos);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"frobnicate"}, {"info"}, {"convert", "--bogus", "a.tga"},
          {"convert", "a.tga", "b.tga", "--output", "c.tga"}, {"convert", "a.tga", "--output"}}) {
        EXPECT_EQ(RunCliProgram(args).status, 2) << testing::PrintToString(args);
    }
}

TEST(CliConvert, FailuresDoNotStopTheRun) {
    TempDir dir;
    WriteBytes(dir.File("good.tga"), MakeTga(1, 1, 24, {1, 2, 3}));
    WriteBytes(dir.File("bad.tga"), {1, 2, 3});
    auto r = RunCliProgram({"convert", dir.File("bad.tga"), dir.File("good.tga"), dir.File("missing.tga")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("File not found : \"bad.tga\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("File not found : \"missing.tga\""), std::string::npos);

    r = RunCliProgram({"convert", dir.File("good.tga"), "--output", dir.File("copy.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"copy.png\""), std::string::npos);
}

TEST(CliInfo, JsonLinesDescribeEachFile) {
    TempDir dir;
    WriteBytes(dir.File("flat.tga"), MakeTga(2, 1, 32, {1, 2, 3, 128, 1, 2, 3, 255}));
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

// Every loadable TGA of the corpus survives convert unchanged: same pixels and
// the same alpha kind when the result is read back.
TEST(CliConvert, CorpusTgasRoundTrip) {
    const auto rows = testing_support::ReadManifest();
    if (rows.empty()) GTEST_SKIP() << "corpus not present";
    TempDir dir;
    int converted = 0;
    for (const auto& row : rows) {
        if (row.path.rfind("tga/", 0) != 0 || row.expect != "load") continue;
        const std::string source = testing_support::CorpusDir() + "/" + row.path;
        const std::string target = dir.File(fs::path(row.path).stem().string() + ".tga");
        const auto r = RunCliProgram({"convert", source, "--output", target});
        ASSERT_EQ(r.status, 0) << row.path << ": " << r.err;

        core::ImageStore original, result;
        ASSERT_TRUE(core::LoadImage(original, source) && core::LoadImage(result, target)) << row.path;
        EXPECT_EQ(std::pair(result.Image.Width, result.Image.Height), std::pair(original.Image.Width, original.Image.Height));
        EXPECT_EQ(result.PixelBuffer, original.PixelBuffer) << row.path;
        const auto info = RunCliProgram({"info", "--json", target});
        EXPECT_NE(info.out.find("\"alpha_kind\":" + std::to_string(original.Image.AlphaKind)), std::string::npos)
            << row.path << ": " << info.out;
        ++converted;
    }
    EXPECT_GE(converted, 5);
}

TEST(CliConvert, ReadsAndWritesBmpAndJpeg) {
    TempDir dir;
    core::ImageStore store;
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16 * 8; ++i) pixels.insert(pixels.end(), {200, 40, 10});
    testing_support::FillStore(store, 16, 8, 3, pixels);
    ASSERT_TRUE(core::SaveImage(store, dir.File("wagon.bmp"))) << store.LoadErrorText;

    // .bmp -> default .tga -> --output .jpg -> --output .bmp, each step read back.
    const std::pair<std::vector<std::string>, std::string> steps[] = {
        {{"convert", dir.File("wagon.bmp")}, "wagon.tga"},
        {{"convert", dir.File("wagon.tga"), "--output", dir.File("copy.jpg")}, "copy.jpg"},
        {{"convert", dir.File("copy.jpg"), "--output", dir.File("again.BMP")}, "again.BMP"},
    };
    for (const auto& [args, target] : steps) {
        const auto result = RunCliProgram(args);
        ASSERT_EQ(result.status, 0) << result.err;
        ASSERT_TRUE(core::LoadImage(store, dir.File(target))) << target << ": " << store.LoadErrorText;
        EXPECT_EQ(std::pair(store.Image.Width, store.Image.Height), std::pair(16, 8)) << target;
        EXPECT_NEAR(store.Image.Data[0], 200, 4) << target;
        EXPECT_NEAR(store.Image.Data[2], 10, 4) << target;
    }
}

TEST(CliHome, ProgramUsesTheGivenFolder) {
    TempDir dir;
    const std::string home = dir.File("fresh/home");
    const auto first = RunCliProgram({"--home", home, "paths"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(fs::is_directory(home));
    EXPECT_NE(first.out.find(home + "/skeinpress.ini"), std::string::npos) << first.out;

    // The language named by that folder's settings file is looked for there first.
    std::ofstream(home + "/skeinpress.ini") << "[File]\nLanguage=Mine.txt\n";
    std::ofstream(home + "/Mine.txt") << "menu File|Mine\n";
    const auto second = RunCliProgram({"--home=" + home, "paths"});
    EXPECT_NE(second.out.find(home + "/Mine.txt"), std::string::npos) << second.out;

    EXPECT_EQ(RunCliProgram({"--home", home + "/Mine.txt/sub", "paths"}).status, cli::kExitFailed);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--home"}, {"--home", ""}, {"--home="}}) {
        EXPECT_EQ(RunCliProgram(bad).status, cli::kExitUsage) << testing::PrintToString(bad);
    }
}
