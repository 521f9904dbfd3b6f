// Batches: the same files, lines and log on several workers as one by one (the
// log long enough to be written in several chunks while conversions still
// run); the log; FIFOs and dangling links reported, not touched.
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

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

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

std::string WithoutTime(const std::string& out) {
    return std::regex_replace(out, std::regex(" in [0-9.]+ s: "), " in _ s: ");
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
    TrawlRun run{result.status,
                 WithoutTime(result.out),
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

}  // namespace
