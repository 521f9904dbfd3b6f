#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using app::Application;
using testing_support::FakeHost;
using testing_support::ReadText;
using testing_support::TempDir;
using testing_support::WriteBytes;

const char* kBatch =
    "@echo off\r\n\"/opt/skeinpress/bin/skeinpress\" -trawl -close -fixcolour %1%\r\n";

struct OpenWithTest : ::testing::Test {
    TempDir drive;  // stands for the C: drive
    FakeHost host;
    Application app{host};

    OpenWithTest() {
        app.FormCreate(drive.File("home"), "/opt/skeinpress/bin/skeinpress");
        app.OpenWithDriveRoot = drive.path().string();
        std::vector<std::string> lines;
        for (const char* edition : {"2009", "2010", "12"}) {
            for (char letter : std::string("abcde")) {
                const std::string key = std::string("message Locate") + edition + letter;
                lines.push_back(key + "|" + edition + letter);
            }
        }
        lines.push_back("message Failed|failed");
        lines.push_back("message MacrosRemoved|removed");
        app.language().SetLines(lines);
    }
    // An install folder below the drive with the simulator's tools folder.
    std::string Install(const std::string& below) {
        const fs::path tools = drive.path() / below / "bin" / "CMPData" / "Tools";
        fs::create_directories(tools);
        return (drive.path() / below).string();
    }
    static std::string BatchOf(const std::string& install) {
        return install + "/bin/CMPData/Tools/OpenWith/Skeinpress.bat";
    }
};

TEST_F(OpenWithTest, FindsTheLastTs12CandidateAndAsksForTheOthers) {
    const std::string ts12 = Install("Program Files (x86)/N3V Games/TS12");
    host.memo = {"earlier"};
    app.SetOpenWith();  // both pickers cancelled
    EXPECT_EQ(host.memo, (std::vector<std::string>{" 2009a", " 2009b", " 2009c", "", "", " 2010a",
                                                   " 2010b", " 2010c", " 12e"}));
    EXPECT_EQ(host.folderPickCaptions, (std::vector<std::string>{"2009d\r2009c", "2010d\r2010c"}));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS2010Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);
    EXPECT_EQ(ReadText(BatchOf(ts12)), kBatch);
    EXPECT_TRUE(host.messages.empty());

    // Nothing left empty: a second set-up changes nothing, as at the next start.
    host.memo.clear();
    host.handlers[app::TimerId::OpenWithSetup] = [&] { app.Timer7Timer(); };
    host.StartTimer(app::TimerId::OpenWithSetup, 1000);
    host.Fire(app::TimerId::OpenWithSetup);
    EXPECT_TRUE(host.memo.empty());
    EXPECT_EQ(host.folderPickCaptions.size(), 2u);
}

TEST_F(OpenWithTest, ChosenFoldersExistingOpenWithFolderAndFailures) {
    const std::string chosen2009 = Install("Games/Trainz 2009");
    fs::create_directories(BatchOf(chosen2009).substr(0, BatchOf(chosen2009).size() - 15));
    WriteBytes(BatchOf(chosen2009), {'o', 'l', 'd'});
    const std::string noTools = (drive.path() / "Elsewhere").string();
    fs::create_directories(noTools);
    // TS12 found, but its "OpenWith" is a file: nothing can be written there.
    const std::string ts12 = Install("Program Files/Auran/TS12");
    WriteBytes(ts12 + "/bin/CMPData/Tools/OpenWith", {1});

    host.folderPicks = {chosen2009, noTools};
    app.OpenWith1Click();
    EXPECT_EQ(app.settings().TS2009Dir, chosen2009);
    EXPECT_EQ(ReadText(BatchOf(chosen2009)), kBatch);  // replaced
    EXPECT_EQ(app.settings().TS2010Dir, "NotFound");   // silently: no tools folder there
    EXPECT_EQ(app.settings().TS12Dir, ts12);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Could not create file \"Skeinpress.bat\""});
    EXPECT_EQ(host.memo.back(), " failed");
    EXPECT_EQ(std::count(host.memo.begin(), host.memo.end(), " 2009e"), 1);

    // OpenWith looks again at editions given up before.
    const std::string ts2010 = Install("Program Files (x86)/Auran/TS2010");
    host.memo.clear();
    app.OpenWith1Click();
    EXPECT_EQ(app.settings().TS2010Dir, ts2010);
    EXPECT_EQ(ReadText(BatchOf(ts2010)), kBatch);
}

TEST_F(OpenWithTest, RemovalSummary) {
    app::Settings& s = app.settings();
    s.TS2009Dir = Install("A");
    s.TS2010Dir = Install("B");
    s.TS12Dir = Install("C");
    app.RemoveOpenWith1Click();
    EXPECT_EQ(host.memo, std::vector<std::string>{"   No removed"});
    EXPECT_EQ(s.TS2010Dir, drive.File("B"));

    for (const std::string& install : {s.TS2009Dir, s.TS12Dir}) {
        fs::create_directories(install + "/bin/CMPData/Tools/OpenWith");
        ASSERT_TRUE(app.WriteOpenWithBatch(BatchOf(install)));
    }
    const std::string ts2009 = s.TS2009Dir, ts12 = s.TS12Dir;
    host.memo = {"earlier"};
    app.RemoveOpenWith1Click();
    EXPECT_EQ(host.memo, std::vector<std::string>{"   TS2009 TS12 removed"});
    EXPECT_FALSE(fs::exists(BatchOf(ts2009)));
    EXPECT_FALSE(fs::exists(BatchOf(ts12)));
    EXPECT_EQ(s.TS2009Dir, "NotFound");
    EXPECT_EQ(s.TS12Dir, "NotFound");
    EXPECT_EQ(s.TS2010Dir, drive.File("B"));
}

}  // namespace
