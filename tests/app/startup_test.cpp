#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/mem_ini.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

namespace {

using app::Answer;
using app::Application;
using app::TimerId;
using testing_support::FakeHost;
using testing_support::ReadText;
using testing_support::TempDir;
using testing_support::WriteBytes;

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

struct RecordingJobs : app::CommandLineJobs {
    std::vector<std::string> calls;
    void StartTrawl() override { calls.push_back("trawl"); }
    void OpenAndSave() override { calls.push_back("openandsave"); }
    void SaveAs() override { calls.push_back("saveas"); }
};

struct StartupTest : ::testing::Test {
    TempDir dir;
    FakeHost host;
    Application app{host};
    std::string home() const { return dir.path().string() + "/"; }
    std::string ini() const { return dir.File("skeinpress.ini"); }
    void Create() { app.FormCreate(home(), dir.File("skeinpress")); }
};

TEST_F(StartupTest, FirstRunUsesDefaultsAndWritesTheCompleteFile) {
    Create();
    const app::Settings& s = app.settings();
    EXPECT_FALSE(s.DoBMPs);
    EXPECT_FALSE(s.DoJPGs);
    EXPECT_TRUE(s.DoTextures);
    EXPECT_TRUE(s.OverwriteTGAs);
    EXPECT_TRUE(s.FixUniformColour);
    EXPECT_FALSE(s.CloseOnDone);
    EXPECT_EQ(s.TrawlSpeed, 50);
    EXPECT_EQ(s.WindowLeft, 200);
    EXPECT_EQ(s.WindowTop, 100);
    EXPECT_EQ(s.BGroundColour, 0x808080u);
    EXPECT_EQ(app.store().AlphaFillValue, 127);
    EXPECT_EQ(host.recentCaption, "  ");
    EXPECT_TRUE(host.Active(TimerId::OpenWithSetup));
    EXPECT_EQ(host.Interval(TimerId::OpenWithSetup), 1000);
    EXPECT_EQ(app.T("menu File"), "String Not Translated");
    EXPECT_EQ(app.SettingsFilePath(), ini());

    ASSERT_TRUE(app.FormCloseQuery());
    app.FormClose();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(ReadText(ini()),
              "[File]\nLanguage=English.txt\n\n"
              "[MRU]\nlastfile=\ndefault_dir=\n\n"
              "[Paths]\neditor_dir=\nTS2009_dir=\nTS2010_dir=\nTS12_dir=\n\n"
              "[Options]\nCloseOnDone=0\nDoBMPs=0\nDoJPGs=0\nDoTextures=1\nOverwriteTGAs=1\n"
              "UniformColour=1\nBGroundColour=8421504\nTrawlSpeed=50\nNormalMapAlpha=127\n\n"
              "[Position]\nLeft=200\nTop=100\n\n"
              "[PixelSet]\nCount=3\nChange=20\nRandom=1\n\n"
              "[Program]\nVersion=1.22\n\n");
}

TEST_F(StartupTest, StoredValuesQuotesAndClamps) {
    WriteText(ini(),
              "; written by hand\r\n"
              "[mru]\r\n lastfile = 'wagon.texture'\r\ndefault_dir=\"/trains/my assets/\"\r\n"
              "[Paths]\r\neditor_dir=\"\r\nTS2009_dir=NotFound\r\n"
              "[Options]\r\ndobmps=2\r\nDoTextures=0\r\nBGroundColour=not a number\r\n"
              "TrawlSpeed=5\r\nNormalMapAlpha=300\r\nUniformColour=\"0\"\r\n"
              "[PixelSet]\r\nCount=0\r\nChange=500\r\nRandom=0\r\n"
              "[Position]\r\nLeft=-40\r\n"
              "[Extra]\r\nkept=yes\r\n");
    Create();
    const app::Settings& s = app.settings();
    EXPECT_EQ(s.DefaultDir, "/trains/my assets/");
    EXPECT_EQ(s.CurrentFile, "/trains/my assets/wagon.texture");
    EXPECT_EQ(host.recentCaption, "  wagon.texture");
    EXPECT_EQ(s.EditorPath, "\"");  // a lone quote character stays
    EXPECT_EQ(s.TS2009Dir, "NotFound");
    EXPECT_TRUE(s.DoBMPs);
    EXPECT_FALSE(s.DoTextures);
    EXPECT_FALSE(s.FixUniformColour);
    EXPECT_EQ(s.BGroundColour, 0x808080u);
    EXPECT_EQ(s.TrawlSpeed, 30);
    EXPECT_EQ(app.store().AlphaFillValue, 300 & 0xFF);
    EXPECT_EQ(s.PixelSetCount, 1);
    EXPECT_EQ(s.PixelSetChange, 127);
    EXPECT_FALSE(s.PixelSetRandom);
    EXPECT_EQ(s.WindowLeft, -40);
    EXPECT_EQ(s.WindowTop, 100);

    app.FormClose();
    const app::TMemIni saved(ini());
    EXPECT_EQ(saved.ReadInteger("Options", "TrawlSpeed", 0), 30);
    EXPECT_EQ(saved.ReadString("MRU", "default_dir", ""), "/trains/my assets/");
    EXPECT_EQ(saved.ReadString("Extra", "kept", ""), "yes");  // foreign keys survive
    EXPECT_EQ(saved.ReadString("Program", "Version", ""), "1.22");

    WriteText(ini(), "[Options]\nTrawlSpeed=5000\n");
    Create();
    EXPECT_EQ(app.settings().TrawlSpeed, 1000);
}

TEST(MemIniTest, ValuesComeBackAsWrittenAndNumbersParseStrictly) {
    TempDir dir;
    app::TMemIni ini(dir.File("a.ini"));
    for (const std::string value : {" padded ", "\"quoted\"", "'single'", "x\"", "plain"}) {
        ini.WriteString("S", "k", value);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(app::TMemIni(dir.File("a.ini")).ReadString("S", "K", "?"), value);
    }
    // A line break cannot smuggle in keys or sections of its own.
    ini.WriteString("MRU", "lastfile", "a\n[Paths]\neditor_dir=/bin/evil");
    ini.WriteString("Paths", "editor_dir", "/usr/bin/gimp");
    ASSERT_TRUE(ini.UpdateFile());
    const app::TMemIni reread(dir.File("a.ini"));
    EXPECT_EQ(reread.ReadString("MRU", "lastfile", "?"), "");
    EXPECT_EQ(reread.ReadString("Paths", "editor_dir", "?"), "/usr/bin/gimp");

    int v = 0;
    EXPECT_TRUE(app::TMemIni::ParseInteger("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(app::TMemIni::ParseInteger("2147483648", v));
    EXPECT_TRUE(app::TMemIni::ParseInteger("$FF", v));
    EXPECT_EQ(v, 255);
    EXPECT_FALSE(app::TMemIni::ParseInteger("12abc", v));
    EXPECT_FALSE(app::TMemIni::ParseInteger("", v));
    EXPECT_FALSE(app::TMemIni::ParseInteger("-", v));
}

TEST_F(StartupTest, LanguageFileBesideTheProgramOrInstalled) {
    // An installed program: <prefix>/bin/skeinpress with <prefix>/share/skeinpress/English.txt.
    std::filesystem::create_directories(dir.path() / "share" / "skeinpress");
    std::filesystem::create_directories(dir.path() / "home");
    WriteText(dir.File("share/skeinpress/English.txt"), "menu File|Installed\n");
    const std::string homeDir = dir.File("home") + "/";
    app.FormCreate(homeDir, dir.File("bin/skeinpress"));
    EXPECT_EQ(app.T("menu File"), "Installed");

    WriteText(homeDir + "English.txt", "menu File|Beside\n");
    app.FormCreate(homeDir, dir.File("bin/skeinpress"));
    EXPECT_EQ(app.T("menu File"), "Beside");

    WriteText(homeDir + "skeinpress.ini", "[File]\nLanguage=Deutsch.txt\n");
    WriteText(homeDir + "Deutsch.txt", "menu File|Datei\n");
    app.FormCreate(dir.File("home"), dir.File("bin/skeinpress"));  // separator added
    EXPECT_EQ(app.ProgramDir(), homeDir);
    EXPECT_EQ(app.T("menu File"), "Datei");
}

TEST_F(StartupTest, CloseQuestion) {
    Create();
    RecordingJobs jobs;
    app.UseJobs(&jobs);
    app.language().SetLines({"dialog Save|Save changes?"});
    app.ImageModified = true;

    host.answers = {Answer::Cancel, Answer::No, Answer::Yes};
    EXPECT_FALSE(app.FormCloseQuery());
    EXPECT_TRUE(jobs.calls.empty());
    EXPECT_EQ(host.confirmations, std::vector<std::string>{"Save changes?"});
    EXPECT_FALSE(std::filesystem::exists(ini()));  // a refused close writes nothing

    EXPECT_TRUE(app.FormCloseQuery());
    EXPECT_TRUE(jobs.calls.empty());
    EXPECT_TRUE(app.FormCloseQuery());
    EXPECT_EQ(jobs.calls, std::vector<std::string>{"saveas"});

    app.ImageModified = false;
    EXPECT_TRUE(app.FormCloseQuery());
    EXPECT_EQ(host.confirmations.size(), 3u);
}

TEST_F(StartupTest, CloseRemovesEditorFilesAndReportsAnUnwritableSettingsFile) {
    Create();
    WriteText(dir.File("tempimage.bmp"), "x");
    WriteText(dir.File("tempalpha.bmp"), "x");
    std::filesystem::create_directory(ini());  // the settings file cannot replace a folder
    app.settings().CurrentFile = "/images/sky.bmp";
    app.FormClose();
    EXPECT_FALSE(std::filesystem::exists(dir.File("tempimage.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("tempalpha.bmp")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(ini()), std::string::npos) << host.messages[0];
    EXPECT_EQ(app.settings().DefaultDir, "/images/");
    EXPECT_TRUE(app.language().Lines().empty());
}

TEST_F(StartupTest, CloseAndOpenWithTimers) {
    Create();
    host.handlers[TimerId::CloseWindow] = [&] { app.Timer6Timer(); };
    host.handlers[TimerId::OpenWithSetup] = [&] { app.Timer7Timer(); };
    host.StartTimer(TimerId::CloseWindow, 500);
    EXPECT_TRUE(host.Fire(TimerId::CloseWindow));
    EXPECT_FALSE(host.Active(TimerId::CloseWindow));
    EXPECT_EQ(host.closeRequests, 1);

    // Every simulator folder known: the set-up does not run (the memo stays).
    app.settings().TS2009Dir = app.settings().TS2010Dir = app.settings().TS12Dir = "NotFound";
    host.memo = {"kept"};
    EXPECT_TRUE(host.Fire(TimerId::OpenWithSetup));
    EXPECT_FALSE(host.Active(TimerId::OpenWithSetup));
    EXPECT_EQ(host.memo, std::vector<std::string>{"kept"});
}

}  // namespace
