#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MakeBmp;
using testing_support::MakeTextureOf;
using testing_support::MakeTgaOf;
using testing_support::ReadBytes;
using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteBytes;

std::vector<std::string> SplitLines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < text.size();) {
        size_t next = text.find(end, pos);
        if (next == std::string::npos) next = text.size();
        lines.push_back(text.substr(pos, next - pos));
        pos = next + end.size();
    }
    return lines;
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(TrawlCliTest, ConvertsTheTreeAndLogsEveryLine) {
    TempDir home, work;
    const std::string root = work.File("models");
    fs::create_directories(root + "/wagon");
    WriteBytes(root + "/wagon/body.texture", MakeTextureOf(8, 8, false));
    WriteBytes(root + "/wagon/flat.tga", MakeTgaOf(4, 4, true));
    WriteBytes(root + "/sky.bmp", MakeBmp(16, 16, false));
    const auto flatBefore = ReadBytes(root + "/wagon/flat.tga");

    const auto result = RunCliProgram({"--home", home.path().string(), "trawl", "--bmp", root});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(root + "/wagon/body.tga"));
    EXPECT_EQ(ReadText(root + "/wagon/body.texture.txt").rfind("Primary=body.tga\r\n", 0), 0u);
    EXPECT_TRUE(fs::exists(root + "/sky.tga"));
    EXPECT_NE(ReadBytes(root + "/wagon/flat.tga"), flatBefore);  // uniform colour repaired

    // The console shows the memo lines; the log holds the same under its header.
    const std::vector<std::string> printed = SplitLines(result.out, "\n");
    ASSERT_GE(printed.size(), 3u);
    EXPECT_EQ(printed.front(), " models");
    EXPECT_EQ(printed.back().rfind("  -- ", 0), 0u);
    EXPECT_NE(std::find(printed.begin(), printed.end(), "searching wagon"), printed.end());
    const std::string log = ReadText(home.File("Trawl_Log.txt"));
    const std::vector<std::string> logged = SplitLines(log, "\r\n");
    ASSERT_EQ(logged.size(), printed.size() + 1);
    EXPECT_EQ(logged[0].rfind("----- Trawl Log ------- ", 0), 0u);
    EXPECT_NE(logged[0].find(",  "), std::string::npos);
    EXPECT_TRUE(std::equal(printed.begin(), printed.end(), logged.begin() + 1));
    EXPECT_EQ(log.find('\n'), log.find("\r\n") + 1);  // CR LF line ends

    // Options for one run; the settings file is read but never written.
    EXPECT_FALSE(fs::exists(home.File("skeinpress.ini")));
    const auto again = RunCliProgram({"--home", home.path().string(), "trawl", "--no-overwrite",
                                      "--no-bmp", "--no-fix-uniform", root});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(fs::exists(root + "/wagon/body1.tga"));
    EXPECT_FALSE(fs::exists(root + "/sky1.tga"));
    EXPECT_EQ(SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n").size(),
              logged.size() + 1 + SplitLines(again.out, "\n").size());
    EXPECT_FALSE(fs::exists(home.File("skeinpress.ini")));
}

TEST(TrawlCliTest, SettingsFileSuppliesUnsetOptions) {
    TempDir home, work;
    const std::string settings = "[Options]\r\nDoTextures=0\r\nDoBMPs=1\r\nUniformColour=0\r\n";
    WriteText(home.File("skeinpress.ini"), settings);
    WriteBytes(work.File("a.texture"), MakeTextureOf(4, 4, false));
    WriteBytes(work.File("b.bmp"), MakeBmp(8, 8, false));
    auto result = RunCliProgram({"--home", home.path().string(), "trawl", work.path().string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(fs::exists(work.File("a.tga")));
    EXPECT_TRUE(fs::exists(work.File("b.tga")));
    result = RunCliProgram(
        {"--home", home.path().string(), "trawl", "--textures", work.path().string()});
    EXPECT_TRUE(fs::exists(work.File("a.tga")));
    EXPECT_EQ(ReadText(home.File("skeinpress.ini")), settings);
}

TEST(TrawlCliTest, UsageAndMissingFolder) {
    TempDir home, work;
    EXPECT_EQ(RunCliProgram({"--home", home.path().string(), "trawl"}).status, 2);
    EXPECT_EQ(RunCliProgram({"--home", home.path().string(), "trawl", "a", "b"}).status, 2);
    EXPECT_EQ(RunCliProgram({"--home", home.path().string(), "trawl", "--normalmap", "a"}).status,
              2);
    const auto missing =
        RunCliProgram({"--home", home.path().string(), "trawl", work.File("nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.out.empty());  // the missing-folder line
    EXPECT_FALSE(fs::exists(home.File("Trawl_Log.txt")));
}

TEST(ConvertCliTest, WithoutEditsConvertsAsTheTrawlDoes) {
    TempDir home, work;
    const std::string homeDir = home.path().string();
    // A uniform image is repaired before it is written.
    WriteBytes(work.File("plain.bmp"), MakeBmp(8, 8, true));
    auto result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(work.File("plain.bmp") + " -> " + work.File("plain.tga")),
              std::string::npos);
    const auto tga = ReadBytes(work.File("plain.tga"));
    ASSERT_EQ(tga.size(), 18u + 8 * 8 * 3);
    bool uniform = true;
    for (size_t i = 18; i < tga.size(); i += 3)
        uniform &= std::equal(tga.begin() + 18, tga.begin() + 21, tga.begin() + i);
    EXPECT_FALSE(uniform);

    // Bitmaps and JPEGs of unusable size are refused.
    WriteBytes(work.File("odd.bmp"), MakeBmp(100, 100, false));
    result = RunCliProgram({"--home", homeDir, "convert", work.File("odd.bmp")});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(fs::exists(work.File("odd.tga")));

    // With overwriting off in the settings, an existing TGA gets a "1" beside it.
    WriteText(home.File("skeinpress.ini"), "[Options]\r\nOverwriteTGAs=0\r\nUniformColour=0\r\n");
    WriteBytes(work.File("loco.texture"), MakeTextureOf(4, 4, false));
    WriteBytes(work.File("loco.tga"), {1, 2, 3});
    result = RunCliProgram({"--home", homeDir, "convert", work.File("loco.texture")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(work.File("loco.tga")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(fs::exists(work.File("loco1.tga")));
    EXPECT_NE(result.out.find(" -> " + work.File("loco1.tga")), std::string::npos);

    // A file that does not exist, or does not load, fails.
    EXPECT_EQ(RunCliProgram({"--home", homeDir, "convert", work.File("none.tga")}).status, 1);
    WriteBytes(work.File("bad.tga"), {1, 2, 3});
    result = RunCliProgram({"--home", homeDir, "convert", work.File("bad.tga")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("bad.tga"), std::string::npos);
}

}  // namespace
