#include <algorithm>
#include <filesystem>
#include <tuple>

#include "tests/app/flow_fixture.h"

namespace {

namespace fs = std::filesystem;
using flow_testing::Exists;
using testing_support::ReadBytes;
using testing_support::WriteImage;

class TrawlTest : public flow_testing::FlowTest {
protected:
    TrawlTest() : root((work.path() / "root").string()) {
        fs::create_directories(root);
        app->settings().DefaultDir = root;
    }
    std::string At(const std::string& relative) const {
        return (fs::path(root) / relative).string();
    }
    void Options(bool textures, bool bmps, bool jpgs, bool fix, bool overwrite) {
        app::Settings& s = app->settings();
        std::tie(s.DoTextures, s.DoBMPs, s.DoJPGs, s.FixUniformColour, s.OverwriteTGAs) =
            std::tie(textures, bmps, jpgs, fix, overwrite);
    }
    std::string EndLine() const { return "  -- " + app->T("message Finished") + " --"; }
    bool Memo(const std::vector<std::string>& run) const {
        return std::search(host.allMemo.begin(), host.allMemo.end(), run.begin(), run.end()) !=
               host.allMemo.end();
    }
    // The log's lines apart from its headers, which are counted.
    std::vector<std::string> LogLines(int& headers) const {
        std::vector<std::string> lines;
        const std::string text = LogText();
        headers = 0;
        for (size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos;
             pos = end + 2) {
            const std::string line = text.substr(pos, end - pos);
            if (line.rfind("----- Trawl Log ------- ", 0) == 0) {
                ++headers;
            } else {
                lines.push_back(line);
            }
        }
        return lines;
    }

    std::string root;
};

TEST_F(TrawlTest, WholeTreeConvertsReportsAndEnds) {
    Options(true, true, true, true, true);
    fs::create_directories(At("A"));
    WriteImage(At("A/wagon.texture"), 8, 8, false);
    WriteImage(At("A/pic.bmp"), 16, 16, false);
    WriteImage(At("A/photo.jpg"), 16, 16, false);
    WriteImage(At("A/flat.tga"), 4, 4, true);
    fs::create_directories(At("B"));
    WriteImage(At("B/odd.bmp"), 100, 100, false);
    WriteImage(At("B/plain.bmp"), 8, 8, true);
    std::string deep = "C";  // C at depth 1 ... L25 at depth 25, L26 beyond the limit
    for (int depth = 2; depth <= 26; ++depth) deep += "/L" + std::to_string(depth);
    fs::create_directories(At(deep));
    const std::string level25 = deep.substr(0, deep.rfind('/'));
    for (const std::string& name :
         {level25 + "/deep.texture", level25 + "/zz.texture", deep + "/no.texture"})
        WriteImage(At(name), 4, 4, false);
    const auto flat = ReadBytes(At("A/flat.tga")), plain = ReadBytes(At("B/plain.bmp"));

    app->StartClick();
    EXPECT_TRUE(host.trawlButtonsShown);
    Step();
    EXPECT_FALSE(app->TrawlActive);

    for (const std::string& name :
         std::vector<std::string>{"A/wagon.tga", "A/wagon.texture.txt", "A/pic.tga", "A/photo.tga",
                                  "B/plain.tga", level25 + "/deep.tga", level25 + "/zz.tga"})
        EXPECT_TRUE(Exists(At(name))) << name;
    EXPECT_FALSE(Exists(At("B/odd.tga")) || Exists(At(deep + "/no.tga")));
    // Uniform sources are repaired in place, in their own format.
    EXPECT_NE(ReadBytes(At("A/flat.tga")), flat);
    EXPECT_NE(ReadBytes(At("B/plain.bmp")), plain);

    EXPECT_EQ(host.allMemo.front(), " root");
    EXPECT_TRUE(Memo({"", "searching A", "", Line("message FixedColour", "flat.tga"), "",
                      Converting("photo.jpg"), "", Converting("pic.bmp"), "",
                      Converting("wagon.texture"), "", "searching B", "", Converting("odd.bmp"),
                      Line("message InvalidSize", "odd.bmp")}));
    // plain.bmp: repaired before its TGA is written, and again as the source.
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(),
                         Line("message FixedColour", "plain.bmp")),
              2);
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
    EXPECT_FALSE(host.Active(app::TimerId::TrawlFast) || host.Active(app::TimerId::TrawlSlow));
    EXPECT_EQ(host.Interval(app::TimerId::CloseLog), 200);
    EXPECT_TRUE(host.Fire(app::TimerId::CloseLog));
    EXPECT_FALSE(app->LogOpen || host.Active(app::TimerId::CloseWindow));
}

TEST_F(TrawlTest, OptionOffAndBadSizeLines) {
    Options(true, false, false, false, true);
    WriteImage(At("a.texture"), 4, 4, false);
    WriteImage(At("b.bmp"), 8, 8, false);
    WriteImage(At("c.tga"), 4, 4, true);
    app->StartClick();
    Step();
    EXPECT_EQ(host.allMemo,
              (std::vector<std::string>{" root", "", Converting("a.texture"),
                                        Line("message ConvertNone", "b.bmp"), EndLine()}));
    EXPECT_TRUE(Exists(At("a.tga")));
    EXPECT_FALSE(Exists(At("b.tga")));

    Options(false, true, true, false, true);
    WriteImage(At("b.bmp"), 100, 100, false);
    WriteImage(At("d.jpg"), 64, 4, false);  // sides further apart than 8:1
    host.allMemo.clear();
    app->StartClick();
    Step();
    EXPECT_TRUE(Memo({"", Converting("b.bmp"), Line("message InvalidSize", "b.bmp"), "",
                      Converting("d.jpg"), Line("message InvalidSize", "d.jpg")}));
    EXPECT_FALSE(Exists(At("b.tga")) || Exists(At("d.tga")));
}

TEST_F(TrawlTest, StopAndResumeConvertsTheFolderAgain) {
    Options(true, false, false, false, false);
    for (const char* name : {"p.texture", "q.texture", "r.texture"})
        WriteImage(At(name), 4, 4, false);
    app->StartClick();
    while (!Exists(At("q.tga")) && app->TrawlActive) Step(1);
    app->bStopClick();
    EXPECT_TRUE(app->TrawlActive && app->TrawlStopped && app->LogOpen);
    EXPECT_EQ(Step(), 0);  // nothing runs while stopped
    const std::vector<std::string> beforeStop = host.memo;

    app->StartClick();  // Resume: the memo's lines go to the log first
    EXPECT_EQ(host.memo, std::vector<std::string>{" root"});
    Step();
    for (const char* name : {"p1.tga", "q1.tga", "r.tga"}) EXPECT_TRUE(Exists(At(name))) << name;
    EXPECT_FALSE(Exists(At("r1.tga")));
    int headers = 0;
    const std::vector<std::string> logged = LogLines(headers);
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(logged, host.allMemo);
    EXPECT_TRUE(std::equal(beforeStop.begin(), beforeStop.end(), logged.begin()));
}

TEST_F(TrawlTest, MemoIsFlushedPastOneHundredLinesAndTrawlsShareTheLog) {
    Options(true, false, false, false, true);
    // Bitmaps with their option off are named, never read: one line each.
    for (int i = 0; i < 250; ++i)
        testing_support::WriteBytes(At("n" + std::to_string(100 + i) + ".bmp"), {0});
    app->StartClick();
    Step();
    ASSERT_EQ(host.allMemo.size(), 252u);
    EXPECT_EQ(host.memo.size(), 252u % 101u);  // cleared whenever it passed 100 lines
    EXPECT_EQ(host.memo.back(), EndLine());
    int headers = 0;
    EXPECT_EQ(LogLines(headers), host.allMemo);

    host.Fire(app::TimerId::CloseLog);
    app->StartClick();
    Step();
    EXPECT_EQ(LogLines(headers).size(), 2 * 252u);
    EXPECT_EQ(headers, 2);
}

TEST_F(TrawlTest, StartFolderTopFoldersLinksAndTimers) {
    app->settings().DefaultDir = work.File("nowhere");
    app->StartClick();
    EXPECT_EQ(host.memo, std::vector<std::string>{" " + app->T("message StartFolder")});
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(app->TrawlActive || Exists(app->LogFilePath()));

    // No subfolders: no percentage. A link back up the tree is not entered.
    Options(true, false, false, true, true);
    app->settings().TrawlSpeed = 70;
    app->settings().CloseOnDone = true;
    app->settings().DefaultDir = root + "/";
    WriteImage(At("flat.tga"), 2, 2, true);
    fs::create_directory_symlink(root, At("loop"));
    host.StartTimer(app::TimerId::OpenDelayed, 100);
    app->StartClick();
    EXPECT_EQ(host.memo.front(), " ");  // the start folder's name after its separator
    EXPECT_EQ(app->TopFolderCount, 0);
    // Name-only steps come after 10 ms, steps that read an image after TrawlSpeed.
    std::vector<std::tuple<bool, bool, int>> armed;  // image work, slow timer, interval
    for (; app->TrawlActive; Step(1)) {
        const bool slow = host.Active(app::TimerId::TrawlSlow);
        ASSERT_NE(slow, host.Active(app::TimerId::TrawlFast));
        armed.emplace_back(app->StepConverted, slow,
                           host.Interval(slow ? app::TimerId::TrawlSlow : app::TimerId::TrawlFast));
    }
    EXPECT_NE(std::find(armed.begin(), armed.end(), std::make_tuple(true, true, 70)), armed.end());
    EXPECT_NE(std::find(armed.begin(), armed.end(), std::make_tuple(false, false, 10)),
              armed.end());
    EXPECT_EQ(std::count(host.allMemo.begin(), host.allMemo.end(),
                         Line("message FixedColour", "flat.tga")),
              1);
    EXPECT_EQ(host.titles, std::vector<std::string>{"Skeinpress"});
    // The end with CloseOnDone: the window closes 500 ms later; no delayed open.
    EXPECT_EQ(host.Interval(app::TimerId::CloseWindow), 500);
    EXPECT_TRUE(host.Active(app::TimerId::CloseWindow));
    EXPECT_FALSE(host.Active(app::TimerId::OpenDelayed));
}

}  // namespace
