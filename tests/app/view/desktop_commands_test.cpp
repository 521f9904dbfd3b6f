#include "app/settings/mem_ini.h"
#include "tests/app/flow_fixture.h"

using namespace testing_support;

namespace {

using flow_testing::Exists;

using DesktopCommandsTest = flow_testing::FlowTest;

// The window's own test shows the order and the limit of eight.
TEST_F(DesktopCommandsTest, RecentFilesSkipFailuresAndAreKeptInTheirOwnSection) {
    for (const char* name : {"a.tga", "b.tga", "gone.tga"}) {
        WriteImage(work.File(name), 2, 2, false);
        app->view().OpenFile(work.File(name));
    }
    WriteBytes(work.File("broken.tga"), {1, 2, 3});
    app->view().OpenFile(work.File("broken.tga"));  // not listed
    std::filesystem::remove(work.File("gone.tga"));
    app->view().OpenFile(work.File("gone.tga"));  // reported, and leaves the list
    EXPECT_EQ(host.messages.back(), "Could not find \"" + work.File("gone.tga") + "\".");
    app->view().OpenFile(work.File("a.tga"));
    const std::vector<std::string> recent{work.File("a.tga"), work.File("b.tga")};
    EXPECT_EQ(app->settings().RecentFiles, recent);

    // The last file keeps its own key; the list is read back by the next start.
    ASSERT_TRUE(app->SaveSettings());
    EXPECT_EQ(app::TMemIni(app->files().SettingsFile()).ReadString("MRU", "lastfile", ""), "a.tga");
    FakeHost otherHost;
    app::Application next(otherHost);
    next.Start(home.path().string(), home.File("skeinpress"));
    EXPECT_EQ(next.settings().RecentFiles, recent);
}

// The window's own test drops a folder and trawls one from the menu.
TEST_F(DesktopCommandsTest, OneTrawlAtATimeAndAStoppedOneGivesWay) {
    for (const char* name : {"one/a.texture", "two/b.texture"})
        WriteImage(work.File(name), 4, 4, false);
    EXPECT_TRUE(app->trawl().TrawlFolder(work.File("one")));
    EXPECT_FALSE(app->trawl().TrawlFolder(work.File("two")));
    EXPECT_EQ(host.messages.size(), 1u);
    app->trawl().Stop();  // the title it shows: the window's test
    EXPECT_TRUE(app->trawl().TrawlFolder(work.File("two")));
    Step();
    EXPECT_TRUE(Exists(work.File("two/b.tga")) && !Exists(work.File("one/a.tga")));
    EXPECT_TRUE(Contains(LogText(), "one"));  // the given-up trawl's lines
}

// The program folder is the user's here; the build keeps its page beside the
// program, and a .chm in the program folder comes first.
TEST_F(DesktopCommandsTest, HelpIsFoundBesideTheProgramToo) {
    TempDir build;
    std::filesystem::create_directories(build.path() / "help");
    WriteBytes(build.File("help/index.html"), {'x'});
    app->Start(home.File(""), build.File("skeinpress"));
    app->ShowHelp("");
    WriteBytes(home.File("Skeinpress.chm"), {'x'});
    app->ShowHelp("");
    EXPECT_EQ(host.openedDocuments, (std::vector<std::string>{build.File("help/index.html"),
                                                              home.File("Skeinpress.chm")}));
}

// Next and previous go by the listing's order, among the files the program opens.
TEST_F(DesktopCommandsTest, NeighbourFilesFollowTheListingOrder) {
    for (const char* name : {"b.tga", "A.bmp", "c.txt", "d.texture", "e.tga/x.tga"})
        WriteImage(work.File(name), 2, 2, false);
    app->view().OpenFile(work.File("b.tga"));
    EXPECT_EQ(app->view().NeighbourFile(1), work.File("d.texture"));
    EXPECT_EQ(app->view().NeighbourFile(-1), work.File("A.bmp"));
    app->view().OpenNeighbour(1);
    EXPECT_EQ(app->view().NeighbourFile(1), "");  // the last: a beep, nothing opened
    app->view().OpenNeighbour(1);
    EXPECT_EQ(app->settings().CurrentFile, work.File("d.texture"));
}

}  // namespace
