// The trawl through the recording host: order (a folder's names folded to upper
// case), depth, repair, stop and resume, and the log that keeps every memo
// line. The console's tests show the counts and that parallel jobs change
// nothing.
#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <filesystem>

#include "tests/app/flow_fixture.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
using app::TimerId;
using flow_testing::Exists;

// First-run options: textures on, bitmaps and JPEGs off, repair and overwriting on.
class TrawlTest : public flow_testing::FlowTest {
protected:
    TrawlTest() : root((work.path() / "root").string()) {
        fs::create_directories(root);
        app->settings().DefaultDir = root;
    }
    std::string At(const std::string& relative) const { return root + "/" + relative; }
    // The log's lines after its one header: a second header would show as a line.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines = SplitLines(LogText(), "\r\n");
        if (!lines.empty() && lines[0].rfind("----- Trawl Log ------- ", 0) == 0)
            lines.erase(lines.begin());
        return lines;
    }

    std::string root;
};

TEST_F(TrawlTest, WholeTreeConvertsReportsAndEnds) {
    app->settings().DoBMPs = true;
    WriteImage(At("A/wagon.texture"), 8, 8, false);
    WriteImage(At("A/flat.tga"), 4, 4, true);
    WriteImage(At("B/odd.bmp"), 100, 100, false);
    WriteImage(At("B/plain.bmp"), 8, 8, true);
    const auto flat = ReadBytes(At("A/flat.tga")), plain = ReadBytes(At("B/plain.bmp"));

    app->trawl().Start();
    Step();
    EXPECT_FALSE(app->trawl().Active());
    EXPECT_TRUE(Exists(At("A/wagon.tga")) && Exists(At("B/plain.tga")) && !Exists(At("B/odd.tga")));
    // Uniform sources are repaired in place, in their own format.
    EXPECT_NE(ReadBytes(At("A/flat.tga")), flat);
    EXPECT_NE(ReadBytes(At("B/plain.bmp")), plain);

    std::string memo;  // the lines, "|" after each
    for (const std::string& line : host.allMemo) memo += line + "|";
    EXPECT_TRUE(memo.starts_with(" root||searching A||" + Line("message FixedColour", "flat.tga") +
                                 "||" + Converting("wagon.texture") + "||searching B||" +
                                 Converting("odd.bmp") + "|" +
                                 Line("message InvalidSize", "odd.bmp")))
        << memo;
    EXPECT_TRUE(memo.ends_with("|  -- " + app->T("message Finished") + " --|")) << memo;
    EXPECT_EQ(host.titles, (std::vector<std::string>{"Skeinpress: 0 %", "Skeinpress: 50 %",
                                                     "Skeinpress: 100 %", "Skeinpress"}));

    // Every line in the log, which closes soon after. (The time in its header
    // is the platform's locale text: the platform's tests.)
    EXPECT_EQ(LogLines(), host.allMemo);
    EXPECT_TRUE(host.Fire(TimerId::CloseLog));
    EXPECT_FALSE(app->log().IsOpen());
}

// PNGs and .jpeg files convert by their own options, off at first; a PNG of
// one colour is converted repaired but never rewritten (that a TGA keeps a
// picture's alpha: the core's writer tests).
TEST_F(TrawlTest, PngsAndJpegsConvertByTheirOwnOptionsAndNoPngIsRewritten) {
    WriteImage(At("flat.png"), 4, 4, true);
    WriteImage(At("logo.png"), 8, 8, false, true);
    WriteImage(At("photo.JPEG"), 8, 8, false);
    const auto flat = ReadBytes(At("flat.png"));
    app->trawl().Start();
    Step();
    EXPECT_FALSE(Exists(At("flat.tga")) || Exists(At("logo.tga")) || Exists(At("photo.tga")));
    app->settings().DoPNGs = app->settings().DoJPGs = true;
    app->trawl().Start();
    Step();
    EXPECT_TRUE(Exists(At("flat.tga")) && Exists(At("logo.tga")) && Exists(At("photo.tga")));
    EXPECT_EQ(ReadBytes(At("flat.png")), flat);
    EXPECT_EQ(Seen(Line("message FixedColour", "flat.png")), 1);
}

// Names in any script, paths longer than Windows's plain limit, and hidden
// entries: a leading dot, or on Windows the hidden attribute.
TEST_F(TrawlTest, TheWalkTakesAnyNameAndAnyLengthButNothingHidden) {
    app->settings().FixUniformColour = false;
    const std::string page = At("Страница");
    WriteImage(page + "/Güterwagen_Dach.texture", 4, 4, false);
    std::string deep = "deep";
    for (char letter : std::string("abcde")) deep += "/" + std::string(60, letter);
    WriteImage(At(deep + "/far.texture"), 4, 4, false);
    ASSERT_GT(At(deep + "/far.texture").size(), 300u);
    WriteImage(At(".cache/cached.texture"), 4, 4, false);
    // '_' lies between the upper- and lower-case letters: folded to upper case
    // "ab" comes first, folded to lower case "a_b" would.
    for (const char* name : {".dot.texture", "a_b.texture", "ab.texture"})
        WriteImage(At(name), 4, 4, false);
#if defined(_WIN32)
    WriteImage(At("secret/inside.texture"), 4, 4, false);
    WriteImage(At("marked.texture"), 4, 4, false);
    for (const char* name : {"secret", "marked.texture"})
        ASSERT_TRUE(SetFileAttributesW(SystemPath(At(name)).c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif
    app->trawl().Start();
    Step();
    EXPECT_TRUE(Exists(page + "/Güterwagen_Dach.tga") && Exists(At(deep + "/far.tga")));
    const std::vector<std::string> converted = {Converting("ab.texture"), Converting("a_b.texture"),
                                                Converting("far.texture"),
                                                Converting("Güterwagen_Dach.texture")};
    std::vector<std::string> seen;
    for (const std::string& line : host.allMemo)
        if (line.find(app->T("message Converting")) != std::string::npos) seen.push_back(line);
    EXPECT_EQ(seen, converted) << testing::PrintToString(host.allMemo);
    EXPECT_EQ(Seen("searching Страница"), 1);
}

// The log also keeps the lines of a memo cleared past 100 lines.
TEST_F(TrawlTest, StopDeleteTheLogAndResumeLosesNoLine) {
    app->settings().FixUniformColour = app->settings().OverwriteTGAs = false;
    for (const char* name : {"p.texture", "q.texture", "r.texture"})
        WriteImage(At(name), 4, 4, false);
    // Bitmaps with their option off, after the textures: one line each, never read.
    for (int i = 100; i < 220; ++i) WriteBytes(At("z" + std::to_string(i) + ".bmp"), {0});
    app->trawl().Start();
    while (!Exists(At("q.tga")) && app->trawl().Active()) Step(1);
    app->trawl().Stop();
    EXPECT_TRUE(app->trawl().Active() && app->trawl().Stopped() && app->log().IsOpen());
    EXPECT_EQ(Step(), 0);  // nothing runs while stopped
    EXPECT_EQ(host.titles.back(), "Skeinpress (stopped)");
    EXPECT_EQ(host.trawlButtons, std::pair(true, false));
    // Deleting the log under a stopped trawl closes it; the resume writes the
    // memo into a new log first.
    host.answers = {app::Answer::Yes};
    app->DeleteTrawlLog();
    EXPECT_FALSE(app->log().IsOpen() || Exists(app->log().Path()));

    app->trawl().Start();  // Resume: the folder is converted again
    EXPECT_EQ(host.memo, std::vector<std::string>{" root"});
    EXPECT_EQ(host.trawlButtons, std::pair(false, true));
    Step();
    EXPECT_EQ(host.trawlButtons, std::pair(true, false));  // Resume starts afresh
    for (const char* name : {"p1.tga", "q1.tga", "r.tga"}) EXPECT_TRUE(Exists(At(name))) << name;
    EXPECT_FALSE(Exists(At("r1.tga")));
    EXPECT_LE(host.memo.size(), 100u);
    EXPECT_EQ(LogLines(), host.allMemo);
}

// Closing when done is shown by the desktop program run with -trawl -close.
TEST_F(TrawlTest, AMissingStartFolderIsRefusedAndViewLogOpensTheLogOrSaysThereIsNone) {
    // Before the first trawl the step timer's idle steps keep the memo short.
    for (int i = 0; i <= 100; ++i) host.AddMemoLine("line");
    app->TimerFired(TimerId::TrawlFast);
    EXPECT_TRUE(host.memo.empty());
    app->settings().DefaultDir = work.File("nowhere");
    app->trawl().Start();
    EXPECT_EQ(host.memo, std::vector<std::string>{" " + app->T("message StartFolder")});
    EXPECT_FALSE(app->trawl().Active() || Exists(app->log().Path()));
    host.memo.clear();

    app->ViewTrawlLog();
    EXPECT_EQ(host.memo, std::vector<std::string>{app->T("message Nothing3")});
    WriteBytes(app->log().Path(), {'e', '\r', '\n'});
    app->ViewTrawlLog();
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{app->log().Path()});
}

// Making links takes privileges on Windows, and FIFOs are POSIX's.
#if !defined(_WIN32)
// A link to a folder outside the tree is not followed, with a line saying so,
// and a fan of links (two in each folder to the next) reaches each folder once,
// not once per path; a link back to the start folder is not entered at all.
TEST_F(TrawlTest, LinksLeadNowhereOutsideTheTreeAndNoFolderTwice) {
    app->settings().FixUniformColour = false;
    WriteImage(work.File("outside/far.texture"), 4, 4, false);
    fs::create_directory_symlink(work.File("outside"), At("away"));
    fs::create_directory_symlink(work.path(), At("up"));  // the tree's parent
    constexpr int kLevels = 10;
    for (int i = 0; i <= kLevels; ++i) fs::create_directories(At("fan/f" + std::to_string(i)));
    for (int i = 0; i < kLevels; ++i)
        for (const char* link : {"a", "b"})
            fs::create_directory_symlink(At("fan/f" + std::to_string(i + 1)),
                                         At("fan/f" + std::to_string(i) + "/" + link));
    WriteImage(At("fan/f" + std::to_string(kLevels) + "/deep.texture"), 4, 4, false);
    fs::create_directory_symlink(root, At("fan/loop"));
    app->trawl().Start();
    Step();
    EXPECT_FALSE(Exists(work.File("outside/far.tga")));
    EXPECT_EQ(Seen(Converting("deep.texture")), 1);
    for (const auto& [link, to] :
         {std::pair("away", work.File("outside")), std::pair("up", work.path().string())}) {
        EXPECT_EQ(
            Seen("  Link \"" + std::string(link) + "\" leads out of the trawled folder (to \"" +
                 fs::canonical(to).string() + "\") and is not followed"),
            1)
            << link << testing::PrintToString(host.allMemo);
    }
}

// The walk listed them, but when their turn comes they are gone, lead nowhere
// or are no regular file: each is refused with a line naming it, and nothing
// waits on a FIFO as the description beside a texture or as the log (a FIFO
// as an entry: the console's trawl test, on the same walk).
TEST_F(TrawlTest, EntriesThatCannotBeReadAreRefusedAndNothingWaits) {
    app->settings().DoBMPs = true;
    WriteImage(At("a.texture"), 4, 4, false);
    WriteImage(At("b.bmp"), 4, 4, false);
    WriteImage(At("wagon.texture"), 4, 4, false);
    MakeNoRegularFile(At("wagon.texture.txt"));
    fs::create_symlink(At("nowhere.texture"), At("dangling.texture"));
    MakeNoRegularFile(app->log().Path());
    app->trawl().Start();
    fs::remove(At("b.bmp"));  // listed, then deleted before its turn
    Step();
    EXPECT_TRUE(Exists(At("a.tga")) && Exists(At("wagon.tga")));
    for (const std::string line :
         {"Error opening \"b.bmp\"", "File not found : \"dangling.texture\"",
          "\"wagon.texture.txt\" is not a regular file",
          "  The trawl log \"Trawl_Log.txt\" is not a regular file; it is left as it is, and this "
          "trawl is not logged"})
        EXPECT_EQ(Seen(line), 1) << line;
    EXPECT_TRUE(host.messages.empty());
}

// What the walk refuses is a line naming the reason, and counted.
TEST_F(TrawlTest, ForgedNamesTooDeepFoldersAndALinkedLogAreRefused) {
    WriteImage(At("evil\n  -- Trawl finished --.texture"), 4, 4, false);
    WriteImage(At("bad\rdir/inner.texture"), 4, 4, false);
    std::string deep;
    for (int i = 0; i <= app::kMaxTrawlDepth; ++i) deep += "d" + std::to_string(i) + "/";
    WriteImage(At(deep + "lost.texture"), 4, 4, false);
    fs::create_directory(At("locked"));
    fs::permissions(At("locked"), fs::perms::none);
    WriteText(At("elsewhere.txt"), "");
    fs::create_symlink(At("elsewhere.txt"), app->log().Path());
    app->trawl().Start();
    Step();
    EXPECT_FALSE(Exists(At(deep + "lost.tga")) || Exists(At("bad\rdir/inner.tga")));
    const bool root = ::geteuid() == 0;  // the superuser lists any folder
    EXPECT_EQ(app->trawl().Refusals(), root ? 3 : 4);
    for (const std::string line :
         {"  \"evil\\n  -- Trawl finished --.texture\" is not trawled: its name holds a line break",
          "  \"bad\\rdir\" is not trawled: its name holds a line break",
          "  Folder \"d25\" is not trawled: it lies more than 25 folders deep",
          "  The trawl log \"Trawl_Log.txt\" is a symbolic link; it is left as it is, and this "
          "trawl is not logged"})
        EXPECT_EQ(Seen(line), 1) << line;
    EXPECT_EQ(Seen("  Folder \"locked\" cannot be listed: Permission denied"), root ? 0 : 1);
    EXPECT_EQ(Seen("  -- Trawl finished --"), 1);
    fs::permissions(At("locked"), fs::perms::owner_all);
}
#endif

}  // namespace
