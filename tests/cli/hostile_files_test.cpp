// skeinpress-cli among FIFOs, read-only files, names that are not UTF-8,
// files that vanish, and a language file with a broken line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Contains;
using testing_support::MakeNoRegularFile;
using testing_support::ReadText;
using testing_support::RunCliProgram;
using testing_support::TempDir;
using testing_support::WriteImage;

TEST(CliHostileFiles, FifosAndReadOnlyFilesAreReportedAndLeftAlone) {
    TempDir home, work;
    const std::string homeDir = home.path().string();
    MakeNoRegularFile(work.File("y.bmp"));
    WriteImage(work.File("x.texture"), 4, 4, false);
    MakeNoRegularFile(work.File("x.texture.txt"));
    WriteImage(work.File("locked.texture"), 4, 4, false);
    testing_support::WriteBytes(work.File("locked.tga"), {'o', 'l', 'd'});
    fs::permissions(work.File("locked.tga"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto r = RunCliProgram({"--home", homeDir, "convert", work.File("x.texture"),
                            work.File("locked.texture"), work.File("y.bmp")});
    EXPECT_EQ(r.status, 1);
    for (const char* message : {"\"x.texture.txt\" is not a regular file",
                                "\"locked.tga\" is read-only", "\"y.bmp\" is not a regular file"})
        EXPECT_TRUE(Contains(r.err, message));
    EXPECT_EQ(ReadText(work.File("locked.tga")), "old");

    MakeNoRegularFile(home.File("skeinpress.ini"));
    r = RunCliProgram({"--home", homeDir, "paths"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Contains(r.out, "(not read: it is not a regular file)"));

    MakeNoRegularFile(home.File("Trawl_Log.txt"));
    r = RunCliProgram({"--home", homeDir, "trawl", work.path().string()});
    EXPECT_EQ(r.status, 1);  // the files above are refused again
    EXPECT_TRUE(Contains(r.out, "\"Trawl_Log.txt\" is not a regular file"));
    EXPECT_TRUE(Contains(r.err, "skeinpress.ini\" was not read"));
}

// Links, FIFOs and names that are not UTF-8 are POSIX's.
#if !defined(_WIN32)
// The summary counts what could not be read when its turn came, for any
// number of jobs; JSON names every file in valid UTF-8.
TEST(CliHostileFiles, UnreadableEntriesCountAsRefusedAndJsonStaysUtf8) {
    TempDir home, work;
    const std::string root = work.File("tree");
    WriteImage(root + "/good.texture", 4, 4, false);
    fs::create_symlink(root + "/nowhere.texture", root + "/dangling.texture");
    MakeNoRegularFile(root + "/pipe.texture");
    for (const char* jobs : {"1", "2"}) {
        const auto r = RunCliProgram(
            {"--home", home.path().string(), "trawl", "--no-fix-uniform", "--jobs", jobs, root});
        EXPECT_EQ(r.status, 1) << jobs;
        EXPECT_TRUE(std::regex_search(
            r.out, std::regex(": 3 files in [0-9.]+ s: 1 converted, 0 repaired, 2 refused")))
            << r.out;
        EXPECT_TRUE(Contains(
            r.out, "refused " + root + "/pipe.texture: \"pipe.texture\" is not a regular file"));
    }

    const std::string odd = work.File("caf\xe9-\xff.tga");
    WriteImage(odd, 2, 2, false);
    const auto r = RunCliProgram({"info", "--json", odd});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Contains(r.out, "caf\\ufffd-\\ufffd.tga\""));
    EXPECT_TRUE(std::none_of(r.out.begin(), r.out.end(),
                             [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
}
#endif

// A broken line of the language file is told once per run, not once per job.
TEST(CliHostileFiles, LanguageNoticesComeOncePerRunWhateverTheJobs) {
    TempDir home, work;
    testing_support::WriteText(home.File("English.txt"), "a|b|c|d|e|f|g");
    for (int i = 0; i < 6; ++i)
        WriteImage(work.File("t" + std::to_string(i) + ".texture"), 4, 4, false);
    std::string outputs[2];
    for (int run = 0; run < 2; ++run) {
        const auto r = RunCliProgram({"--home", home.path().string(), "trawl", "--no-fix-uniform",
                                      "--jobs", run == 0 ? "1" : "3", work.path().string()});
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string shown = r.out + r.err, notice = "has too many \"|\" separators";
        EXPECT_EQ(shown.find(notice, shown.find(notice) + 1), std::string::npos) << shown;
        EXPECT_TRUE(Contains(shown, notice));
        outputs[run] = std::regex_replace(r.out, std::regex(" in [0-9.]+ s: "), " in _ s: ");
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}

}  // namespace
