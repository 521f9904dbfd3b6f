// Batches on several workers: the same files, lines and log as one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::RunCliProgram;
using testing_support::SplitLines;
using testing_support::TempDir;
using testing_support::TextureBytes;
using testing_support::WriteBytes;
using testing_support::WriteImage;

// A DXT texture (format 10, 11 or 12) of pseudo-random blocks.
void WriteDxtTexture(const std::string& path, int format, int side, uint32_t seed) {
    const size_t size = (side / 4) * (side / 4) * (format == 10 ? 8 : 16);
    WriteBytes(path, TextureBytes(format, side, side, testing_support::NoiseBytes(size, seed)));
}

// Textures of every format, bitmaps, JPEGs and TGAs, uniform ones, a bad
// size, a broken file, names that make the same TGA, and subfolders.
void MakeTree(const std::string& root) {
    WriteImage(root + "/loco/cab.texture", 16, 8, false, true);
    WriteImage(root + "/loco/plain.texture", 8, 8, true);  // uniform: repaired
    WriteDxtTexture(root + "/loco/body.texture", 10, 64, 1);
    WriteDxtTexture(root + "/loco/glass.texture", 11, 32, 2);
    WriteDxtTexture(root + "/loco/lamp.texture", 12, 16, 3);
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

struct TrawlRun {
    int status;
    std::string out;                  // with the time taken blanked out
    std::vector<std::string> logged;  // the log without its header
    std::map<std::string, std::vector<uint8_t>> files;
};

// Trawls a fresh tree at the same place (the uniform-colour repair follows the
// file's name) with the given options.
TrawlRun Trawl(const std::string& root, std::vector<std::string> args,
               const std::vector<std::string>& jobs) {
    TempDir home;
    fs::remove_all(root);
    MakeTree(root);
    args.insert(args.begin(), {"--home", home.path().string(), "trawl"});
    args.insert(args.end(), jobs.begin(), jobs.end());
    args.push_back(root);
    const auto result = RunCliProgram(args);
    TrawlRun run{result.status,
                 std::regex_replace(result.out, std::regex(" in [0-9.]+ s: "), " in _ s: "),
                 SplitLines(testing_support::ReadText(home.File("Trawl_Log.txt")), "\r\n"),
                 {}};
    if (!run.logged.empty()) run.logged.erase(run.logged.begin());
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            run.files[fs::relative(entry.path(), root).generic_string()] =
                testing_support::ReadBytes(entry.path().string());
    return run;
}

TEST(BatchCliTest, TwoJobsWriteTheSameFilesAndLinesAsOne) {
    TempDir work;
    const std::string root = work.File("route");
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--bmp", "--jpg"},
          std::vector<std::string>{"--bmp", "--no-overwrite", "--no-fix-uniform"}}) {
        const TrawlRun first = Trawl(root, options, {"--verbose", "--jobs", "1"});
        const TrawlRun second = Trawl(root, options, {"--verbose", "--jobs=2"});
        const std::string what = options[1];
        // odd.bmp and broken.texture are refused
        EXPECT_EQ(std::pair(first.status, second.status), std::pair(1, 1)) << what;
        EXPECT_TRUE(first.files == second.files) << what;
        EXPECT_EQ(first.out, second.out) << what;
        EXPECT_EQ(first.logged, second.logged) << what;
        // The message lines are printed as they are logged, before the summary.
        const auto printed = SplitLines(first.out, "\n");
        ASSERT_GT(printed.size(), first.logged.size()) << what;
        EXPECT_TRUE(std::equal(first.logged.begin(), first.logged.end(), printed.begin())) << what;
        if (what != "--jpg") continue;
        // 27 files read (20 textures, 4 bitmaps, the JPEG, 2 TGAs); two are refused;
        // repaired: plain, axle, a.bmp and four tiles. a.tga is not: a.bmp and
        // a.texture have rewritten it before its turn.
        EXPECT_TRUE(testing_support::Contains(
            first.out, ": 27 files in _ s: 23 converted, 7 repaired, 2 refused, 0 skipped"));
        const auto& description = first.files.at("loco/cab.texture.txt");
        EXPECT_EQ(
            std::string(description.begin(), description.end()).rfind("Primary=cab.tga\r\n", 0),
            0u);
    }
}

TEST(BatchCliTest, QuietTrawlAppendsToTheLogAndConvertKeepsItsOrder) {
    TempDir home, work;
    const std::string homeDir = home.path().string(), root = work.File("tree");
    MakeTree(root);
    for (int run = 1; run <= 2; ++run) {
        const auto quiet =
            RunCliProgram({"--home", homeDir, "trawl", "--quiet", "--jobs", "2", "--bmp", root});
        EXPECT_EQ(std::pair(quiet.status, quiet.out),
                  std::pair(1, std::string()));  // odd.bmp is refused
    }
    const std::string log = testing_support::ReadText(home.File("Trawl_Log.txt")),
                      header = "----- Trawl Log ------- ";
    EXPECT_TRUE(log.rfind(header, 0) == 0 && log.find(header, 1) != std::string::npos);

    // convert: outputs in the order of the inputs, whatever the jobs.
    std::vector<std::string> args = {"--home", homeDir, "convert", "-j", "1"}, converted;
    for (int i = 0; i < 7; ++i) {
        const std::string file = work.File("c" + std::to_string(i) + (i % 2 ? ".texture" : ".bmp"));
        args.push_back(file);
        if (i != 2)
            WriteImage(file, 8, 8, i % 3 == 0), converted.push_back(file);  // c2.bmp is missing
    }
    const auto first = RunCliProgram(args);
    args[4] = "2";
    const auto second = RunCliProgram(args);
    EXPECT_EQ(std::pair(first.status, second.status), std::pair(1, 1));
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(first.err, second.err);
    size_t at = 0;
    for (const std::string& file : converted)
        EXPECT_NE(at = second.out.find(file + " -> ", at), std::string::npos) << file;
}

}  // namespace
