#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/cli.h"
#include "core/load_image.h"
#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

using testing_support::MakeTga;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace fs = std::filesystem;

TEST(CliUsage, ExitStatusesAndHelp) {
    EXPECT_EQ(RunCliProgram({}).status, 2);
    auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("skeinpress-cli convert"), std::string::npos);
    EXPECT_EQ(RunCliProgram({"frobnicate"}).status, 2);
    EXPECT_EQ(RunCliProgram({"info"}).status, 2);
    EXPECT_EQ(RunCliProgram({"convert", "--bogus", "a.tga"}).status, 2);
    EXPECT_EQ(RunCliProgram({"convert", "a.tga", "b.tga", "--output", "c.tga"}).status, 2);
    EXPECT_EQ(RunCliProgram({"convert", "a.tga", "--output"}).status, 2);
}

TEST(CliConvert, DefaultNamesAndFailuresThatDoNotStopTheRun) {
    EXPECT_EQ(cli::DefaultTgaName("/r/wagon.texture"), "/r/wagon.tga");
    EXPECT_EQ(cli::DefaultTgaName("/r/sky.BMP"), "/r/sky.tga");
    EXPECT_EQ(cli::DefaultTgaName("/r.d/noext"), "/r.d/noext.tga");

    TempDir dir;
    WriteBytes(dir.File("good.tga"), MakeTga(1, 1, 24, {1, 2, 3}));
    WriteBytes(dir.File("bad.tga"), {1, 2, 3});
    WriteBytes(dir.File("second.tga"), MakeTga(1, 1, 32, {1, 2, 3, 4}));
    auto r = RunCliProgram({"convert", dir.File("bad.tga"), dir.File("good.tga"), dir.File("second.tga"),
                            dir.File("missing.tga")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("File not found : \"bad.tga\""), std::string::npos);
    EXPECT_NE(r.err.find("File not found : \"missing.tga\""), std::string::npos);

    auto ok = RunCliProgram({"convert", dir.File("good.tga"), "--output", dir.File("copy.tga")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_TRUE(fs::exists(dir.File("copy.tga")));

    auto unsupported = RunCliProgram({"convert", dir.File("good.tga"), "--output", dir.File("copy.png")});
    EXPECT_EQ(unsupported.status, 1);
    EXPECT_NE(unsupported.err.find("\"copy.png\""), std::string::npos);
}

TEST(CliInfo, JsonLinesDescribeEachFile) {
    TempDir dir;
    WriteBytes(dir.File("flat.tga"), MakeTga(2, 1, 32, {1, 2, 3, 128, 1, 2, 3, 255}));
    auto r = RunCliProgram({"info", "--json", dir.File("flat.tga"), dir.File("none.tga")});
    EXPECT_EQ(r.status, 1);
    const std::string first = r.out.substr(0, r.out.find('\n'));
    EXPECT_NE(first.find("\"ok\":true"), std::string::npos) << first;
    EXPECT_NE(first.find("\"error\":\"\""), std::string::npos);
    EXPECT_NE(first.find("\"width\":2,\"height\":1,\"bytes_per_pixel\":4,\"alpha_kind\":1"), std::string::npos);
    EXPECT_NE(first.find("\"compression\":0,\"uniform_colour\":true,\"description\":[]"), std::string::npos);
    const std::string second = r.out.substr(r.out.find('\n') + 1);
    EXPECT_NE(second.find("\"ok\":false,\"error\":\"File not found : \\\"none.tga\\\"\""), std::string::npos)
        << second;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
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
        auto r = RunCliProgram({"convert", source, "--output", target});
        ASSERT_EQ(r.status, 0) << row.path << ": " << r.err;

        core::ImageStore original, result;
        ASSERT_TRUE(core::LoadImage(original, source));
        ASSERT_TRUE(core::LoadImage(result, target));
        EXPECT_EQ(result.Image.Width, original.Image.Width);
        EXPECT_EQ(result.Image.Height, original.Image.Height);
        EXPECT_EQ(std::vector<uint8_t>(result.Image.Data, result.Image.Data + result.Image.DataSize),
                  std::vector<uint8_t>(original.Image.Data, original.Image.Data + original.Image.DataSize))
            << row.path;

        auto info = RunCliProgram({"info", "--json", target});
        EXPECT_NE(info.out.find("\"alpha_kind\":" + std::to_string(original.Image.AlphaKind)), std::string::npos)
            << row.path << ": " << info.out;
        ++converted;
    }
    EXPECT_GE(converted, 5);
}
