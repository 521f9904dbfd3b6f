// Batches on several workers: the same files, lines and log as one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteImage;

// A DXT texture (format 10, 11 or 12) of pseudo-random blocks.
void WriteDxtTexture(const std::string& path, int format, int side, unsigned seed) {
    std::vector<uint8_t> blocks((side / 4) * (side / 4) * (format == 10 ? 8 : 16));
    std::mt19937 rng(seed);
    for (uint8_t& b : blocks) b = static_cast<uint8_t>(rng());
    WriteBytes(path, testing_support::TextureBytes(static_cast<uint32_t>(format), side, side, blocks));
}

// Textures of every format, bitmaps, JPEGs and TGAs, uniform ones, a bad
// size, a broken file, names that make the same TGA, and subfolders.
void MakeTree(const std::string& root) {
    fs::create_directories(root + "/loco/bogie");
    fs::create_directories(root + "/scenery");
    WriteDxtTexture(root + "/loco/body.texture", 10, 64, 1);
    WriteDxtTexture(root + "/loco/glass.texture", 11, 32, 2);
    WriteDxtTexture(root + "/loco/lamp.texture", 12, 16, 3);
    WriteImage(root + "/loco/cab.texture", 16, 8, false, true);
    WriteImage(root + "/loco/plain.texture", 8, 8, true);  // uniform: repaired
    WriteImage(root + "/loco/bogie/wheel.texture", 8, 8, false);
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
    for (int i = 0; i < 12; ++i)
        WriteImage(root + "/scenery/tile" + std::to_string(i) + ".texture", 8, 8, i % 3 == 0);
    WriteImage(root + "/notes.txt.bmp", 8, 8, false);
}

std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = ReadBytes(entry.path().string());
    return files;
}

struct TrawlRun {
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> printed;  // the message lines, without the summary
    std::vector<std::string> logged;   // the log without its header
    std::string summary;
    int status = -1;
};

// Trawls a fresh tree at the same place (the uniform-colour repair follows the
// file's name) with the given options.
TrawlRun Trawl(const std::string& root, std::vector<std::string> args) {
    TempDir home;
    fs::remove_all(root);
    MakeTree(root);
    std::vector<std::string> command = {"--home", home.path().string(), "trawl"};
    command.insert(command.end(), args.begin(), args.end());
    command.push_back(root);
    const auto result = RunCliProgram(command);
    TrawlRun run;
    run.status = result.status;
    run.files = Snapshot(root);
    run.printed = testing_support::SplitLines(result.out, "\n");
    if (!run.printed.empty() && run.printed.back().rfind("trawl ", 0) == 0) {
        run.summary = run.printed.back();
        run.printed.pop_back();
    }
    while (!run.printed.empty() && run.printed.back().rfind("  refused ", 0) == 0) {
        run.summary = run.printed.back() + "\n" + run.summary;
        run.printed.pop_back();
        if (!run.printed.empty() && run.printed.back().rfind("trawl ", 0) == 0) {
            run.summary = run.printed.back() + "\n" + run.summary;
            run.printed.pop_back();
        }
    }
    run.logged = testing_support::SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n");
    if (!run.logged.empty()) run.logged.erase(run.logged.begin());
    return run;
}

TEST(BatchCliTest, TwoJobsWriteTheSameFilesAndLinesAsOne) {
    TempDir work;
    const std::string root = work.File("route");
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--bmp", "--jpg"},
          std::vector<std::string>{"--bmp", "--no-overwrite", "--no-fix-uniform"}}) {
        std::vector<std::string> one = options, two = options;
        one.insert(one.end(), {"--verbose", "--jobs", "1"});
        two.insert(two.end(), {"--verbose", "--jobs=2"});
        const TrawlRun first = Trawl(root, one);
        const TrawlRun second = Trawl(root, two);
        const std::string what = options[1];
        EXPECT_EQ(first.status, 1) << what;  // odd.bmp and broken.texture are refused
        EXPECT_EQ(second.status, 1) << what;
        EXPECT_TRUE(first.files == second.files) << what;
        EXPECT_EQ(first.printed, second.printed) << what;
        EXPECT_EQ(first.logged, second.logged) << what;
        EXPECT_TRUE(std::equal(first.printed.begin(), first.printed.end(), first.logged.begin()) &&
                    first.logged.size() == first.printed.size())
            << what;
        // The summaries differ only in the time taken.
        auto withoutTime = [](std::string s) { return s.erase(0, s.find(" s: ")); };
        EXPECT_EQ(withoutTime(first.summary), withoutTime(second.summary)) << what;
    }

    // 27 files read (20 textures, 4 bitmaps, the JPEG, 2 TGAs); two are refused;
    // repaired: plain, axle, a.bmp and four tiles. a.tga is not: a.bmp and
    // a.texture have rewritten it before its turn.
    const TrawlRun run = Trawl(root, {"--bmp", "--jpg", "--jobs", "2"});
    EXPECT_TRUE(run.summary.find("27 files in ") != std::string::npos &&
                run.summary.find(": 23 converted, 7 repaired, 2 refused, 0 skipped") != std::string::npos)
        << run.summary;
    EXPECT_NE(run.summary.find("refused " + (fs::path(root) / "scenery" / "broken.texture").string() + ": "),
              std::string::npos)
        << run.summary;
    EXPECT_NE(run.summary.find("odd.bmp: Not converted"), std::string::npos) << run.summary;
    EXPECT_EQ(run.printed, run.logged);  // the message lines are printed as they come
}

TEST(BatchCliTest, QuietJobsOptionAndConvertInOrder) {
    TempDir home, work;
    const std::string homeDir = home.path().string();
    const std::string root = work.File("tree");
    MakeTree(root);
    auto quiet = RunCliProgram({"--home", homeDir, "trawl", "--quiet", "--bmp", root});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, "");
    EXPECT_NE(quiet.err.find("odd.bmp"), std::string::npos);  // refusals are errors
    EXPECT_TRUE(fs::exists(root + "/loco/bogie/wheel.tga"));
    // A log that cannot be written is reported; every file is still converted
    // and counted.
    TempDir blockedHome;
    fs::create_directories(blockedHome.File("Trawl_Log.txt"));
    fs::remove_all(root);
    MakeTree(root);
    const auto blocked = RunCliProgram({"--home", blockedHome.path().string(), "trawl", "--jobs", "2",
                                        "--bmp", "--no-fix-uniform", root});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("Trawl_Log.txt"), std::string::npos);
    EXPECT_NE(blocked.out.find(": 25 files in "), std::string::npos) << blocked.out;
    EXPECT_NE(blocked.out.find(": 22 converted, 0 repaired, 2 refused, 1 skipped"), std::string::npos)
        << blocked.out;
    for (const char* bad : {"0", "x", "257", ""})
        EXPECT_EQ(RunCliProgram({"--home", homeDir, "trawl", "--jobs", bad, root}).status, 2) << bad;
    EXPECT_EQ(RunCliProgram({"--home", homeDir, "convert", "--jobs"}).status, 2);

    // convert: outputs in the order of the inputs, the same files as one by one.
    std::vector<std::string> files;
    for (int i = 0; i < 9; ++i) {
        files.push_back(work.File("c" + std::to_string(i) + (i % 2 ? ".texture" : ".bmp")));
        WriteImage(files.back(), 8, 8, i % 3 == 0);
    }
    files.insert(files.begin() + 4, work.File("missing.tga"));
    std::vector<std::string> one = {"--home", homeDir, "convert", "--jobs", "1"};
    std::vector<std::string> two = {"--home", homeDir, "convert", "-j", "2"};
    one.insert(one.end(), files.begin(), files.end());
    two.insert(two.end(), files.begin(), files.end());
    const auto first = RunCliProgram(one);
    std::map<std::string, std::vector<uint8_t>> written;
    for (int i = 0; i < 9; ++i) written[std::to_string(i)] = ReadBytes(work.File("c" + std::to_string(i) + ".tga"));
    const auto second = RunCliProgram(two);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(first.err, second.err);
    EXPECT_NE(second.err.find("missing.tga"), std::string::npos);
    const auto printed = testing_support::SplitLines(second.out, "\n");
    std::vector<std::string> arrows;
    for (const std::string& line : printed)
        if (line.find(" -> ") != std::string::npos) arrows.push_back(line.substr(0, line.find(" -> ")));
    std::vector<std::string> expected = files;
    expected.erase(expected.begin() + 4);
    EXPECT_EQ(arrows, expected);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(ReadBytes(work.File("c" + std::to_string(i) + ".tga")), written[std::to_string(i)]) << i;
}

}  // namespace
