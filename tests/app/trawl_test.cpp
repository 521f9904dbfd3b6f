#include <algorithm>
#include <filesystem>

#include "tests/app/flow_fixture.h"

namespace {

namespace fs = std::filesystem;
using flow_testing::Exists;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

class TrawlTest : public flow_testing::FlowTest {
protected:
    TrawlTest() {
        root = (work.path() / "root").string();
        fs::create_directories(root);
        app->settings().DefaultDir = root;
    }
    std::string At(const std::string& relative) const {
        return (fs::path(root) / relative).string();
    }
    void Folder(const std::string& relative) { fs::create_directories(At(relative)); }
    void Options(bool textures, bool bmps, bool jpgs, bool fix, bool overwrite) {
        app::Settings& s = app->settings();
        s.DoTextures = textures;
        s.DoBMPs = bmps;
        s.DoJPGs = jpgs;
        s.FixUniformColour = fix;
        s.OverwriteTGAs = overwrite;
    }
    std::string Line(const std::string& key, const std::string& name) const {
        return " " + app->T(key) + ": " + name;
    }
    std::string ConvertingLine(const std::string& name) const {
        return " " + app->T("message Converting") + ": " + name + " " + app->T("message TGA");
    }
    std::string EndLine() const { return "  -- " + app->T("message Finished") + " --"; }
    bool Logged(const std::string& line) const {
        return std::find(host.allMemo.begin(), host.allMemo.end(), line) != host.allMemo.end();
    }
    // The log's lines after its header lines, and the number of headers.
    std::vector<std::string> LogLines(int* headers = nullptr) const {
        std::vector<std::string> lines;
        const std::string text = LogText();
        int count = 0;
        for (size_t pos = 0; pos < text.size();) {
            const size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) break;
            const std::string line = text.substr(pos, end - pos);
            if (line.rfind("----- Trawl Log ------- ", 0) == 0) {
                ++count;
            } else {
                lines.push_back(line);
            }
            pos = end + 2;
        }
        if (headers) *headers = count;
        return lines;
    }

    std::string root;
};

// A tree of every kind of file the trawl meets, with three top folders.
TEST_F(TrawlTest, WholeTreeConvertsReportsAndEnds) {
    Options(true, true, true, true, true);
    Folder("A");
    WriteBytes(At("A/wagon.texture"), flow_testing::MakeTextureOf(8, 8, false));
    WriteBytes(At("A/pic.bmp"), flow_testing::MakeBmp(16, 16, false));
    flow_testing::WriteJpeg(At("A/photo.jpg"), 16, 16, false);
    WriteBytes(At("A/flat.tga"), flow_testing::MakeTgaOf(4, 4, true));
    Folder("B");
    WriteBytes(At("B/odd.bmp"), flow_testing::MakeBmp(100, 100, false));
    WriteBytes(At("B/plain.bmp"), flow_testing::MakeBmp(8, 8, true));
    WriteBytes(At("B/broken.texture"), {'J', 'I', 'R', 'F'});
    std::string deep = "C";
    for (int depth = 2; depth <= 26; ++depth) deep += "/L" + std::to_string(depth);
    Folder(deep);  // C is at depth 1, L25 at depth 25, L26 below the limit
    const std::string level25 = deep.substr(0, deep.rfind('/'));
    WriteBytes(At(level25 + "/deep.texture"), flow_testing::MakeTextureOf(4, 4, false));
    WriteBytes(At(level25 + "/zz.texture"), flow_testing::MakeTextureOf(4, 4, false));
    WriteBytes(At(deep + "/deeper.texture"), flow_testing::MakeTextureOf(4, 4, false));
    const auto flatBefore = ReadBytes(At("A/flat.tga"));
    const auto plainBefore = ReadBytes(At("B/plain.bmp"));

    app->StartClick();
    EXPECT_TRUE(host.trawlButtonsShown);
    EXPECT_EQ(app->TopFolderCount, 3);
    EXPECT_GT(RunTrawl(), 0);
    EXPECT_FALSE(app->TrawlActive);

    // Conversions beside their sources.
    for (const char* written :
         {"A/wagon.tga", "A/wagon.texture.txt", "A/pic.tga", "A/photo.tga", "B/plain.tga"})
        EXPECT_TRUE(Exists(At(written))) << written;
    EXPECT_FALSE(Exists(At("B/odd.tga")));
    EXPECT_FALSE(Exists(At("B/broken.tga")));
    EXPECT_TRUE(Exists(At(level25 + "/deep.tga")));
    EXPECT_TRUE(Exists(At(level25 + "/zz.tga")));  // examined after the folder it does not enter
    EXPECT_FALSE(Exists(At(deep + "/deeper.tga")));
    // Uniform sources repaired in place in their own format.
    EXPECT_NE(ReadBytes(At("A/flat.tga")), flatBefore);
    EXPECT_EQ(ReadBytes(At("A/flat.tga")).size(), flatBefore.size());
    EXPECT_NE(ReadBytes(At("B/plain.bmp")), plainBefore);

    // The lines, as tabled.
    EXPECT_EQ(host.allMemo.front(), " root");
    auto follows = [&](const std::vector<std::string>& run) {
        return std::search(host.allMemo.begin(), host.allMemo.end(), run.begin(), run.end()) !=
               host.allMemo.end();
    };
    EXPECT_TRUE(follows({"", "searching A", "", Line("message FixedColour", "flat.tga"), "",
                         ConvertingLine("photo.jpg"), "", ConvertingLine("pic.bmp"), "",
                         ConvertingLine("wagon.texture"), "", "searching B"}));
    EXPECT_TRUE(follows({"", ConvertingLine("odd.bmp"), Line("message InvalidSize", "odd.bmp")}));
    // plain.bmp: repaired before its TGA is written, and again as the source.
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(),
                         Line("message FixedColour", "plain.bmp")),
              2);
    EXPECT_TRUE(follows({"", "searching L25"}));
    EXPECT_FALSE(Logged("searching L26"));
    EXPECT_TRUE(std::any_of(host.allMemo.begin(), host.allMemo.end(), [](const std::string& l) {
        return l.find("broken.texture") != std::string::npos;
    }));
    EXPECT_EQ(host.allMemo.back(), EndLine());

    // Progress by top folder, then the plain title again.
    const std::string percent = app->T("message Percent");
    EXPECT_EQ(host.titles, (std::vector<std::string>{"33" + percent, "66" + percent,
                                                     "100" + percent, "Skeinpress"}));

    // The end: every line in the log, closed 200 ms later.
    EXPECT_EQ(LogLines(), host.allMemo);
    EXPECT_FALSE(host.Active(app::TimerId::TrawlFast) || host.Active(app::TimerId::TrawlSlow));
    EXPECT_EQ(host.Interval(app::TimerId::CloseLog), 200);
    EXPECT_TRUE(app->LogOpen);
    EXPECT_TRUE(host.Fire(app::TimerId::CloseLog));
    EXPECT_FALSE(app->LogOpen);
    EXPECT_FALSE(host.Active(app::TimerId::CloseWindow));  // CloseOnDone is off
}

TEST_F(TrawlTest, OptionOffAndBadSizeLines) {
    Options(true, false, false, false, true);
    WriteBytes(At("a.texture"), flow_testing::MakeTextureOf(4, 4, false));
    WriteBytes(At("b.bmp"), flow_testing::MakeBmp(8, 8, false));
    WriteBytes(At("c.tga"), flow_testing::MakeTgaOf(4, 4, true));
    app->StartClick();
    RunTrawl();
    EXPECT_EQ(host.allMemo,
              (std::vector<std::string>{" root", "", ConvertingLine("a.texture"),
                                        Line("message ConvertNone", "b.bmp"), EndLine()}));
    EXPECT_TRUE(Exists(At("a.tga")));
    EXPECT_FALSE(Exists(At("b.tga")) || Exists(At("c1.tga")));

    // A bitmap of unusable size is reported and not converted; JPEGs likewise.
    Options(true, true, true, false, true);
    fs::remove(At("a.texture"));
    WriteBytes(At("b.bmp"), flow_testing::MakeBmp(100, 100, false));
    flow_testing::WriteJpeg(At("d.jpg"), 64, 4, false);  // sides further apart than 8:1
    host.allMemo.clear();
    app->StartClick();
    RunTrawl();
    EXPECT_EQ(host.allMemo,
              (std::vector<std::string>{
                  " root", "", ConvertingLine("b.bmp"), Line("message InvalidSize", "b.bmp"), "",
                  ConvertingLine("d.jpg"), Line("message InvalidSize", "d.jpg"), EndLine()}));
    EXPECT_FALSE(Exists(At("b.tga")) || Exists(At("d.tga")));
}

TEST_F(TrawlTest, StopAndResumeConvertsTheFolderAgain) {
    Options(true, false, false, false, false);
    for (const char* name : {"p.texture", "q.texture", "r.texture"})
        WriteBytes(At(name), flow_testing::MakeTextureOf(4, 4, false));
    app->StartClick();
    while (!Exists(At("q.tga")) && app->TrawlActive) Step(1);
    app->bStopClick();
    EXPECT_TRUE(app->TrawlActive && app->TrawlStopped);
    EXPECT_FALSE(host.Active(app::TimerId::TrawlFast) || host.Active(app::TimerId::TrawlSlow));
    EXPECT_TRUE(app->LogOpen);
    const std::vector<std::string> beforeStop = host.memo;
    EXPECT_EQ(RunTrawl(), 0);  // nothing runs while stopped

    app->StartClick();  // Resume
    EXPECT_EQ(host.memo, std::vector<std::string>{" root"});
    RunTrawl();
    EXPECT_TRUE(Exists(At("p1.tga")));
    EXPECT_TRUE(Exists(At("q1.tga")));
    EXPECT_TRUE(Exists(At("r.tga")));
    EXPECT_FALSE(Exists(At("r1.tga")));

    // The lines of before the stop reached the log, once, under one header.
    int headers = 0;
    const std::vector<std::string> logged = LogLines(&headers);
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(logged, host.allMemo);
    ASSERT_GE(logged.size(), beforeStop.size());
    EXPECT_TRUE(std::equal(beforeStop.begin(), beforeStop.end(), logged.begin()));
}

TEST_F(TrawlTest, MemoIsFlushedToTheLogPastOneHundredLines) {
    Options(true, false, false, false, true);
    // Bitmaps with their option off are only named, never read.
    for (int i = 0; i < 250; ++i) WriteBytes(At("n" + std::to_string(1000 + i) + ".bmp"), {0});
    app->StartClick();
    RunTrawl();
    ASSERT_EQ(host.allMemo.size(), 252u);
    EXPECT_LE(host.memo.size(), 101u);  // cleared whenever it passed 100 lines
    EXPECT_EQ(host.memo.back(), EndLine());
    EXPECT_EQ(host.memo.size(), 252u % 101u);
    EXPECT_EQ(LogLines(), host.allMemo);

    // A second trawl appends under its own header.
    host.allMemo.clear();
    host.Fire(app::TimerId::CloseLog);
    app->StartClick();
    RunTrawl();
    int headers = 0;
    const std::vector<std::string> logged = LogLines(&headers);
    EXPECT_EQ(headers, 2);
    EXPECT_EQ(logged.size(), 2 * host.allMemo.size());
}

TEST_F(TrawlTest, StartWithoutFolderAndWithoutSubfolders) {
    app->settings().DefaultDir = work.File("nowhere");
    app->StartClick();
    EXPECT_EQ(host.memo, std::vector<std::string>{" " + app->T("message StartFolder")});
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(app->TrawlActive || app->LogOpen);
    EXPECT_FALSE(Exists(app->LogFilePath()));

    // Files only: no percentage in the title; a trailing separator gives an
    // empty start line.
    Options(true, false, false, true, true);
    WriteBytes(At("one.tga"), flow_testing::MakeTgaOf(4, 4, false));
    app->settings().DefaultDir = root + "/";
    app->StartClick();
    EXPECT_EQ(host.memo.front(), " ");
    RunTrawl();
    EXPECT_EQ(app->TopFolderCount, 0);
    EXPECT_EQ(host.titles, std::vector<std::string>{"Skeinpress"});
}

TEST_F(TrawlTest, DepthLimitLinksAndStepTimers) {
    Options(true, false, false, true, true);
    app->settings().TrawlSpeed = 70;
    std::string chain = "L1";
    for (int depth = 2; depth <= 26; ++depth) chain += "/L" + std::to_string(depth);
    Folder(chain);
    const std::string level25 = chain.substr(0, chain.rfind('/'));
    WriteBytes(At(level25 + "/in25.tga"), flow_testing::MakeTgaOf(2, 2, true));
    WriteBytes(At(level25 + "/zz.tga"), flow_testing::MakeTgaOf(2, 2, true));
    WriteBytes(At(chain + "/in26.tga"), flow_testing::MakeTgaOf(2, 2, true));
    // A link back up the tree is not walked again.
    std::error_code ec;
    fs::create_directory_symlink(root, At("L1/loop"), ec);
    ASSERT_FALSE(ec);

    app->StartClick();
    EXPECT_EQ(app->TopFolderCount, 1);
    EXPECT_EQ(host.Interval(app::TimerId::TrawlSlow), 70);
    // Name-only steps are fast, steps that read an image slow.
    bool sawFast = false, sawSlow = false;
    while (app->TrawlActive) {
        sawFast |= host.Active(app::TimerId::TrawlFast);
        if (host.Active(app::TimerId::TrawlSlow) && app->StepConverted) sawSlow = true;
        ASSERT_FALSE(host.Active(app::TimerId::TrawlFast) && host.Active(app::TimerId::TrawlSlow));
        ASSERT_GT(host.RunTimers({app::TimerId::TrawlFast, app::TimerId::TrawlSlow}, 1), 0);
    }
    EXPECT_TRUE(sawFast && sawSlow);
    EXPECT_EQ(host.Interval(app::TimerId::TrawlFast), 10);
    EXPECT_TRUE(Logged(" " + app->T("message FixedColour") + ": in25.tga"));
    EXPECT_TRUE(Logged(" " + app->T("message FixedColour") + ": zz.tga"));
    EXPECT_FALSE(Logged(" " + app->T("message FixedColour") + ": in26.tga"));
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(), "searching L1"), 1);
    EXPECT_EQ(app->TrawlDepth, 0);

    // CloseOnDone closes the window half a second after the end.
    app->settings().CloseOnDone = true;
    host.StartTimer(app::TimerId::OpenDelayed, 100);
    app->StartClick();
    RunTrawl();
    EXPECT_EQ(host.Interval(app::TimerId::CloseWindow), 500);
    EXPECT_TRUE(host.Active(app::TimerId::CloseWindow));
    EXPECT_FALSE(host.Active(app::TimerId::OpenDelayed));
}

}  // namespace
