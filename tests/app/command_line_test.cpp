#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

namespace {

using app::Application;
using app::TimerId;
using testing_support::FakeHost;
using testing_support::TempDir;
using testing_support::WriteBytes;

// Records each job with the settings it saw when it started.
struct FakeJobs : app::CommandLineJobs {
    explicit FakeJobs(Application& a) : app(a) {}
    Application& app;
    std::vector<std::string> calls;
    app::Settings seen;
    bool normalMapSeen = false;
    void StartTrawl() override {
        calls.push_back("trawl");
        seen = app.settings();
        app.settings().CloseOnDone = false;  // as if the trawl ended at once
    }
    void OpenAndSave() override {
        calls.push_back("openandsave");
        seen = app.settings();
        normalMapSeen = app.NormalMapRequest;
    }
    void SaveAs() override { calls.push_back("saveas"); }
};

struct CommandLineTest : ::testing::Test {
    TempDir dir;
    FakeHost host;
    Application app{host};
    FakeJobs jobs{app};
    std::string folder, texture, missing;

    CommandLineTest() {
        app.language().SetLines({"message LaunchParam|LP", "message Type|TYPE",
                                 "message Exiting|EXIT", "message NoFolder|NOFOLDER"});
        folder = dir.File("assets");
        std::filesystem::create_directory(folder);
        texture = dir.File("wagon.texture");
        WriteBytes(texture, {1});
        missing = dir.File("nothing-here");
    }
    void Run(const std::vector<std::string>& args) { app::RunCommandLine(app, args, jobs); }
    bool Idle() const {
        return jobs.calls.empty() && host.memo.empty() && host.sleeps.empty() &&
               host.timers.empty();
    }
};

TEST_F(CommandLineTest, NoArgumentsOrTooManyDoNothing) {
    Run({});
    Run({"-trawl", "-close", "-fixcolour", folder, "extra"});
    EXPECT_TRUE(Idle());
}

TEST_F(CommandLineTest, OneFileOpensReadableTypesOnly) {
    WriteBytes(dir.File("SKY.TGA"), {1});
    WriteBytes(dir.File("pic.png"), {1});
    WriteBytes(dir.File("pic.bmp"), {1});
    app.settings().CurrentFile = "before";
    Run({dir.File("pic.png")});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(app.settings().CurrentFile, "before");

    Run({dir.File("pic.bmp")});
    EXPECT_EQ(app.settings().CurrentFile, dir.File("pic.bmp"));
    EXPECT_TRUE(host.Active(TimerId::OpenDelayed));
    host.timers.clear();

    Run({dir.File("SKY.TGA")});
    EXPECT_EQ(app.settings().CurrentFile, dir.File("SKY.TGA"));
    EXPECT_TRUE(host.Active(TimerId::OpenDelayed));
    EXPECT_EQ(host.Interval(TimerId::OpenDelayed), 100);
    EXPECT_TRUE(host.memo.empty());

    host.timers.clear();
    Run({dir.File("gone.tga")});
    EXPECT_EQ(host.memo, std::vector<std::string>{"  LP: gone.tga"});
    EXPECT_EQ(app.settings().CurrentFile, dir.File("gone.tga"));
    EXPECT_FALSE(host.Active(TimerId::OpenDelayed));
    EXPECT_TRUE(jobs.calls.empty());
}

TEST_F(CommandLineTest, TrawlSwitchAlone) {
    Run({"-Trawl", folder});
    EXPECT_EQ(jobs.calls, std::vector<std::string>{"trawl"});
    EXPECT_EQ(jobs.seen.DefaultDir, folder);
    EXPECT_TRUE(host.sleeps.empty());

    // No file type chosen: say so and close 1.5 s later.
    jobs.calls.clear();
    app.settings().DoTextures = false;
    Run({"-trawl", folder});
    EXPECT_TRUE(jobs.calls.empty());
    EXPECT_EQ(host.memo, (std::vector<std::string>{"  TYPE", "  EXIT"}));
    EXPECT_EQ(host.sleeps, std::vector<int>{1000});
    EXPECT_EQ(host.Interval(TimerId::CloseWindow), 500);
    EXPECT_TRUE(host.Active(TimerId::CloseWindow));

    host.memo.clear();
    Run({"-trawl", missing});
    Run({"-trawl", texture});  // a file is not a folder
    Run({"-open", texture});
    Run({"-close", missing});
    Run({"-normalmap", folder});
    EXPECT_EQ(host.memo, std::vector<std::string>(5, "  LP"));
    EXPECT_TRUE(jobs.calls.empty());
}

TEST_F(CommandLineTest, NormalMapAndCloseSwitchesAlone) {
    Run({"-NORMALMAP", texture});
    EXPECT_EQ(jobs.calls, std::vector<std::string>{"openandsave"});
    EXPECT_EQ(jobs.seen.CurrentFile, texture);
    EXPECT_TRUE(jobs.normalMapSeen);
    EXPECT_EQ(host.sleeps, std::vector<int>{500});
    EXPECT_FALSE(host.Active(TimerId::CloseWindow));  // CloseOnDone is off

    app.settings().CloseOnDone = true;
    Run({"-normalmap", texture});
    EXPECT_TRUE(host.Active(TimerId::CloseWindow));

    host.timers.clear();
    app.NormalMapRequest = false;
    app.settings().DoTextures = false;
    Run({"-close", texture});
    EXPECT_EQ(jobs.calls.back(), "openandsave");
    EXPECT_TRUE(jobs.seen.DoTextures);
    EXPECT_FALSE(jobs.normalMapSeen);
    EXPECT_TRUE(host.Active(TimerId::CloseWindow));
    EXPECT_TRUE(host.memo.empty());
}

TEST_F(CommandLineTest, TwoSwitchesWithAFolderOrFile) {
    app::Settings& s = app.settings();
    s.DoBMPs = s.DoJPGs = true;
    s.FixUniformColour = true;
    Run({"-Close", "-TRAWL", folder});
    ASSERT_EQ(jobs.calls, std::vector<std::string>{"trawl"});
    EXPECT_FALSE(jobs.seen.DoBMPs);
    EXPECT_FALSE(jobs.seen.DoJPGs);
    EXPECT_TRUE(jobs.seen.DoTextures);
    EXPECT_EQ(jobs.seen.DefaultDir, folder);
    EXPECT_TRUE(jobs.seen.CloseOnDone);
    EXPECT_FALSE(jobs.seen.FixUniformColour);
    EXPECT_TRUE(s.CloseOnDone);        // set again after the trawl started
    EXPECT_FALSE(s.FixUniformColour);  // stays off: it is saved at exit
    EXPECT_EQ(host.sleeps, std::vector<int>{500});

    jobs.calls.clear();
    s.CloseOnDone = false;
    Run({"-trawl", "-FixColour", folder});
    ASSERT_EQ(jobs.calls, std::vector<std::string>{"trawl"});
    EXPECT_TRUE(jobs.seen.FixUniformColour);
    EXPECT_FALSE(jobs.seen.CloseOnDone);  // keeps its setting

    jobs.calls.clear();
    Run({"-normalmap", "-close", texture});
    EXPECT_EQ(jobs.calls, std::vector<std::string>{"openandsave"});
    EXPECT_TRUE(jobs.normalMapSeen);
    EXPECT_TRUE(host.Active(TimerId::CloseWindow));

    jobs.calls.clear();
    Run({"-trawl", "-close", missing});
    Run({"-fixcolour", "-trawl", missing});
    Run({"-close", "-normalmap", missing});
    Run({"-trawl", "-normalmap", folder});
    Run({"-trawl", "-trawl", folder});
    EXPECT_EQ(host.memo,
              (std::vector<std::string>{"  NOFOLDER", "  NOFOLDER", "  LP", "  LP", "  LP"}));
    EXPECT_TRUE(jobs.calls.empty());
}

TEST_F(CommandLineTest, ThreeSwitchesAsTheOpenWithBatchGivesThem) {
    app::Settings& s = app.settings();
    s.FixUniformColour = false;
    Run({"-FixColour", "-TRAWL", "-Close", folder});
    ASSERT_EQ(jobs.calls, std::vector<std::string>{"trawl"});
    EXPECT_TRUE(jobs.seen.CloseOnDone);
    EXPECT_TRUE(jobs.seen.FixUniformColour);
    EXPECT_TRUE(jobs.seen.DoTextures);
    EXPECT_FALSE(jobs.seen.DoBMPs || jobs.seen.DoJPGs);
    EXPECT_TRUE(s.CloseOnDone);
    EXPECT_EQ(host.sleeps, std::vector<int>{500});

    jobs.calls.clear();
    Run({"-trawl", "-close", "-fixcolour", missing});
    Run({"-trawl", "-close", "-close", folder});
    Run({"-trawl", "-close", folder, "-fixcolour"});
    EXPECT_EQ(host.memo, (std::vector<std::string>{"  NOFOLDER", "  LP", "  LP"}));
    EXPECT_TRUE(jobs.calls.empty());
}

TEST_F(CommandLineTest, FormShowClearsTheMemoAndRunsTheJobsGiven) {
    app.UseJobs(&jobs);
    host.memo = {"old line"};
    app.FormShow({"-trawl", folder});
    EXPECT_TRUE(host.memo.empty());
    EXPECT_EQ(jobs.calls, std::vector<std::string>{"trawl"});
}

}  // namespace
