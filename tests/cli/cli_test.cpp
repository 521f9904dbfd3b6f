// skeinpress-cli run as a program: the command line, info, convert and its
// edits, thumbnail, paths and --version. What each edit does to the pixels is core's to
// test; here each reaches its file and reports as the program should. Batches:
// the same files, lines and log on several workers as one by one (the log long
// enough to be written in several chunks while conversions still run); the
// log; FIFOs and dangling links reported, not touched. Then the program started
// from Explorer: a dropped file or folder, a double-click, and the window that
// must stay open to be read.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <tuple>

#include "cli/commands/explorer_start.h"
#include "cli/output/console.h"
#include "cli/output/json.h"
#include "core/io/paths.h"
#include "skeinpress_version.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using namespace testing_support;

TEST(CliUsage, BadCommandLinesAreUsageErrorsWithTheirMessage) {
    const std::pair<Args, std::string> cases[] = {
        {{}, "Usage:"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"--home"}, "--home needs a folder"},
        {{"info"}, "no file given"},
        {{"--version", "x"}, "--version takes no arguments"},
        {{"convert", "--bogus", "a.tga"}, "unknown option --bogus"},
        {{"convert", "a.tga", "b.tga", "--output", "c.tga"}, "one input file only"},
        {{"convert", "a.tga", "-o"}, "--output needs a file name"},
        {{"convert", "a.tga", "--output", "out/"}, "--output out/ is a folder: give the file"},
        {{"convert", "a.tga", "--output", "out"}, "--output out has no extension"},
        {{"convert", "a.tga", "--mask=0,0,0,-1"}, "not \"0,0,0,-1\""},
        {{"convert", "a.tga", "--colour-copy="}, "--colour-copy needs a file name"},
        {{"convert", "a.tga", "--add-alpha=256"}, "needs a level from 0 to 255"},
        {{"convert", "a.tga", "--pixel-count", "128"}, "needs a number from 1 to 127"},
        {{"convert", "a.tga", "-j"}, "convert: -j needs a number"},
        {{"trawl", "--jobs=0", "r"}, "--jobs needs a number from 1 to 256"},
        {{"thumbnail", "--size=0", "t.tga", "t.png"}, "--size needs a number from 1 to 8192"},
    };
    for (const auto& [args, message] : cases) {
        const auto r = RunCliProgram(args);
        EXPECT_EQ(std::tuple(r.status, r.out, bool(Contains(r.err, message))),
                  std::tuple(cli::kExitUsage, "", true))
            << testing::PrintToString(args) << r.err;
    }
}

TEST(CliUsage, HelpVersionAndPaths) {
    const auto help = RunCliProgram({"convert", "--help"});  // as -h, help and --help
    EXPECT_TRUE(help.status == 0 && Contains(help.out, "  skeinpress-cli info [--json] FILE...\n"));
    const std::string astc =
        SKEINPRESS_HAVE_ASTC ? "read" : "not read (built without the ASTC codec)";
    EXPECT_EQ(
        RunCliProgram({"--version"}).out,
        std::string("skeinpress-cli ") + SKEINPRESS_VERSION + "\nASTC textures: " + astc + "\n");
    TempDir dir;
    const auto paths = RunCliProgram({"--home=" + dir.File("fresh"), "paths"});
    EXPECT_TRUE(Contains(paths.out, core::JoinPath(dir.File("fresh"), "skeinpress.ini")));
}

TEST(CliInfo, TextAndJsonDescribeEachFileAndNoticesKeepOffTheJson) {
    TempDir dir;
    const std::string flat = dir.File("flat.tga"), sixteen = dir.File("sixteen.tga");
    WriteBytes(flat, MakeTga(2, 1, 32, {1, 2, 3, 128, 1, 2, 3, 255}));
    WriteBytes(sixteen, MakeTga(2, 1, 16, {0xFF, 0x7F, 0x1F, 0}));
    auto r = RunCliProgram({"info", "--json", flat, dir.File("none.tga"), sixteen});
    EXPECT_EQ(r.status, 1);
    const auto lines = SplitLines(r.out, "\n");
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "{\"file\":" + cli::JsonString(flat) +
                            ",\"ok\":true,\"error\":\"\",\"width\":2,\"height\":1,"
                            "\"bytes_per_pixel\":4,\"alpha_kind\":1,\"compression\":0,"
                            "\"uniform_colour\":true,\"description\":[],\"container\":\"\","
                            "\"details\":[]}");
    EXPECT_TRUE(
        Contains(lines[1], ",\"ok\":false,\"error\":\"File not found : \\\"none.tga\\\"\""));
    EXPECT_TRUE(Contains(r.err, sixteen + ": *** 16 bit colour TGA"));
    r = RunCliProgram({"info", sixteen, dir.File("none.tga")});
    EXPECT_TRUE(Contains(r.out, "\n *** 16 bit colour TGA"));
    EXPECT_EQ(std::pair(r.status, r.err),
              std::pair(1, dir.File("none.tga") + ": File not found : \"none.tga\"\n"));
    EXPECT_EQ(cli::JsonString("caf\xe9-\xc3\xa9\"\n"), "\"caf\\ufffd-\xc3\xa9\\\"\\n\"");
}

// The settings file is read (overwriting off gives a "1" name; that it is
// never written: the next test); a refusal of any kind is on the error stream and fails the file.
// (--output hands its name to the writers' table: the core's writer tests.)
TEST(CliConvert, FollowsTheSettingsAndReportsRefusals) {
    TempDir home, dir;
    // Names in any script pass through the command line, the files and the output.
    const std::string page = dir.File("Страница");
    const auto work = [&page](const std::string& name) {
        return core::JoinPath(page, "ü_" + name);
    };
    const std::string homeDir = home.path().string(), settings = "[Options]\r\nOverwriteTGAs=0\r\n";
    WriteImage(work("plain.bmp"), 16, 8, false);
    WriteText(home.File("skeinpress.ini"), settings);
    WriteText(work("plain.tga"), "old");
    auto r = RunCliProgram({"--home", homeDir, "convert", work("plain.bmp")});
    EXPECT_EQ(std::pair(r.status, r.out),
              std::pair(0, work("plain.bmp") + " -> " + work("plain1.tga") + "\n"))
        << r.err;
    EXPECT_EQ(ReadText(work("plain.tga")), "old");

    const std::string odd = work("odd.bmp");
    WriteImage(odd, 100, 100, false);
    r = RunCliProgram({"--home", homeDir, "convert", odd, work("gone.bmp")});
    EXPECT_EQ(std::pair(r.status, r.out), std::pair(1, std::string()));
    EXPECT_EQ(r.err, odd + ": Not converted, unusable image size: ü_odd.bmp\n" + work("gone.bmp") +
                         ": File not found : \"ü_gone.bmp\"\n");
#if !defined(_WIN32)
    // A line break in a name would forge lines in the output and a description.
    const std::string forged = dir.File("a\nNormalMapHint=normalmap.bmp");
    WriteImage(forged, 4, 4, false);
    for (const Args& args :
         {Args{"convert", forged}, Args{"convert", work("plain.bmp"), "-o", forged + ".tga"}}) {
        r = RunCliProgram(args);
        EXPECT_EQ(std::pair(r.status, r.out), std::pair(1, std::string()));
        EXPECT_TRUE(Contains(r.err, "a\\nNormalMapHint=normalmap.bmp") &&
                    Contains(r.err, "its name holds a line break") &&
                    !Contains(r.err, "\nNormalMapHint"))
            << r.err;
    }
    EXPECT_FALSE(fs::exists(forged + ".tga") ||
                 fs::exists(dir.File("a\nNormalMapHint=normalmap.tga")));
#else
    // The command interpreter leaves patterns to the program; a console shows
    // the same text whatever its code page.
    const std::string shown =
        RunCliProgramOnConsole({"convert", page + "\\*.bmp", "-j", "1", "--grey"});
    EXPECT_TRUE(Contains(shown, work("plain.bmp") + " -> " + work("plain.tga") + "\n"));
#endif
}

// Each edit and repair switch reaches its file; a failed edit writes nothing.
// --fix-uniform and --no-fix-uniform beat the settings file for the run and
// leave it as it was. Which targets are repaired, and what each edit and the
// repair do to the pixels: the conversion's and the core's tests.
TEST(CliConvert, EachEditAndRepairSwitchReachesItsFileAndAFailedEditWritesNothing) {
    TempDir home, dir;
    const std::string rgb = dir.File("rgb.tga"), rgba = dir.File("rgba.tga"),
                      flat = dir.File("flat.bmp"), out = dir.File("out.tga"),
                      colour = dir.File("c.tga"), alpha = dir.File("a.tga");
    WriteImage(rgb, 4, 4, true);
    WriteImage(rgba, 4, 4, false, true);
    WriteImage(flat, 16, 8, true);
    // The UniformColour setting, the exit status, repaired, the file, the switches.
    const std::tuple<char, int, bool, std::string, Args> cases[] = {
        {'1', 0, false, rgb, {"--grey"}},
        {'1', 0, false, rgba, {"--invert-alpha"}},
        {'1', 1, false, rgb, {"--invert-alpha"}},  // no alpha to invert
        {'1', 0, false, rgba, {"--remove-alpha"}},
        {'1', 0, false, rgb, {"--add-alpha"}},
        {'1', 0, false, rgb, {"--add-alpha=100", "--mask", "0,0,0,10"}},
        {'1', 0, false, rgb, {"--merge-alpha", rgba}},
        {'1', 0, false, rgb, {"--normalmap"}},
        {'1', 0, false, rgba, {"--colour-copy", colour, "--alpha-copy=" + alpha}},
        {'0', 0, false, flat, {}},
        {'0', 0, true, flat, {"--fix-uniform"}},
        {'1', 0, false, flat, {"--no-fix-uniform"}},
        {'0', 0, true, flat, {"--fix-uniform", "--grey", "--pixel-count=5", "--pixel-even"}},
    };
    for (const auto& [setting, status, fixed, source, switches] : cases) {
        const std::string settings = std::string("[Options]\r\nUniformColour=") + setting + "\r\n";
        WriteText(home.File("skeinpress.ini"), settings);
        fs::remove(out);
        Args args = {"--home", home.path().string(), "convert", source, "-o", out};
        args.insert(args.end(), switches.begin(), switches.end());
        const auto r = RunCliProgram(args);
        const std::string trace = testing::PrintToString(switches) + r.err;
        EXPECT_EQ(std::tuple(r.status, fs::exists(out), r.err.empty()),
                  std::tuple(status, !status, !status))
            << trace;
        if (fixed)
            EXPECT_TRUE(Contains(r.out, "Uniform colour fixed")) << trace;
        else
            EXPECT_EQ(r.out, status ? "" : source + " -> " + out + "\n") << trace;
        EXPECT_EQ(ReadText(home.File("skeinpress.ini")), settings);
    }
    EXPECT_TRUE(fs::exists(colour) && fs::exists(alpha));
}

// As a file manager runs it; the scaling itself is core's to test.
TEST(CliThumbnail, WritesAPngThatFitsWhateverItsNameAndReportsFailures) {
    TempDir dir;
    const std::string texture = dir.File("wagon.texture");
    WriteImage(texture, 64, 32, false, true);
    // The file manager's own name for the thumbnail, with no extension.
    auto r = RunCliProgram({"thumbnail", "--size", "16", texture, dir.File("thumb")});
    EXPECT_EQ(std::tuple(r.status, r.out, r.err), std::tuple(cli::kExitOk, "", "")) << r.err;
    const std::vector<uint8_t> png = ReadBytes(dir.File("thumb"));
    // PNG signature; width 16 and height 8 (big-endian); colour type 6, with alpha.
    EXPECT_EQ(std::tuple(png.at(1), png.at(19), png.at(23), png.at(25)), std::tuple('P', 16, 8, 6));
    r = RunCliProgram({"thumbnail", dir.File("none.tga"), dir.File("none.png")});
    EXPECT_EQ(std::pair(r.status, bool(Contains(r.err, dir.File("none.tga") + ": File not found"))),
              std::pair(cli::kExitFailed, true));
}

// Textures (DXT ones too), bitmaps, a JPEG and TGAs, uniform ones, a bad
// size, a broken file, names that make the same TGA, and subfolders: a few
// hundred lines of log, every third tile uniform (with lines of its own).
void MakeTree(const std::string& root) {
    WriteImage(root + "/loco/plain.texture", 8, 8, true);  // uniform: repaired
    WriteBytes(root + "/loco/body.texture", TextureBytes(12, 64, 64, NoiseBytes(4096, 1)));
    WriteImage(root + "/loco/bogie/axle.tga", 4, 4, true);  // uniform: rewritten
    // a.bmp, a.texture and a.tga all meet at a.tga; with overwriting off a
    // second a.texture conversion writes a1.tga, which a1.bmp also writes.
    WriteImage(root + "/scenery/a.bmp", 8, 8, true);
    WriteImage(root + "/scenery/a.texture", 8, 8, false);
    WriteImage(root + "/scenery/a.tga", 8, 8, true);
    WriteImage(root + "/scenery/a1.bmp", 4, 4, false);
    WriteImage(root + "/scenery/sky.jpg", 16, 16, false);
    WriteImage(root + "/scenery/odd.bmp", 100, 100, false);  // bad size: refused
    WriteBytes(root + "/scenery/broken.texture", {'J', 'I', 'R', 'F'});
    for (int i = 0; i < 100; ++i)
        WriteImage(root + "/scenery/tile" + std::to_string(i) + ".texture", 8, 8, i % 3 == 0);
#if !defined(_WIN32)
    // Not readable when their turn comes: refused.
    fs::create_symlink(root + "/nowhere.texture", root + "/dangling.texture");
    MakeNoRegularFile(root + "/pipe.texture");
#endif
}

struct TrawlRun {
    int status;
    std::string out;
    std::vector<std::string> logged;  // the log without its header
    std::map<std::string, std::vector<uint8_t>> files;
};

// Trawls a fresh tree at the same place (the uniform-colour repair follows the
// file's name), with a language file that has a broken line.
TrawlRun Trawl(const std::string& root, const std::vector<std::string>& options) {
    TempDir home;
    WriteText(home.File("English.txt"), "a|b|c|d|e|f|g");
    fs::remove_all(root);
    MakeTree(root);
    std::vector<std::string> args = {"--home", home.path().string(), "trawl"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(root);
    const auto result = RunCliProgram(args);
    EXPECT_TRUE(Contains(result.err, "Language file line 1 has too many \"|\" separators"));
    // The summary's time differs from run to run.
    TrawlRun run{result.status,
                 std::regex_replace(result.out, std::regex(" in [0-9.]+ s: "), ""),
                 SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n"),
                 {}};
    if (!run.logged.empty()) run.logged.erase(run.logged.begin());
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            run.files[fs::relative(entry.path(), root).generic_string()] =
                ReadBytes(entry.path().string());
    return run;
}

TEST(BatchCli, TwoJobsWriteTheSameFilesLinesAndLogAsOne) {
    TempDir work;
    const std::string root = work.File("route");
    for (const std::string overwrite : {"--overwrite", "--no-overwrite"}) {
        const TrawlRun first = Trawl(root, {"--bmp", "--jpg", overwrite, "--verbose", "-j", "1"});
        const TrawlRun second = Trawl(root, {"--bmp", "--jpg", overwrite, "--jobs=2"});
        // odd.bmp and broken.texture are refused
        EXPECT_EQ(std::pair(first.status, second.status), std::pair(1, 1)) << overwrite;
        EXPECT_TRUE(first.files == second.files) << overwrite;
        EXPECT_EQ(first.out, second.out) << overwrite;
        EXPECT_EQ(first.logged, second.logged) << overwrite;
        EXPECT_GT(first.logged.size(), 300u);
        // The message lines are printed as they are logged, before the summary.
        const auto printed = SplitLines(first.out, "\n");
        ASSERT_GT(printed.size(), first.logged.size()) << overwrite;
        EXPECT_TRUE(std::equal(first.logged.begin(), first.logged.end(), printed.begin()));
#if !defined(_WIN32)
        EXPECT_TRUE(
            Contains(second.out,
                     "refused " + root + "/pipe.texture: \"pipe.texture\" is not a regular file"));
#endif
    }
}

TEST(BatchCli, QuietTrawlsAppendToTheLogAndConvertKeepsItsOrder) {
    TempDir home, work;
    const std::string homeDir = home.path().string(), root = work.File("tree");
    MakeTree(root);
    for (int run = 1; run <= 2; ++run) {
        const auto quiet =
            RunCliProgram({"--home", homeDir, "trawl", "--quiet", "--jobs", "2", "--bmp", root});
        EXPECT_EQ(std::pair(quiet.status, quiet.out), std::pair(1, std::string()));
        EXPECT_TRUE(Contains(quiet.err, "odd.bmp: Not converted, unusable image size"));
    }
    const std::string log = ReadText(home.File("Trawl_Log.txt")),
                      header = "----- Trawl Log ------- ";
    EXPECT_TRUE(log.rfind(header, 0) == 0 && log.find(header, 1) != std::string::npos);

    std::vector<std::string> args = {"--home", homeDir, "convert", "-j", "1"}, converted;
    for (int i = 0; i < 7; ++i) {
        const std::string file = work.File("c" + std::to_string(i) + (i % 2 ? ".texture" : ".bmp"));
        args.push_back(file);
        if (i != 2) WriteImage(file, 8, 8, i % 3 == 0), converted.push_back(file);  // c2 missing
    }
    const auto first = RunCliProgram(args);
    args[4] = "2";
    const auto second = RunCliProgram(args);
    EXPECT_EQ(std::pair(first.status, second.status), std::pair(1, 1));
    EXPECT_EQ(std::pair(first.out, first.err), std::pair(second.out, second.err));
    size_t at = 0;
    for (const std::string& file : converted)
        EXPECT_NE(at = second.out.find(file + " -> ", at), std::string::npos) << file;
}

#if !defined(_WIN32)
// An interrupt stops a two-job trawl cleanly: every file written is whole, the
// output (redirected to a file) and the log are complete up to a line that
// says so, and the exit status is a shell's for SIGINT.
TEST(BatchCli, AnInterruptedTrawlFinishesItsFilesAndSaysSo) {
    TempDir home, work;
    for (int i = 0; i < 1500; ++i)
        WriteImage(work.File("f" + std::to_string(i) + ".bmp"), 64, 64, false);
    const std::string out = home.File("out.txt");
    WriteText(out, "");
    const pid_t child = fork();
    if (child == 0) {
        std::freopen(out.c_str(), "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(SKEINPRESS_CLI_PATH, SKEINPRESS_CLI_PATH, "--home", home.path().c_str(), "trawl",
                "--bmp", "--jobs", "2", work.path().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Once the first lines are out the trawl is under way.
    for (int wait = 0; wait < 30000 && fs::file_size(out) == 0; ++wait) usleep(1000);
    ::kill(child, SIGINT);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);

    long written = 0;
    for (const auto& entry : fs::directory_iterator(work.path())) {
        if (entry.path().extension() != ".tga") continue;
        ++written;
        EXPECT_EQ(entry.file_size(), 18u + 64 * 64 * 3) << entry.path();
    }
    EXPECT_LT(written, 1500);
    const auto printed = SplitLines(ReadText(out), "\n");
    ASSERT_GE(printed.size(), 2u);
    EXPECT_EQ(printed[printed.size() - 2], "  -- Trawl interrupted --");
    EXPECT_TRUE(Contains(printed.back(), ": " + std::to_string(written) + " files in "))
        << printed.back();
    const auto logged = SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n");
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.back(), "  -- Trawl interrupted --");
    EXPECT_EQ(std::count_if(logged.begin(), logged.end(),
                            [](const std::string& l) { return Contains(l, "Converting: "); }),
              written);
}
#endif

TEST(ExplorerStart, LoneArgumentBecomesACommand) {
    TempDir dir;
    WriteBytes(dir.File("wagon.texture"), {1, 2, 3});
    WriteBytes(dir.File("route/a.tga"), {1});
    const struct {
        Args given, expected;
    } cases[] = {
        {{dir.File("wagon.texture")}, {"convert", dir.File("wagon.texture")}},
        {{dir.File("route")}, {"trawl", dir.File("route")}},
        {{dir.File("missing.texture")}, {dir.File("missing.texture")}},
        {{"paths"}, {"paths"}},
        {{"--help"}, {"--help"}},
        {{}, {}},
        {{dir.File("route"), dir.File("wagon.texture")},
         {dir.File("route"), dir.File("wagon.texture")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::CommandForLoneArgument(c.given), c.expected)
            << testing::PrintToString(c.given);
}

TEST(ExplorerStart, ExplainsAndWaitsOnlyInAConsoleOfItsOwn) {
    for (const bool ownsConsole : {true, false}) {
        std::ostringstream out, err;
        std::istringstream in("\n");
        EXPECT_EQ(cli::RunFromDesktop({}, {out, err}, in, ownsConsole),
                  ownsConsole ? cli::kExitOk : cli::kExitUsage);
        for (const char* part : {"drop a folder on skeinpress-cli.exe", "Press Enter"})
            EXPECT_EQ(bool(Contains(out.str(), part)), ownsConsole) << out.str();
        EXPECT_EQ(in.tellg() != 0, ownsConsole);
    }
}

}  // namespace
