#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/setup/command_line.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

using app::TimerId;

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

// A fresh program per command line, with a folder and a file of each type;
// "@name" stands for that name in its folder.
struct Rig {
    TempDir dir;
    FakeHost host;
    app::Application app{host};
    FakeJobs jobs{app};
    Rig() {
        app.language().SetLines({"message LaunchParam|LP", "message Type|TYPE",
                                 "message Exiting|EXIT", "message NoFolder|NOFOLDER"});
        std::filesystem::create_directory(dir.File("assets"));
        for (const char* name :
             {"wagon.texture", "sky.JPG", "ballast.bmp", "photo.jpeg", "sign.png"})
            WriteBytes(dir.File(name), {1});
    }
    std::string Path(const std::string& arg) const {
        return arg.starts_with('@') ? dir.File(arg.substr(1)) : arg;
    }
    void Run(std::vector<std::string> args) {
        for (std::string& arg : args) arg = Path(arg);
        app::RunCommandLine(app, args, jobs);
    }
};

TEST(CommandLineTest, SwitchCombinationsAndOneFile) {
    // Before each run BMPs are on, textures, close, repair and JPEGs off (and
    // BMPs too where no type is chosen). A close is asked for in 500 ms.
    struct Row {
        std::vector<std::string> args;
        std::string job;
        std::vector<std::string> memo;
        std::string seen;
        bool closes, opens, anyType = true;
    } rows[] = {
        // An unattended job that does nothing closes all the same.
        {{"-trawl", "-close", "-fixcolour", "@assets", "extra"}, "", {}, "", true, false},
        {{"@wagon.texture"}, "", {}, "", false, true},
        {{"@sky.JPG"}, "", {}, "", false, true},  // a bitmap or JPEG opens as a texture does
        {{"@ballast.bmp"}, "", {}, "", false, true},
        {{"@photo.jpeg"}, "", {}, "", false, true},
        {{"@sign.png"}, "", {}, "", false, true},
        {{"notes.txt"}, "", {"  File type not supported \"notes.txt\"."}, "", false, false},
        {{"gone.tga"}, "", {"  LP: gone.tga"}, "", false, false},
        {{"-Trawl", "@assets"}, "trawl", {}, "B", false, false},
        {{"-trawl", "@assets"}, "", {"  TYPE", "  EXIT"}, "", true, false, false},
        {{"-trawl", "@wagon.texture"}, "", {"  LP"}, "", false, false},
        {{"-NORMALMAP", "@wagon.texture"}, "save", {}, "BN", false, false},
        {{"-close", "@wagon.texture"}, "save", {}, "BX", true, false},
        {{"-Close", "-TRAWL", "@assets"}, "trawl", {}, "XC", false, false},
        {{"-trawl", "-close", "@nothing-here"}, "", {"  NOFOLDER"}, "", true, false},
        {{"-FixColour", "-TRAWL", "-Close", "@assets"}, "trawl", {}, "XCF", false, false},
    };
    for (const Row& row : rows) {
        Rig rig;
        app::Settings& s = rig.app.settings();
        s.DoBMPs = row.anyType;
        s.DoJPGs = s.DoTextures = s.CloseOnDone = s.FixUniformColour = false;
        rig.Run(row.args);
        SCOPED_TRACE(::testing::PrintToString(row.args));
        EXPECT_EQ(rig.jobs.call, row.job);
        EXPECT_EQ(rig.jobs.seen, row.seen);
        EXPECT_EQ(rig.host.memo, row.memo);
        EXPECT_EQ(rig.host.timers[TimerId::CloseWindow], row.closes ? 500 : 0);
        EXPECT_EQ(rig.host.Active(TimerId::OpenDelayed), row.opens);
        if (row.opens) {
            EXPECT_EQ(s.CurrentFile, rig.Path(row.args[0]));
        }
        if (!row.job.empty()) {
            EXPECT_EQ(rig.jobs.target, rig.Path(row.job == "trawl" ? "@assets" : "@wagon.texture"));
        }
    }
}

}  // namespace
