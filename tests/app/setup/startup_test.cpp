#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/settings/mem_ini.h"
#include "app/setup/command_line.h"
#include "core/io/file_io.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
using app::Answer;

// A program in a folder of its own, on a recording host.
struct Program {
    TempDir dir;
    FakeHost host;
    app::Application app{host};
    std::string ini() const { return dir.File("skeinpress.ini"); }
    // The settings file as written, with LF line ends (Windows gets CR LF).
    std::string SettingsText() const { return WithLineFeeds(ReadText(ini())); }
    void Create() { app.Start(dir.path().string(), dir.File("skeinpress")); }
};
struct StartupTest : ::testing::Test, Program {};

TEST_F(StartupTest, FirstRunUsesDefaultsAndWritesTheCompleteFile) {
    Create();
    ASSERT_TRUE(app.MayClose());  // nothing changed: no question
    app.Close();
    EXPECT_TRUE(host.messages.empty() && host.confirmations.empty());
    EXPECT_EQ(SettingsText(),
              "[File]\nLanguage=English.txt\n\n"
              "[MRU]\nlastfile=\ndefault_dir=\n\n"
              "[Paths]\neditor_dir=\nTS2009_dir=\nTS2010_dir=\nTS12_dir=\n\n"
              "[Options]\nCloseOnDone=0\nDoBMPs=0\nDoJPGs=0\nDoPNGs=0\nDoTextures=1\n"
              "OverwriteTGAs=1\n"
              "UniformColour=1\nBGroundColour=8421504\nTrawlSpeed=50\nNormalMapAlpha=127\n\n"
              "[Position]\nLeft=200\nTop=100\nWidth=0\nHeight=0\nMaximised=0\n\n"
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
    EXPECT_EQ(app.view().Store().AlphaFillValue, 300 & 0xFF);
}

TEST(MemIniTest, ValuesComeBackAsWrittenAndCannotAddLines) {
    TempDir dir;
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

    // A file of many keys and sections reads in one pass; the first of equal keys counts.
    std::string big = "[MRU]\n";
    for (int i = 0; i < 200000; ++i)
        big += "File" + std::to_string(i) + "=x\n[S" + std::to_string(i) + "]\n[mru]\n";
    WriteText(dir.File("big.ini"), big + "FILE7=late\n");
    const app::TMemIni read(dir.File("big.ini"));
    EXPECT_EQ(read.ReadString("mru", "file7", "?") + read.ReadString("MRU", "File199999", "?"),
              "xx");
}

// The cancelled close is shown by the desktop program's own test.
TEST_F(StartupTest, CloseSavesOnYesRemovesEditorFilesAndReportsAnUnwritableSettingsFile) {
    struct : app::CommandLineJobs {
        int saves = 0;
        app::ImageView* view = nullptr;
        void StartTrawl() override {}
        void ConvertCurrentFile(bool) override {}
        void SaveAs() override {
            if (++saves == 2) view->SaveAs();  // the first save is cancelled
        }
    } jobs;
    Create();
    app.UseJobs(&jobs);
    jobs.view = &app.view();
    FillStore(app.view().Store(), 2, 2, 3, std::vector<uint8_t>(12, 9));
    app.editing().GreyScale();
    host.savePicks = {dir.File("saved.tga")};
    host.answers = {Answer::No, Answer::Yes, Answer::Yes};
    EXPECT_TRUE(app.MayClose() && jobs.saves == 0);
    EXPECT_FALSE(app.MayClose());  // Yes, then no save: the edits stay
    EXPECT_TRUE(app.MayClose() && jobs.saves == 2);

    for (const char* name : {"tempimage.bmp", "tempalpha.bmp"}) WriteText(dir.File(name), "x");
    std::filesystem::create_directory(ini());  // the settings file cannot replace a folder
    app.Close();
    EXPECT_FALSE(std::filesystem::exists(dir.File("tempimage.bmp")) ||
                 std::filesystem::exists(dir.File("tempalpha.bmp")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(Contains(host.messages[0], ini()));
}

TEST_F(StartupTest, ACommandLineJobsOptionsLastForItsRunOnly) {
    struct : app::CommandLineJobs {
        void StartTrawl() override {}
        void ConvertCurrentFile(bool) override {}
        void SaveAs() override {}
    } jobs;
    WriteText(ini(), "[Options]\nCloseOnDone=0\nDoBMPs=1\nDoJPGs=1\nDoPNGs=1\n");
    Create();
    app.UseJobs(&jobs);
    fs::create_directory(dir.File("assets"));
    app.RunCommandLine({"-trawl", "-close", dir.File("assets")});
    EXPECT_TRUE(app.settings().CloseOnDone && !app.settings().DoBMPs && !app.settings().DoPNGs);
    app.ToggleOption(&app::Settings::DoTextures);  // the user's own change is kept
    app.Close();
    EXPECT_TRUE(Contains(SettingsText(),
                         "CloseOnDone=0\nDoBMPs=1\nDoJPGs=1\nDoPNGs=1\nDoTextures=0\n"
                         "OverwriteTGAs=1\nUniformColour=1\n"));
}

// Also for a file or folder that is not there: the window closes by itself.
TEST_F(StartupTest, AFailedCloseJobShowsNoBoxLogsClosesAndSetsTheExitStatus) {
    Create();
    WriteText(dir.File("bad.texture"), "not a texture");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-close", dir.File("bad.texture")},
          {"-close", dir.File("missing.texture")},
          {"-trawl", "-close", dir.File("missing")}}) {
        host.memo.clear();
        host.StopTimer(app::TimerId::CloseWindow);
        app.RunCommandLine(args);
        EXPECT_TRUE(host.messages.empty()) << args[1];
        ASSERT_FALSE(host.memo.empty());
        EXPECT_TRUE(Contains(ReadText(app.log().Path()), host.memo.back())) << args[1];
        EXPECT_EQ(app.ExitStatus(), 1) << args[1];
        EXPECT_TRUE(host.TimerActive(app::TimerId::CloseWindow)) << args[1];
    }
}

// Settings the program cannot read may still be the user's: a file too large,
// one that is not text, a FIFO. The run says so once, uses the defaults and
// leaves the file as it was.
TEST(SettingsFileTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    const std::string settings = "[Paths]\r\neditor_dir=/opt/gimp/bin/gimp\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"larger than 16 MB", settings + std::string(17 << 20, ';')},
        {"not text", settings + std::string("\0\x01\x02", 3)},
        {"not a regular file", ""},
    };
    for (const auto& [problem, content] : cases) {
        Program p;
        if (content.empty())
            MakeNoRegularFile(p.ini());
        else
            WriteText(p.ini(), content);
        p.Create();
        p.app.RunCommandLine({});
        ASSERT_EQ(p.host.memo.size(), 1u) << problem;
        EXPECT_TRUE(Contains(p.host.memo[0], p.ini()) && Contains(p.host.memo[0], problem));
        EXPECT_EQ(p.app.settings().EditorPath, "");
        p.app.Close();
        EXPECT_TRUE(p.host.messages.empty()) << problem;
        EXPECT_TRUE(fs::exists(p.ini()) && (content.empty() ? !fs::is_regular_file(p.ini())
                                                            : ReadText(p.ini()) == content))
            << problem;
    }
}

// Settings and language files with a byte-order mark: UTF-16 either way (as
// Notepad saves "Unicode") or UTF-8 (as some editors save), the mark no part
// of the first section or line. The settings are written back, flushed to the
// disk, in the program's own form; read-only, they are kept as they are.
TEST(SettingsFileTest, ByteOrderMarksAreReadAndReadOnlySettingsAreKept) {
    const struct {
        const char* name;
        std::vector<uint8_t> mark;
        int zeroAt;  // where a character's zero byte goes: before, after, none
    } encodings[] = {{"UTF-16LE", {0xFF, 0xFE}, 1},
                     {"UTF-16BE", {0xFE, 0xFF}, 0},
                     {"UTF-8", {0xEF, 0xBB, 0xBF}, -1}};
    for (const auto& encoding : encodings) {
        SCOPED_TRACE(encoding.name);
        const auto encode = [&encoding](const std::string& text) {
            std::vector<uint8_t> bytes = encoding.mark;
            for (char c : text) {
                if (encoding.zeroAt == 0) bytes.push_back(0);
                bytes.push_back(static_cast<uint8_t>(c));
                if (encoding.zeroAt == 1) bytes.push_back(0);
            }
            return bytes;
        };
        Program p;
        WriteBytes(p.ini(),
                   encode("[Paths]\r\neditor_dir=/opt/gimp\r\n[File]\r\nLanguage=Deutsch.txt\r\n"));
        WriteBytes(p.dir.File("Deutsch.txt"), encode("menu File|Datei\r\n"));
        p.Create();
        EXPECT_EQ(p.app.settings().EditorPath, "/opt/gimp");
        EXPECT_EQ(p.app.T("menu File"), "Datei");
        std::vector<std::string> flushed;
        core::SetFlushObserver([&](const std::string& path) { flushed.push_back(path); });
        EXPECT_TRUE(p.app.SaveSettings());
        core::SetFlushObserver({});
        EXPECT_EQ(flushed, (std::vector<std::string>{p.ini(), p.dir.path().string()}));
        const std::string written = ReadText(p.ini());
        // The user's first section first, without the mark.
        EXPECT_EQ(p.SettingsText().rfind("[Paths]\neditor_dir=/opt/gimp\n", 0), 0u);

        MarkReadOnly(p.ini());
        EXPECT_FALSE(p.app.SaveSettings());
        ASSERT_EQ(p.host.messages.size(), 1u);
        EXPECT_TRUE(Contains(p.host.messages[0], "\"skeinpress.ini\" is read-only"));
        EXPECT_EQ(ReadText(p.ini()), written);
    }
}

// The notice about a broken language line comes after the command line, whose
// trawl clears the memo at its start, so it is seen.
TEST_F(StartupTest, ALanguageNoticeOutlastsTheCommandLinesTrawl) {
    WriteText(dir.File("English.txt"), "menu File|File\r\na|b|c|d|e|f|g\r\n");
    fs::create_directory(dir.File("tree"));
    Create();
    app.RunCommandLine({"-trawl", dir.File("tree")});
    ASSERT_TRUE(app.trawl().Active());
    ASSERT_GE(host.memo.size(), 2u);
    EXPECT_EQ(host.memo.front(), " tree");
    EXPECT_EQ(host.memo.back(),
              "  Language file line 2 has too many \"|\" separators and is ignored");
}

}  // namespace
