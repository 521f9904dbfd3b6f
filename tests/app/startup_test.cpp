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
using testing_support::ReadText;

void WriteText(const std::string& path, const std::string& text) {
    testing_support::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

struct StartupTest : ::testing::Test {
    testing_support::TempDir dir;
    testing_support::FakeHost host;
    app::Application app{host};
    std::string ini() const { return dir.File("skeinpress.ini"); }
    void Create() { app.FormCreate(dir.path().string() + "/", dir.File("skeinpress")); }
};

TEST_F(StartupTest, FirstRunUsesDefaultsAndWritesTheCompleteFile) {
    Create();
    ASSERT_TRUE(app.FormCloseQuery());  // nothing changed: no question
    app.FormClose();
    EXPECT_TRUE(host.messages.empty() && host.confirmations.empty());
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
              "[Paths]\r\neditor_dir=\"\r\n"
              "[Options]\r\ndobmps=2\r\nBGroundColour=not a number\r\n"
              "TrawlSpeed=5\r\nNormalMapAlpha=300\r\nUniformColour=\"0\"\r\n");
    Create();
    const app::Settings& s = app.settings();
    EXPECT_EQ(s.CurrentFile, "/trains/my assets/wagon.texture");
    EXPECT_EQ(s.EditorPath, "\"");  // a lone quote character stays
    EXPECT_TRUE(s.DoBMPs && !s.FixUniformColour);
    EXPECT_EQ(s.BGroundColour, 0x808080u);
    EXPECT_EQ(s.TrawlSpeed, 30);
    EXPECT_EQ(app.store().AlphaFillValue, 300 & 0xFF);
}

TEST(MemIniTest, ValuesComeBackAsWrittenAndCannotAddLines) {
    testing_support::TempDir dir;
    app::TMemIni ini(dir.File("a.ini"));
    for (const std::string value : {" padded ", "\"quoted\"", "'single'", "x\""}) {
        ini.WriteString("S", "k", value);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(app::TMemIni(dir.File("a.ini")).ReadString("S", "K", "?"), value);
    }
    // A line break cannot smuggle in keys or sections of its own.
    ini.WriteString("MRU", "lastfile", "a\n[Paths]\neditor_dir=/bin/evil");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(app::TMemIni(dir.File("a.ini")).ReadString("Paths", "editor_dir", "?"), "?");
}

// The cancelled close is shown by the desktop program's own test.
TEST_F(StartupTest, CloseSavesOnYesRemovesEditorFilesAndReportsAnUnwritableSettingsFile) {
    struct : app::CommandLineJobs {
        int saves = 0;
        bool* modified = nullptr;
        void StartTrawl() override {}
        void OpenAndSave() override {}
        void SaveAs() override { *modified = ++saves == 1; }  // the first save is cancelled
    } jobs;
    Create();
    app.UseJobs(&jobs);
    jobs.modified = &app.ImageModified;
    app.ImageModified = true;
    host.answers = {Answer::No, Answer::Yes, Answer::Yes};
    EXPECT_TRUE(app.FormCloseQuery() && jobs.saves == 0);
    EXPECT_FALSE(app.FormCloseQuery());  // Yes, then no save: the edits stay
    EXPECT_TRUE(app.FormCloseQuery() && jobs.saves == 2);

    for (const char* name : {"tempimage.bmp", "tempalpha.bmp"}) WriteText(dir.File(name), "x");
    std::filesystem::create_directory(ini());  // the settings file cannot replace a folder
    app.FormClose();
    EXPECT_FALSE(std::filesystem::exists(dir.File("tempimage.bmp")) ||
                 std::filesystem::exists(dir.File("tempalpha.bmp")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(ini()), std::string::npos) << host.messages[0];
}

}  // namespace
