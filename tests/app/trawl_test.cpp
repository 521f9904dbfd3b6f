// The trawl through the recording host: order, depth, repair, timers, stop and
// resume, the log that keeps every memo line, and the hooks a console uses.
#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>

#include "tests/app/flow_fixture.h"

namespace {

namespace fs = std::filesystem;
using app::TimerId;
using flow_testing::Exists;
using testing_support::ReadBytes;
using testing_support::WriteImage;

// First-run options: textures on, bitmaps and JPEGs off, repair and overwriting on.
class TrawlTest : public flow_testing::FlowTest {
protected:
    TrawlTest() : root((work.path() / "root").string()) {
        fs::create_directories(root);
        app->settings().DefaultDir = root;
    }
    std::string At(const std::string& relative) const { return root + "/" + relative; }
    // Bitmaps with their option off (and no repair) are named, never read: one line each.
    void OffBitmaps(int count) {
        app->settings().FixUniformColour = false;
        for (int i = 0; i < count; ++i)
            testing_support::WriteBytes(At("n" + std::to_string(100 + i) + ".bmp"), {0});
    }
    std::string EndLine() const { return "  -- " + app->T("message Finished") + " --"; }
    bool Memo(const std::vector<std::string>& run) const {
        return std::search(host.allMemo.begin(), host.allMemo.end(), run.begin(), run.end()) !=
               host.allMemo.end();
    }
    // The log's lines apart from its headers, which are counted.
    std::vector<std::string> LogLines(int& headers) const {
        std::vector<std::string> lines;
        headers = 0;
        for (const std::string& line : testing_support::SplitLines(LogText(), "\r\n")) {
            if (line.rfind("----- Trawl Log ------- ", 0) == 0) ++headers;
            else lines.push_back(line);
        }
        return lines;
    }

    std::string root;
};

TEST_F(TrawlTest, WholeTreeConvertsReportsAndEnds) {
    app->settings().DoBMPs = true;
    fs::create_directories(At("A"));
    WriteImage(At("A/wagon.texture"), 8, 8, false);
    WriteImage(At("A/flat.tga"), 4, 4, true);
    fs::create_directories(At("B"));
    WriteImage(At("B/odd.bmp"), 100, 100, false);
    WriteImage(At("B/plain.bmp"), 8, 8, true);
    std::string deep = "C";  // C at depth 1 ... L25 at depth 25, L26 beyond the limit
    for (int depth = 2; depth <= 26; ++depth) deep += "/L" + std::to_string(depth);
    fs::create_directories(At(deep));
    const std::string level25 = deep.substr(0, deep.rfind('/'));
    WriteImage(At(level25 + "/deep.texture"), 4, 4, false);
    WriteImage(At(deep + "/no.texture"), 4, 4, false);
    const auto flat = ReadBytes(At("A/flat.tga")), plain = ReadBytes(At("B/plain.bmp"));

    app->StartClick();
    Step();
    EXPECT_FALSE(app->TrawlActive);
    for (const std::string& name : {std::string("A/wagon.tga"), std::string("B/plain.tga"), level25 + "/deep.tga"})
        EXPECT_TRUE(Exists(At(name))) << name;
    EXPECT_FALSE(Exists(At("B/odd.tga")) || Exists(At(deep + "/no.tga")));
    // Uniform sources are repaired in place, in their own format.
    EXPECT_NE(ReadBytes(At("A/flat.tga")), flat);
    EXPECT_NE(ReadBytes(At("B/plain.bmp")), plain);

    EXPECT_EQ(host.allMemo.front(), " root");
    EXPECT_TRUE(Memo({"", "searching A", "", Line("message FixedColour", "flat.tga"), "",
                      Converting("wagon.texture"), "", "searching B", "", Converting("odd.bmp"),
                      Line("message InvalidSize", "odd.bmp")}));
    // plain.bmp: repaired before its TGA is written, and again as the source.
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(),
                         Line("message FixedColour", "plain.bmp")), 2);
    EXPECT_TRUE(Memo({"", "searching L25"}));
    EXPECT_FALSE(Memo({"searching L26"}));
    EXPECT_EQ(host.allMemo.back(), EndLine());
    const std::string percent = app->T("message Percent");
    EXPECT_EQ(host.titles, (std::vector<std::string>{"33" + percent, "66" + percent,
                                                     "100" + percent, "Skeinpress"}));

    // Every line in the log; the log closes 200 ms later; no step timer left.
    int headers = 0;
    EXPECT_EQ(LogLines(headers), host.allMemo);
    EXPECT_EQ(headers, 1);
    EXPECT_FALSE(host.Active(TimerId::TrawlFast) || host.Active(TimerId::TrawlSlow));
    EXPECT_EQ(host.Interval(TimerId::CloseLog), 200);
    EXPECT_TRUE(host.Fire(TimerId::CloseLog));
    EXPECT_FALSE(app->LogOpen || host.Active(TimerId::CloseWindow));
}

TEST_F(TrawlTest, StopDeleteTheLogAndResumeLosesNoLine) {
    app->settings().FixUniformColour = app->settings().OverwriteTGAs = false;
    for (const char* name : {"p.texture", "q.texture", "r.texture"}) WriteImage(At(name), 4, 4, false);
    app->StartClick();
    while (!Exists(At("q.tga")) && app->TrawlActive) Step(1);
    app->bStopClick();
    EXPECT_TRUE(app->TrawlActive && app->TrawlStopped && app->LogOpen);
    EXPECT_EQ(Step(), 0);  // nothing runs while stopped
    // Deleting the log under a stopped trawl closes it; the resume writes the
    // memo into a new log first.
    host.answers = {app::Answer::Yes};
    app->DeleteLog1Click();
    EXPECT_FALSE(app->LogOpen || Exists(app->LogFilePath()));

    app->StartClick();  // Resume: the folder is converted again
    EXPECT_EQ(host.memo, std::vector<std::string>{" root"});
    Step();
    for (const char* name : {"p1.tga", "q1.tga", "r.tga"}) EXPECT_TRUE(Exists(At(name))) << name;
    EXPECT_FALSE(Exists(At("r1.tga")));
    int headers = 0;
    EXPECT_EQ(LogLines(headers), host.allMemo);
    EXPECT_EQ(headers, 1);
}

TEST_F(TrawlTest, MemoIsFlushedPastOneHundredLinesAndTheNextTrawlSharesTheLog) {
    OffBitmaps(250);
    app->StartClick();
    Step();
    ASSERT_EQ(host.allMemo.size(), 252u);
    EXPECT_EQ(host.allMemo[1], Line("message ConvertNone", "n100.bmp"));
    EXPECT_EQ(host.memo.size(), 252u % 101u);  // cleared whenever it passed 100 lines
    EXPECT_EQ(host.allMemo.back(), EndLine());

    // A trawl started before the log's delayed close writes under its own
    // header; closing the program during it writes what the memo still holds.
    ASSERT_TRUE(host.Active(TimerId::CloseLog));
    app->StartClick();
    EXPECT_FALSE(host.Active(TimerId::CloseLog));
    Step(3);
    app->CloseLogOnExit();
    EXPECT_FALSE(app->LogOpen);
    int headers = 0;
    EXPECT_EQ(LogLines(headers), host.allMemo);
    EXPECT_EQ(headers, 2);
}

// Closing when done is shown by the desktop program run with -trawl -close.
TEST_F(TrawlTest, StartFolderLinksAndTimers) {
    app->settings().DefaultDir = work.File("nowhere");
    app->StartClick();
    EXPECT_EQ(host.memo, std::vector<std::string>{" " + app->T("message StartFolder")});
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(app->TrawlActive || Exists(app->LogFilePath()));

    // No subfolders: no percentage. A link back up the tree is not entered.
    app->settings().TrawlSpeed = 70;
    app->settings().DefaultDir = root + "/";
    WriteImage(At("flat.tga"), 2, 2, true);
    fs::create_directory_symlink(root, At("loop"));
    app->StartClick();
    EXPECT_EQ(host.memo.front(), " ");  // the start folder's name after its separator
    // Name-only steps come after 10 ms, steps that read an image after TrawlSpeed.
    std::set<std::tuple<bool, bool, int>> armed;  // image work, slow timer, interval
    for (; app->TrawlActive; Step(1)) {
        const bool slow = host.Active(TimerId::TrawlSlow);
        armed.emplace(app->StepConverted, slow, host.Interval(slow ? TimerId::TrawlSlow : TimerId::TrawlFast));
    }
    EXPECT_TRUE(armed.count({true, true, 70}) && armed.count({false, false, 10}));
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(),
                         Line("message FixedColour", "flat.tga")), 1);
    EXPECT_EQ(host.titles, std::vector<std::string>{"Skeinpress"});
}

// What the log holds is checked above, against the memo.
TEST_F(TrawlTest, ViewAndDeleteTheLog) {
    app->ViewLogFile();
    EXPECT_EQ(host.memo, std::vector<std::string>{app->T("message Nothing3")});
    testing_support::WriteBytes(app->LogFilePath(), {'e', '\r', '\n'});
    app->ViewLogFile();
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{app->LogFilePath()});
    host.answers = {app::Answer::No, app::Answer::Yes};
    app->DeleteLog1Click();
    EXPECT_TRUE(Exists(app->LogFilePath()));
    app->DeleteLog1Click();
    EXPECT_FALSE(Exists(app->LogFilePath()));
}

TEST_F(TrawlTest, UnwritableLogIsReportedOnce) {
    fs::create_directories(app->LogFilePath());  // a folder in the log's place
    OffBitmaps(150);
    app->StartClick();
    Step();
    EXPECT_FALSE(app->TrawlActive);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("Trawl_Log.txt"), std::string::npos);
}

// What a console needs to run the conversions elsewhere. Its batch tests show
// the hook's order, the seeded repair and the converted, repaired and refused
// counts; here: which entries need image work, and the skipped outcome.
TEST_F(TrawlTest, WhichEntriesNeedImageWorkAndTheSkippedOutcome) {
    app::Settings& s = app->settings();
    s.DoBMPs = true;
    s.FixUniformColour = false;
    EXPECT_TRUE(app->EntryNeedsImageWork("a.TEXTURE") && app->EntryNeedsImageWork("a.bmp"));
    EXPECT_FALSE(app->EntryNeedsImageWork("a.jpg") || app->EntryNeedsImageWork("a.tga") ||
                 app->EntryNeedsImageWork("sub"));
    s.FixUniformColour = true;  // every image is read for the repair
    EXPECT_TRUE(app->EntryNeedsImageWork("a.jpg") && app->EntryNeedsImageWork("a.tga"));
    EXPECT_FALSE(app->EntryNeedsImageWork("a.texture.txt"));

    WriteImage(At("sky.jpg"), 8, 8, false);
    app->TrawlActive = true;
    app->EntryFolder = root;
    app->EntryName = "sky.jpg";
    app->TrawlConvert();  // option off, examined for the repair only
    const auto& outcome = app->LastOutcome;
    EXPECT_TRUE(outcome.skipped && !outcome.converted && !outcome.refused && !outcome.repaired);
}

}  // namespace
