// skeinpress-cli run as a program: usage, --home, info and convert.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/batch/batch_report.h"
#include "cli/cli.h"
#include "core/formats/load_image.h"
#include "core/io/paths.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::Contains;
using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteImage;

TEST(CliUsage, HelpHomeAndBadCommandLines) {
    const auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Contains(help.out, "skeinpress-cli convert"));
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
    EXPECT_TRUE(Contains(paths.out, core::JoinPath(dir.File("fresh"), "skeinpress.ini")));
}

TEST(CliInfo, JsonLinesDescribeEachFile) {
    TempDir dir;
    testing_support::WriteBytes(dir.File("flat.tga"),
                                testing_support::MakeTga(2, 1, 32, {1, 2, 3, 128, 1, 2, 3, 255}));
    const auto r = RunCliProgram({"info", "--json", dir.File("flat.tga"), dir.File("none.tga")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "{\"file\":" + cli::JsonString(dir.File("flat.tga")) +
                  ",\"ok\":true,\"error\":\"\",\"width\":2,\"height\":1,\"bytes_per_pixel\":4,"
                  "\"alpha_kind\":1,\"compression\":0,\"uniform_colour\":true,\"description\":[],"
                  "\"container\":\"\",\"details\":[]}");
    EXPECT_TRUE(Contains(r.out, "\",\"ok\":false,\"error\":\"File not found : \\\"none.tga\\\"\""));
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
    const auto convert = [&](const std::string& from, const std::string& to) {
        return RunCliProgram({"convert", work.File(from), "--output", work.File(to)}).status;
    };
    ASSERT_EQ(convert("plain.tga", "copy.jpg"), 0);
    ASSERT_EQ(convert("copy.jpg", "again.BMP"), 0);
    core::ImageStore store;
    ASSERT_TRUE(core::LoadImage(store, work.File("again.BMP"))) << store.LoadErrorText;
    EXPECT_EQ(std::pair(store.Image.Width, store.Image.Height), std::pair(16, 8));
    EXPECT_NEAR(store.Image.Data[0], 90, 4);
    EXPECT_NEAR(store.Image.Data[2], 200, 4);
    EXPECT_EQ(convert("plain.tga", "copy.webp"), 1);

    testing_support::WriteText(home.File("skeinpress.ini"), settings);
    testing_support::WriteText(work.File("plain.tga"), "old");
    result = RunCliProgram({"--home", homeDir, "convert", work.File("plain.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadText(work.File("plain.tga")), "old");
    EXPECT_TRUE(Contains(result.out, " -> " + work.File("plain1.tga")));
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
        EXPECT_TRUE(Contains(r.out, "\n" + notice)) << testing::PrintToString(args);
    }
    const auto json = RunCliProgram({"info", "--json", file});
    EXPECT_EQ(json.out.find(notice), std::string::npos);
    EXPECT_TRUE(Contains(json.err, file + ": *** 16 bit colour TGA"));
}

// Names in any script pass through the command line, the files, the output,
// the log and (on Windows) a console unchanged.
TEST(CliNames, AnyScriptReachesTheFilesTheOutputAndTheLog) {
    TempDir home, work;
    const std::string homeDir = home.path().string(), page = work.File("Страница"),
                      texture = core::JoinPath(page, "Güterwagen_Dach.texture"),
                      tga = core::JoinPath(page, "Güterwagen_Dach.tga");
    WriteImage(texture, 4, 4, false);
    auto r = RunCliProgram({"--home", homeDir, "convert", texture});
    EXPECT_EQ(std::pair(r.status, r.out), std::pair(0, texture + " -> " + tga + "\n")) << r.err;
    r = RunCliProgram({"info", "--json", texture});
    EXPECT_EQ(r.out.rfind("{\"file\":\"", 0), 0u);
    EXPECT_TRUE(Contains(r.out, "Страница"));

    const std::string converting = " Converting: Güterwagen_Dach.texture to TGA";
    r = RunCliProgram({"--home", homeDir, "trawl", page});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(" Страница\n", 0), 0u) << r.out;
    EXPECT_TRUE(Contains(r.out, converting + "\n"));
    const std::string log = ReadText(home.File("Trawl_Log.txt"));
    EXPECT_TRUE(Contains(log, "\r\n Страница\r\n"));
    EXPECT_TRUE(Contains(log, converting + "\r\n"));
#if defined(_WIN32)
    // The command interpreter leaves patterns to the program.
    r = RunCliProgram({"--home", homeDir, "convert", page + "\\*.texture"});
    EXPECT_EQ(r.out, texture + " -> " + tga + "\n") << r.err;
    // On a console: the same text, whatever the console's code page.
    const std::string shown = testing_support::RunCliProgramOnConsole(
        {"--home", homeDir, "trawl", "--no-overwrite", page});
    EXPECT_EQ(shown.rfind(" Страница\n", 0), 0u) << shown;
    EXPECT_TRUE(Contains(shown, converting + "\n"));
    EXPECT_TRUE(Contains(shown, " files in "));
#endif
}

// On a terminal a bar is drawn over itself and cleared before each line and
// at the end; elsewhere nothing but the lines and the summary.
TEST(CliProgress, ABarOnATerminalAndPlainLinesElsewhere) {
    for (const bool terminal : {true, false}) {
        std::ostringstream out, err;
        cli::BatchReport report(out, err, cli::Verbosity::Normal, terminal);
        report.SetExpected(2);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));  // the bar's interval
        report.Found();
        app::ConversionOutcome outcome;
        outcome.converted = true;
        report.Done("a.texture", outcome);
        report.Line("line");
        report.Finish("trawl r");
        EXPECT_EQ(out.str().rfind("line\ntrawl r: 1 files in ", 0), 0u) << out.str();
        if (!terminal) {
            EXPECT_EQ(err.str(), "");
            continue;
        }
        const std::string bar = "[" + std::string(15, '#') + std::string(15, '.') + "] 1/2 files";
        ASSERT_EQ(err.str().rfind("\r" + bar, 0), 0u) << err.str();
        // Cleared with blanks, before the line and not again at the end.
        const size_t cleared = err.str().find('\r', 1);
        EXPECT_EQ(err.str().substr(cleared), "\r" + std::string(cleared - 1, ' ') + "\r");
    }
}

}  // namespace
