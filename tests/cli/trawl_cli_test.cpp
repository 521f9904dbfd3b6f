#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteImage;

void WriteText(const std::string& path, const std::string& text) {
    testing_support::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(TrawlCliTest, ConvertsTheTreeAndLogsEveryLine) {
    TempDir home, work;
    const std::string root = work.File("models"), homeDir = home.path().string();
    fs::create_directories(root + "/wagon");
    WriteImage(root + "/wagon/body.texture", 8, 8, false);
    WriteImage(root + "/wagon/flat.tga", 4, 4, true);
    WriteImage(root + "/sky.bmp", 16, 16, false);
    const auto flat = ReadBytes(root + "/wagon/flat.tga");

    const auto result = RunCliProgram({"--home", homeDir, "trawl", "--verbose", "--bmp", root});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(root + "/wagon/body.tga") && fs::exists(root + "/sky.tga"));
    EXPECT_EQ(ReadText(root + "/wagon/body.texture.txt").rfind("Primary=body.tga\r\n", 0), 0u);
    EXPECT_NE(ReadBytes(root + "/wagon/flat.tga"), flat);  // uniform colour repaired

    // The console shows the memo lines; the log holds them under its header.
    auto printed = testing_support::SplitLines(result.out, "\n");
    ASSERT_GE(printed.size(), 4u);
    // After the lines, the summary: 3 files read, 2 converted, 1 repaired.
    EXPECT_EQ(printed.back().find(": 3 files in "), ("trawl " + root).size());
    EXPECT_NE(printed.back().find(" s: 2 converted, 1 repaired, 0 refused, 0 skipped"), std::string::npos);
    printed.pop_back();
    EXPECT_EQ(printed.front(), " models");
    EXPECT_NE(std::find(printed.begin(), printed.end(), "searching wagon"), printed.end());
    EXPECT_EQ(printed.back().rfind("  -- ", 0), 0u);
    const auto logged = testing_support::SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n");
    ASSERT_EQ(logged.size(), printed.size() + 1);
    EXPECT_EQ(logged[0].rfind("----- Trawl Log ------- ", 0), 0u);
    EXPECT_NE(logged[0].find(",  "), std::string::npos);
    EXPECT_TRUE(std::equal(printed.begin(), printed.end(), logged.begin() + 1));

    // Options for one run; a second trawl appends to the log.
    const auto again =
        RunCliProgram({"--home", homeDir, "trawl", "--verbose", "--no-overwrite", "--no-bmp", root});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(fs::exists(root + "/wagon/body1.tga"));
    EXPECT_FALSE(fs::exists(root + "/sky1.tga"));
    EXPECT_EQ(testing_support::SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n").size(),
              logged.size() + 1 + testing_support::SplitLines(again.out, "\n").size() - 1);

    EXPECT_EQ(RunCliProgram({"--home", homeDir, "trawl"}).status, 2);
    EXPECT_EQ(RunCliProgram({"--home", homeDir, "trawl", "--normalmap", root}).status, 2);
    EXPECT_EQ(RunCliProgram({"--home", homeDir, "trawl", work.File("nowhere")}).status, 1);
}

TEST(TrawlCliTest, SettingsFileIsReadNeverWritten) {
    TempDir home, work;
    const std::string settings = "[Options]\r\nDoTextures=0\r\nDoBMPs=1\r\nUniformColour=0\r\n";
    WriteText(home.File("skeinpress.ini"), settings);
    WriteImage(work.File("a.texture"), 4, 4, false);
    WriteImage(work.File("b.bmp"), 8, 8, false);
    const std::string homeDir = home.path().string();
    ASSERT_EQ(RunCliProgram({"--home", homeDir, "trawl", work.path().string()}).status, 0);
    EXPECT_FALSE(fs::exists(work.File("a.tga")));
    EXPECT_TRUE(fs::exists(work.File("b.tga")));
    RunCliProgram({"--home", homeDir, "trawl", "--textures", work.path().string()});
    EXPECT_TRUE(fs::exists(work.File("a.tga")));
    EXPECT_EQ(ReadText(home.File("skeinpress.ini")), settings);
}

TEST(ConvertCliTest, WithoutEditsConvertsAsTheTrawlDoes) {
    TempDir home, work;
    const std::string homeDir = home.path().string();
    WriteImage(work.File("plain.bmp"), 8, 8, true);
    auto result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(work.File("plain.bmp") + " -> " + work.File("plain.tga")),
              std::string::npos);
    const auto tga = ReadBytes(work.File("plain.tga"));
    ASSERT_EQ(tga.size(), 18u + 8 * 8 * 3);
    bool uniform = true;  // repaired before it was written
    for (size_t i = 18; i < tga.size(); i += 3)
        uniform &= std::equal(tga.begin() + 18, tga.begin() + 21, tga.begin() + i);
    EXPECT_FALSE(uniform);

    WriteImage(work.File("odd.bmp"), 100, 100, false);
    EXPECT_EQ(RunCliProgram({"--home", homeDir, "convert", work.File("odd.bmp")}).status, 1);
    EXPECT_FALSE(fs::exists(work.File("odd.tga")));

    // Overwriting off in the settings: an existing TGA gets a "1" beside it.
    WriteText(home.File("skeinpress.ini"), "[Options]\r\nOverwriteTGAs=0\r\n");
    WriteImage(work.File("loco.texture"), 4, 4, false);
    WriteText(work.File("loco.tga"), "old");
    result = RunCliProgram({"--home", homeDir, "convert", work.File("loco.texture")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadText(work.File("loco.tga")), "old");
    EXPECT_NE(result.out.find(" -> " + work.File("loco1.tga")), std::string::npos);

    EXPECT_EQ(RunCliProgram({"--home", homeDir, "convert", work.File("none.tga")}).status, 1);
    testing_support::WriteBytes(work.File("bad.tga"), {1, 2, 3});
    result = RunCliProgram({"--home", homeDir, "convert", work.File("bad.tga")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("bad.tga"), std::string::npos);
}

}  // namespace
