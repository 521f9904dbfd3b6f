// The trawl through the recording host: order, depth, repair, stop and resume,
// and the log that keeps every memo line. The console's tests show the counts
// and that parallel jobs change nothing.
#include <algorithm>
#include <filesystem>

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
    // The log's lines after its one header: a second header would show as a line.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines = testing_support::SplitLines(LogText(), "\r\n");
        if (!lines.empty() && lines[0].rfind("----- Trawl Log ------- ", 0) == 0)
            lines.erase(lines.begin());
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
    for (const std::string& name :
         {std::string("A/wagon.tga"), std::string("B/plain.tga"), level25 + "/deep.tga"})
        EXPECT_TRUE(Exists(At(name))) << name;
    EXPECT_FALSE(Exists(At("B/odd.tga")) || Exists(At(deep + "/no.tga")));
    // Uniform sources are repaired in place, in their own format.
    EXPECT_NE(ReadBytes(At("A/flat.tga")), flat);
    EXPECT_NE(ReadBytes(At("B/plain.bmp")), plain);

    EXPECT_EQ(host.allMemo.front(), " root");
    const std::vector<std::string> order = {"",
                                            "searching A",
                                            "",
                                            Line("message FixedColour", "flat.tga"),
                                            "",
                                            Converting("wagon.texture"),
                                            "",
                                            "searching B",
                                            "",
                                            Converting("odd.bmp"),
                                            Line("message InvalidSize", "odd.bmp")};
    EXPECT_NE(std::search(host.allMemo.begin(), host.allMemo.end(), order.begin(), order.end()),
              host.allMemo.end());
    EXPECT_EQ(host.allMemo.back(), "  -- " + app->T("message Finished") + " --");
    EXPECT_EQ(host.titles,
              (std::vector<std::string>{"Skeinpress: 0 %", "Skeinpress: 33 %", "Skeinpress: 66 %",
                                        "Skeinpress: 100 %", "Skeinpress"}));

    // Every line in the log, which closes soon after.
    EXPECT_EQ(LogLines(), host.allMemo);
    EXPECT_TRUE(host.Fire(TimerId::CloseLog));
    EXPECT_FALSE(app->LogOpen);
}

// The log also keeps the lines of a memo cleared past 100 lines.
TEST_F(TrawlTest, StopDeleteTheLogAndResumeLosesNoLine) {
    app->settings().FixUniformColour = app->settings().OverwriteTGAs = false;
    for (const char* name : {"p.texture", "q.texture", "r.texture"})
        WriteImage(At(name), 4, 4, false);
    // Bitmaps with their option off, after the textures: one line each, never read.
    for (int i = 100; i < 220; ++i)
        testing_support::WriteBytes(At("z" + std::to_string(i) + ".bmp"), {0});
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
    EXPECT_LE(host.memo.size(), 100u);
    EXPECT_EQ(LogLines(), host.allMemo);
}

// Closing when done is shown by the desktop program run with -trawl -close.
TEST_F(TrawlTest, MissingStartFolderIsRefusedAndALinkUpTheTreeIsNotEntered) {
    app->settings().DefaultDir = work.File("nowhere");
    app->StartClick();
    EXPECT_EQ(host.memo, std::vector<std::string>{" " + app->T("message StartFolder")});
    EXPECT_FALSE(app->TrawlActive || Exists(app->LogFilePath()));

    app->settings().DefaultDir = root;
    WriteImage(At("flat.tga"), 2, 2, true);
    fs::create_directory_symlink(root, At("loop"));
    app->StartClick();
    Step();
    EXPECT_FALSE(app->TrawlActive);
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(),
                         Line("message FixedColour", "flat.tga")),
              1);
}

TEST_F(TrawlTest, ViewLogOpensTheLogOrSaysThereIsNone) {
    app->ViewLogFile();
    EXPECT_EQ(host.memo, std::vector<std::string>{app->T("message Nothing3")});
    testing_support::WriteBytes(app->LogFilePath(), {'e', '\r', '\n'});
    app->ViewLogFile();
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{app->LogFilePath()});
}

}  // namespace
