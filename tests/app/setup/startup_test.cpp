// Start-up and what it reads: the settings file (and the reader under it), the
// command line the simulator's tools and the desktop give, and the open-with
// set-up that writes the simulator's batch file.
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

#if defined(_WIN32)
#include <windows.h>
#endif

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
using app::Answer;
using app::TimerId;

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
    EXPECT_EQ(s.AlphaFillValue, 300 & 0xFF);
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
    FillImage(app.view().Store().Current, 2, 2, 3, std::vector<uint8_t>(12, 9));
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
    FakeJobs jobs{app};
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
        host.StopTimer(TimerId::CloseWindow);
        app.RunCommandLine(args);
        EXPECT_TRUE(host.messages.empty()) << args[1];
        ASSERT_FALSE(host.memo.empty());
        EXPECT_TRUE(Contains(ReadText(app.log().Path()), host.memo.back())) << args[1];
        EXPECT_EQ(app.ExitStatus(), 1) << args[1];
        EXPECT_TRUE(host.TimerActive(TimerId::CloseWindow)) << args[1];
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
// disk, in the program's own form. (A read-only file is kept: the core's
// read-only description test, through the same atomic write; a failed save is
// reported: the close test above.)
TEST(SettingsFileTest, ByteOrderMarksAreReadAndTheSettingsWrittenBackDurably) {
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
        // The user's first section first, without the mark.
        EXPECT_EQ(p.SettingsText().rfind("[Paths]\neditor_dir=/opt/gimp\n", 0), 0u);
    }
}

// A fresh program per command line, with a folder and a file of each type;
// "@name" stands for that name in its folder.
struct Rig : Program {
    FakeJobs jobs{app};
    Rig() {
        app.language().SetLines({"message LaunchParam|LP", "message Type|TYPE",
                                 "message Exiting|EXIT", "message NoFolder|NOFOLDER"});
        fs::create_directory(dir.File("assets"));
        for (const char* name : {"wagon.texture", "sky.JPG", "sign.png"})
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
        {{"@sky.JPG"}, "", {}, "", false, true},  // a JPEG (or PNG, bitmap) opens as a texture does
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

#if defined(_WIN32)
// As Windows names the running program: drive letter, backslashes, and a
// letter outside ASCII, which the batch file must carry in the console's code
// page.
const std::string kProgram = "C:\\Program Files\\Zügel\\skeinpress.exe";

// The batch file's text as the command interpreter reads it, as UTF-8.
std::string BatchText(const std::string& path) {
    const std::string bytes = ReadText(path);
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(),
                                                        static_cast<int>(bytes.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    const std::u8string utf8 = fs::path(wide).u8string();
    return std::string(utf8.begin(), utf8.end());
}
#else
const std::string kProgram = "/opt/skeinpress/bin/skeinpress";

std::string BatchText(const std::string& path) {
    return ReadText(path);
}
#endif

const std::string kBatch = "@echo off\r\n\"" + kProgram + "\" -trawl -close -fixcolour %1%\r\n";

// The program's folder stands for the C: drive.
struct OpenWithTest : ::testing::Test, Program {
    OpenWithTest() {
        app.Start(dir.File("home"), kProgram);
        app.openWith().LookOnDrive(dir.path().string());
        std::vector<std::string> lines{"message Failed|failed", "message MacrosRemoved|removed"};
        for (const char* edition : {"2009", "2010", "12"})
            for (char letter : std::string("abcde"))
                lines.push_back(std::string("message Locate") + edition + letter + "|" + edition +
                                letter);
        app.language().SetLines(lines);
    }
    // An install folder below the drive with the simulator's tools folder, as
    // the system names it (backslashes on Windows).
    std::string Install(const std::string& below) {
        fs::create_directories(dir.path() / below / "bin" / "CMPData" / "Tools");
        return (dir.path() / below).make_preferred().string();
    }
    static std::string BatchOf(const std::string& install) {
        return install + "/bin/CMPData/Tools/OpenWith/Skeinpress.bat";
    }
};

TEST_F(OpenWithTest, FindsAsksWritesFailsAndRemoves) {
    const std::string ts12 =
        Install("Program Files (x86)/N3V Games/TS12");  // the last TS12 candidate
    app.openWith().Install();                           // both pickers cancelled
    EXPECT_EQ(host.memo, (std::vector<std::string>{" 2009a", " 2009b", " 2009c", "", "", " 2010a",
                                                   " 2010b", " 2010c", " 12e"}));
    EXPECT_EQ(host.folderPickCaptions, (std::vector<std::string>{"2009d\r2009c", "2010d\r2010c"}));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);
    EXPECT_EQ(BatchText(BatchOf(ts12)), kBatch);

    // Chosen again: 2009 picked, 2010 picked without a tools folder (silently
    // not found), TS12's "OpenWith" now a file, where nothing can be written.
    const std::string chosen2009 = Install("Games/Trainz 2009");
    fs::create_directories(dir.path() / "Elsewhere");
    fs::remove_all(ts12 + "/bin/CMPData/Tools/OpenWith");
    WriteBytes(ts12 + "/bin/CMPData/Tools/OpenWith", {1});
    host.folderPicks = {chosen2009, (dir.path() / "Elsewhere").string()};
    app.openWith().InstallAgain();
    EXPECT_EQ(app.settings().TS2009Dir, chosen2009);
    EXPECT_EQ(BatchText(BatchOf(chosen2009)), kBatch);
    EXPECT_EQ(app.settings().TS2010Dir, "NotFound");
    EXPECT_EQ(host.messages, std::vector<std::string>{"Could not create file \"Skeinpress.bat\""});
    EXPECT_EQ(host.memo.back(), " failed");

    // Removal names the editions whose batch file it deleted.
    app.openWith().Remove();
    EXPECT_EQ(host.memo, std::vector<std::string>{"   TS2009 removed"});
    EXPECT_FALSE(fs::exists(BatchOf(chosen2009)));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);  // nothing of it removed: kept
}

}  // namespace
