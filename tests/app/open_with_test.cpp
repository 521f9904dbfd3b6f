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
using testing_support::ReadText;

const char* kBatch =
    "@echo off\r\n\"/opt/skeinpress/bin/skeinpress\" -trawl -close -fixcolour %1%\r\n";

struct OpenWithTest : ::testing::Test {
    testing_support::TempDir drive;  // stands for the C: drive
    testing_support::FakeHost host;
    app::Application app{host};

    OpenWithTest() {
        app.FormCreate(drive.File("home"), "/opt/skeinpress/bin/skeinpress");
        app.OpenWithDriveRoot = drive.path().string();
        std::vector<std::string> lines{"message Failed|failed", "message MacrosRemoved|removed"};
        for (const char* edition : {"2009", "2010", "12"})
            for (char letter : std::string("abcde"))
                lines.push_back(std::string("message Locate") + edition + letter + "|" + edition + letter);
        app.language().SetLines(lines);
    }
    // An install folder below the drive with the simulator's tools folder.
    std::string Install(const std::string& below) {
        fs::create_directories(drive.path() / below / "bin" / "CMPData" / "Tools");
        return (drive.path() / below).string();
    }
    static std::string BatchOf(const std::string& install) {
        return install + "/bin/CMPData/Tools/OpenWith/Skeinpress.bat";
    }
};

TEST_F(OpenWithTest, FindsTheLastTs12CandidateAndAsksForTheOthers) {
    const std::string ts12 = Install("Program Files (x86)/N3V Games/TS12");
    app.SetOpenWith();  // both pickers cancelled
    EXPECT_EQ(host.memo, (std::vector<std::string>{" 2009a", " 2009b", " 2009c", "", "", " 2010a",
                                                   " 2010b", " 2010c", " 12e"}));
    EXPECT_EQ(host.folderPickCaptions, (std::vector<std::string>{"2009d\r2009c", "2010d\r2010c"}));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);
    EXPECT_EQ(ReadText(BatchOf(ts12)), kBatch);

    // Nothing left empty: the set-up at the next start changes nothing.
    host.memo.clear();
    app.Timer7Timer();
    EXPECT_TRUE(host.memo.empty());
    EXPECT_EQ(host.folderPickCaptions.size(), 2u);
}

TEST_F(OpenWithTest, ChosenFoldersFailuresAndRemoval) {
    const std::string chosen2009 = Install("Games/Trainz 2009");
    const std::string noTools = (drive.path() / "Elsewhere").string();
    fs::create_directories(noTools);
    // TS12 found, but its "OpenWith" is a file: nothing can be written there.
    const std::string ts12 = Install("Program Files/Auran/TS12");
    testing_support::WriteBytes(ts12 + "/bin/CMPData/Tools/OpenWith", {1});
    host.folderPicks = {chosen2009, noTools};
    app.OpenWith1Click();
    EXPECT_EQ(app.settings().TS2009Dir, chosen2009);
    EXPECT_EQ(ReadText(BatchOf(chosen2009)), kBatch);
    EXPECT_EQ(app.settings().TS2010Dir, "NotFound");  // silently: no tools folder there
    EXPECT_EQ(host.messages, std::vector<std::string>{"Could not create file \"Skeinpress.bat\""});
    EXPECT_EQ(host.memo.back(), " failed");
    EXPECT_EQ(std::count(host.memo.begin(), host.memo.end(), " 2009e"), 1);

    // Removal names the editions whose batch file it deleted.
    host.memo = {"earlier"};
    app.RemoveOpenWith1Click();
    EXPECT_EQ(host.memo, std::vector<std::string>{"   TS2009 removed"});
    EXPECT_FALSE(fs::exists(BatchOf(chosen2009)));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);  // nothing of it removed: kept
    host.memo.clear();
    app.RemoveOpenWith1Click();
    EXPECT_EQ(host.memo, std::vector<std::string>{"   No removed"});
}

}  // namespace
