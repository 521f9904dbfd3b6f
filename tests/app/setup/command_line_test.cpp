#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/setup/command_line.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

namespace {

using app::TimerId;
using testing_support::WriteBytes;

// Records each job with its target and the settings it saw when it started, as
// letters: B DoBMPs, X DoTextures, C CloseOnDone, F FixUniformColour, N normal map.
struct FakeJobs : app::CommandLineJobs {
    explicit FakeJobs(app::Application& a) : app(a) {}
    app::Application& app;
    std::string call, seen, target;
    void Record(const std::string& job, const std::string& path, bool normalMap = false) {
        const app::Settings& s = app.settings();
        call = job;
        target = path;
        seen = std::string(s.DoBMPs ? "B" : "") + (s.DoTextures ? "X" : "") +
               (s.CloseOnDone ? "C" : "") + (s.FixUniformColour ? "F" : "") +
               (normalMap ? "N" : "");
    }
    void StartTrawl() override { Record("trawl", app.settings().DefaultDir); }
    void ConvertCurrentFile(bool normalMap) override {
        Record("save", app.settings().CurrentFile, normalMap);
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
        WriteBytes(dir.File("sky.JPG"), {1});
        WriteBytes(dir.File("ballast.bmp"), {1});
        WriteBytes(dir.File("photo.jpeg"), {1});
        WriteBytes(dir.File("sign.png"), {1});
    }
    std::string Path(const std::string& arg) const {
        if (arg == "DIR") return dir.File("assets");
        if (arg == "FILE") return dir.File("wagon.texture");
        if (arg == "JPG" || arg == "BMP") return dir.File(arg == "JPG" ? "sky.JPG" : "ballast.bmp");
        if (arg == "JPEG" || arg == "PNG")
            return dir.File(arg == "PNG" ? "sign.png" : "photo.jpeg");
        return arg == "NONE" ? dir.File("nothing-here") : arg;
    }
    void Run(std::vector<std::string> args) {
        for (std::string& arg : args) arg = Path(arg);
        app::RunCommandLine(app, args, jobs);
    }
};

TEST(CommandLineTest, SwitchCombinationsAndOneFile) {
    // Before each run BMPs are on, textures, close, repair and JPEGs off.
    struct Row {
        std::vector<std::string> args;
        std::string job, memo, seen;
        bool closes, opens;
    } rows[] = {
        // An unattended job that does nothing closes all the same.
        {{"-trawl", "-close", "-fixcolour", "DIR", "extra"}, "", "", "", true, false},
        {{"FILE"}, "", "", "", false, true},
        {{"JPG"}, "", "", "", false, true},  // a bitmap or JPEG opens as a texture does
        {{"BMP"}, "", "", "", false, true},
        {{"JPEG"}, "", "", "", false, true},
        {{"PNG"}, "", "", "", false, true},
        {{"notes.txt"}, "", "File type not supported \"notes.txt\".", "", false, false},
        {{"gone.tga"}, "", "LP: gone.tga", "", false, false},
        {{"-Trawl", "DIR"}, "trawl", "", "B", false, false},
        {{"-trawl", "FILE"}, "", "LP", "", false, false},
        {{"-NORMALMAP", "FILE"}, "save", "", "BN", false, false},
        {{"-close", "FILE"}, "save", "", "BX", true, false},
        {{"-Close", "-TRAWL", "DIR"}, "trawl", "", "XC", false, false},
        {{"-trawl", "-close", "NONE"}, "", "NOFOLDER", "", true, false},
        {{"-FixColour", "-TRAWL", "-Close", "DIR"}, "trawl", "", "XCF", false, false},
    };
    for (const Row& row : rows) {
        Rig rig;
        app::Settings& s = rig.app.settings();
        s.DoBMPs = true;
        s.DoJPGs = s.DoTextures = s.CloseOnDone = s.FixUniformColour = false;
        rig.Run(row.args);
        SCOPED_TRACE(::testing::PrintToString(row.args));
        EXPECT_EQ(rig.jobs.call, row.job);
        EXPECT_EQ(rig.jobs.seen, row.seen);
        EXPECT_EQ(rig.host.memo, row.memo.empty() ? std::vector<std::string>{}
                                                  : std::vector<std::string>{"  " + row.memo});
        EXPECT_EQ(rig.host.Active(TimerId::CloseWindow), row.closes);
        EXPECT_EQ(rig.host.Active(TimerId::OpenDelayed), row.opens);
        if (row.opens) {
            EXPECT_EQ(s.CurrentFile, rig.Path(row.args[0]));
        }
        if (!row.job.empty()) {
            EXPECT_EQ(rig.jobs.target, rig.Path(row.job == "trawl" ? "DIR" : "FILE"));
        }
    }
}

TEST(CommandLineTest, NoFileTypeChosenSaysSoAndCloses) {
    Rig rig;
    rig.app.settings().DoBMPs = rig.app.settings().DoJPGs = rig.app.settings().DoTextures = false;
    rig.app.UseJobs(&rig.jobs);
    rig.app.RunCommandLine({"-trawl", rig.Path("DIR")});
    EXPECT_TRUE(rig.jobs.call.empty());
    EXPECT_EQ(rig.host.memo, (std::vector<std::string>{"  TYPE", "  EXIT"}));
    EXPECT_EQ(rig.host.Interval(TimerId::CloseWindow), 500);
}

}  // namespace
