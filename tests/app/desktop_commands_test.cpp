#include "app/mem_ini.h"
#include "tests/app/flow_fixture.h"

namespace {

using flow_testing::Exists;
using testing_support::WriteImage;

class DesktopCommandsTest : public flow_testing::FlowTest {
protected:
    std::string Image(const std::string& name) {
        WriteImage(work.File(name), 2, 2, false);
        return work.File(name);
    }
};

TEST_F(DesktopCommandsTest, RecentFilesNewestFirstAtMostEightAndKeptInTheirOwnSection) {
    std::vector<std::string> opened;
    for (int i = 0; i < 9; ++i) {
        opened.push_back(Image("r" + std::to_string(i) + ".tga"));
        app->OpenFile(opened.back());
    }
    auto& recent = app->settings().RecentFiles;
    EXPECT_EQ(recent, std::vector<std::string>(opened.rbegin(), opened.rbegin() + 8));
    app->OpenFile(opened[3]);  // opened again: first
    EXPECT_EQ(recent.front(), opened[3]);
    EXPECT_EQ(recent.size(), 8u);

    // A file that fails to load is not listed; one no longer there leaves the list.
    testing_support::WriteBytes(work.File("broken.tga"), {1, 2, 3});
    app->OpenFile(work.File("broken.tga"));
    EXPECT_EQ(recent.front(), opened[3]);
    std::filesystem::remove(opened[8]);
    app->OpenFile(opened[8]);
    EXPECT_EQ(std::count(recent.begin(), recent.end(), opened[8]), 0);
    EXPECT_EQ(host.messages.back(), "Could not find \"" + opened[8] + "\".");

    // The last file keeps its own key; the list is read back by the next start.
    app->OpenFile(opened[5]);
    const std::vector<std::string> kept = recent;
    ASSERT_TRUE(app->SaveConfig());
    app::TMemIni ini(app->SettingsFilePath());
    EXPECT_EQ(ini.ReadString("MRU", "lastfile", ""), "r5.tga");
    EXPECT_EQ(ini.ReadString("Recent", "File1", ""), opened[5]);
    flow_testing::RecordingHost otherHost;
    app::Application next(otherHost);
    next.FormCreate(home.path().string() + "/", home.File("skeinpress"));
    EXPECT_EQ(next.settings().RecentFiles, kept);
}

TEST_F(DesktopCommandsTest, DroppedFolderIsTrawledWhenTheUserAgreesAndAStoppedTrawlGivesWay) {
    std::filesystem::create_directories(work.path() / "one");
    std::filesystem::create_directories(work.path() / "two");
    WriteImage(work.File("one/a.texture"), 4, 4, false);
    WriteImage(work.File("two/b.texture"), 4, 4, false);

    app->OpenDropped(work.File("one"));  // answered No
    EXPECT_EQ(host.confirmations.size(), 1u);
    EXPECT_FALSE(app->TrawlActive);

    host.answers = {app::Answer::Yes};
    app->OpenDropped(work.File("one"));
    EXPECT_TRUE(app->TrawlActive);
    EXPECT_FALSE(app->TrawlFolder(work.File("two")));  // one trawl at a time
    EXPECT_EQ(host.messages.size(), 1u);

    app->bStopClick();
    EXPECT_EQ(host.titles.back(), "Skeinpress (stopped)");
    EXPECT_TRUE(app->TrawlFolder(work.File("two")));
    Step();
    EXPECT_TRUE(Exists(work.File("two/b.tga")));
    EXPECT_FALSE(Exists(work.File("one/a.tga")));
    EXPECT_NE(LogText().find("one"), std::string::npos);  // the given-up trawl's lines
    EXPECT_EQ(host.titles.back(), "Skeinpress");
}

}  // namespace
