#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

namespace {

using app::TimerId;
using testing_support::WriteBytes;

// Records each job with the settings it saw when it started.
struct FakeJobs : app::CommandLineJobs {
    explicit FakeJobs(app::Application& a) : app(a) {}
    app::Application& app;
    std::string call;
    app::Settings seen;
    bool normalMapSeen = false;
    void StartTrawl() override {
        call = "trawl";
        seen = app.settings();
        app.settings().CloseOnDone = false;  // as if the trawl ended at once
    }
    void OpenAndSave() override {
        call = "save";
        seen = app.settings();
        normalMapSeen = app.NormalMapRequest;
    }
    void SaveAs() override { call = "saveas"; }
};

// A fresh program per command line: a folder, a texture and a missing path.
struct Rig {
    testing_support::TempDir dir;
    testing_support::FakeHost host;
    app::Application app{host};
    FakeJobs jobs{app};
    Rig() {
        app.language().SetLines({"message LaunchParam|LP", "message Type|TYPE",
                                 "message Exiting|EXIT", "message NoFolder|NOFOLDER"});
        std::filesystem::create_directory(dir.File("assets"));
        WriteBytes(dir.File("wagon.texture"), {1});
    }
    std::string Path(const std::string& arg) const {
        if (arg == "DIR") return dir.File("assets");
        if (arg == "FILE") return dir.File("wagon.texture");
        return arg == "NONE" ? dir.File("nothing-here") : arg;
    }
    void Run(std::vector<std::string> args) {
        for (std::string& arg : args) arg = Path(arg);
        app::RunCommandLine(app, args, jobs);
    }
};

TEST(CommandLineTest, EverySwitchCombination) {
    // seen: settings true when the job started (B DoBMPs, X DoTextures, C CloseOnDone,
    // F FixUniformColour, N normal map); before each run BMPs on, the other four off.
    struct Row {
        std::vector<std::string> args;
        std::string job, memo, seen;
        int sleep;
        bool closes;
    } rows[] = {
        {{}, "", "", "", 0, false},
        {{"-trawl", "-close", "-fixcolour", "DIR", "extra"}, "", "", "", 0, false},
        {{"-Trawl", "DIR"}, "trawl", "", "B", 0, false},
        {{"-trawl", "NONE"}, "", "LP", "", 0, false},
        {{"-trawl", "FILE"}, "", "LP", "", 0, false},
        {{"-open", "FILE"}, "", "LP", "", 0, false},
        {{"-close", "NONE"}, "", "LP", "", 0, false},
        {{"-normalmap", "DIR"}, "", "LP", "", 0, false},
        {{"-NORMALMAP", "FILE"}, "save", "", "BN", 500, false},
        {{"-close", "FILE"}, "save", "", "BX", 500, true},
        {{"-Close", "-TRAWL", "DIR"}, "trawl", "", "XC", 500, false},
        {{"-trawl", "-FixColour", "DIR"}, "trawl", "", "XF", 500, false},
        {{"-normalmap", "-close", "FILE"}, "save", "", "BN", 500, true},
        {{"-trawl", "-close", "NONE"}, "", "NOFOLDER", "", 0, false},
        {{"-fixcolour", "-trawl", "NONE"}, "", "NOFOLDER", "", 0, false},
        {{"-close", "-normalmap", "NONE"}, "", "LP", "", 0, false},
        {{"-trawl", "-normalmap", "DIR"}, "", "LP", "", 0, false},
        {{"-trawl", "-trawl", "DIR"}, "", "LP", "", 0, false},
        {{"-FixColour", "-TRAWL", "-Close", "DIR"}, "trawl", "", "XCF", 500, false},
        {{"-trawl", "-close", "-fixcolour", "NONE"}, "", "NOFOLDER", "", 0, false},
        {{"-trawl", "-close", "-close", "DIR"}, "", "LP", "", 0, false},
        {{"-trawl", "-close", "DIR", "-fixcolour"}, "", "LP", "", 0, false},
    };
    for (const Row& row : rows) {
        Rig rig;
        app::Settings& s = rig.app.settings();
        s.DoBMPs = true;
        s.DoJPGs = s.DoTextures = s.CloseOnDone = s.FixUniformColour = false;
        rig.Run(row.args);
        SCOPED_TRACE(::testing::PrintToString(row.args));
        const std::vector<std::string> memo{"  " + row.memo};
        EXPECT_EQ(rig.jobs.call, row.job);
        EXPECT_EQ(rig.host.memo, row.memo.empty() ? std::vector<std::string>{} : memo);
        EXPECT_EQ(rig.host.sleeps, row.sleep ? std::vector<int>{row.sleep} : std::vector<int>{});
        EXPECT_EQ(rig.host.Active(TimerId::CloseWindow), row.closes);
        if (row.job.empty()) continue;
        const app::Settings& seen = rig.jobs.seen;
        const auto has = [&](char flag) { return row.seen.find(flag) != std::string::npos; };
        EXPECT_EQ(seen.DoBMPs, has('B'));
        EXPECT_EQ(seen.DoTextures, has('X'));
        EXPECT_EQ(seen.CloseOnDone, has('C'));
        EXPECT_EQ(seen.FixUniformColour, has('F'));
        EXPECT_EQ(rig.jobs.normalMapSeen, has('N'));
        if (row.job == "trawl") {
            EXPECT_EQ(seen.DefaultDir, rig.Path("DIR"));
            EXPECT_EQ(s.CloseOnDone, has('C'));  // set again after the trawl started
        } else {
            EXPECT_EQ(seen.CurrentFile, rig.Path("FILE"));
        }
    }
}

TEST(CommandLineTest, OneFileAndNoFileTypeChosen) {
    Rig rig;
    WriteBytes(rig.dir.File("SKY.TGA"), {1});
    WriteBytes(rig.dir.File("pic.png"), {1});
    rig.app.settings().CurrentFile = "before";
    rig.Run({rig.dir.File("pic.png")});  // not a type the program reads
    EXPECT_EQ(rig.app.settings().CurrentFile, "before");
    EXPECT_TRUE(rig.host.timers.empty());
    rig.Run({rig.dir.File("SKY.TGA")});
    EXPECT_EQ(rig.app.settings().CurrentFile, rig.dir.File("SKY.TGA"));
    EXPECT_EQ(rig.host.Interval(TimerId::OpenDelayed), 100);
    rig.host.timers.clear();
    rig.Run({rig.dir.File("gone.tga")});
    EXPECT_EQ(rig.host.memo, std::vector<std::string>{"  LP: gone.tga"});
    EXPECT_FALSE(rig.host.Active(TimerId::OpenDelayed));

    // No file type chosen: say so and close 1.5 s later. FormShow clears the memo first.
    rig.app.settings().DoTextures = false;
    rig.app.UseJobs(&rig.jobs);
    rig.app.FormShow({"-trawl", rig.Path("DIR")});
    EXPECT_TRUE(rig.jobs.call.empty());
    EXPECT_EQ(rig.host.memo, (std::vector<std::string>{"  TYPE", "  EXIT"}));
    EXPECT_EQ(rig.host.sleeps, std::vector<int>{1000});
    EXPECT_EQ(rig.host.Interval(TimerId::CloseWindow), 500);
}

}  // namespace
