// Window creation, first showing, the close question and the close steps, and
// the settings file that is read at creation and written once at close.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/application.h"
#include "app/command_line.h"
#include "app/mem_ini.h"
#include "app/program_dir.h"
#include "core/paths.h"

namespace app {

namespace {

constexpr const char* kSettingsVersion = "1.22";

}  // namespace

std::string Application::SettingsFilePath() const {
    return programDir_ + kSettingsFileName;
}

void Application::FormCreate(const std::string& programDir, const std::string& programPath) {
    TrawlActive = false;
    ImageModified = false;
    TransparentView = false;
    settings_.DoTextures = true;
    NormalMapRequest = false;
    NormalMapMade = false;
    GreyScaleMade = false;

    programDir_ = WithTrailingSeparator(programDir);
    programPath_ = programPath;
    language_.Clear();

    settingsFile_ = std::make_unique<TMemIni>(SettingsFilePath());
    const TMemIni& ini = *settingsFile_;
    Settings& s = settings_;
    startupNotices_.clear();
    if (!ini.ReadProblem().empty()) {
        startupNotices_.push_back("  The settings file \"" + ini.FileName() + "\" was not read (" +
                                  ini.ReadProblem() +
                                  "): default settings are used, and the file is left as it is");
    }

    s.LanguageFile = ini.ReadString("File", "Language", kDefaultLanguageFile);
    const std::string languagePath = FindLanguageFile(programDir_, programPath_, s.LanguageFile);
    if (!languagePath.empty()) language_.LoadFile(languagePath);
    if (!language_.Notice().empty()) startupNotices_.push_back(language_.Notice());

    const std::string lastFile = ini.ReadString("MRU", "lastfile", "");
    s.DefaultDir = ini.ReadString("MRU", "default_dir", "");
    s.EditorPath = ini.ReadString("Paths", "editor_dir", "");
    s.TS2009Dir = ini.ReadString("Paths", "TS2009_dir", "");
    s.TS2010Dir = ini.ReadString("Paths", "TS2010_dir", "");
    s.TS12Dir = ini.ReadString("Paths", "TS12_dir", "");

    s.CloseOnDone = ini.ReadBool("Options", "CloseOnDone", false);
    s.DoBMPs = ini.ReadBool("Options", "DoBMPs", false);
    s.DoJPGs = ini.ReadBool("Options", "DoJPGs", false);
    s.DoTextures = ini.ReadBool("Options", "DoTextures", true);
    s.OverwriteTGAs = ini.ReadBool("Options", "OverwriteTGAs", true);
    s.FixUniformColour = ini.ReadBool("Options", "UniformColour", true);
    s.BGroundColour = static_cast<uint32_t>(ini.ReadInteger("Options", "BGroundColour", 0x808080));
    s.TrawlSpeed = ini.ReadInteger("Options", "TrawlSpeed", 50);
    s.AlphaFillValue = static_cast<uint8_t>(ini.ReadInteger("Options", "NormalMapAlpha", 127));
    store_.AlphaFillValue = s.AlphaFillValue;

    // The window moves itself there after creation; no check against the screen.
    s.WindowLeft = ini.ReadInteger("Position", "Left", 200);
    s.WindowTop = ini.ReadInteger("Position", "Top", 100);

    s.PixelSetCount = ini.ReadInteger("PixelSet", "Count", 3);
    s.PixelSetChange = ini.ReadInteger("PixelSet", "Change", 20);
    s.PixelSetRandom = ini.ReadBool("PixelSet", "Random", true);

    ReadRecentFiles(ini);

    s.CurrentFile = s.DefaultDir + lastFile;
    host_.SetRecentFileCaption("  " + lastFile);

    host_.StartTimer(TimerId::OpenWithSetup, 1000);

    s.PixelSetCount = std::clamp(s.PixelSetCount, 1, 127);
    s.PixelSetChange = std::clamp(s.PixelSetChange, 1, 127);
    s.TrawlSpeed = std::clamp(s.TrawlSpeed, 30, 1000);
}

void Application::FormShow(const std::vector<std::string>& args) {
    host_.ClearMemo();
    RunCommandLine(*this, args, Jobs());
    // After the command line, whose trawl would clear them away.
    for (const std::string& notice : startupNotices_) host_.AddMemoLine(notice);
}

bool Application::FormCloseQuery() {
    if (!ImageModified) return true;
    switch (host_.Confirm(T("dialog Save"), Buttons::YesNoCancel)) {
        case Answer::Cancel:
            return false;
        case Answer::Yes:
            // Cancelling the save dialog (or a failed save) keeps the window
            // and the edits.
            Jobs().SaveAs();
            return !ImageModified;
        case Answer::No:
            return true;
    }
    return true;
}

void Application::FormClose() {
    // A trawl interrupted by the close keeps every line it wrote.
    CloseLogOnExit();
    core::ResetImage(store_);
    // Without FormCreate there is no program folder, so nothing on disk is ours.
    if (!programDir_.empty()) {
        for (const std::string& temp : {TempImagePath(), TempAlphaPath()}) {
            std::error_code ec;  // a missing file is no error
            std::filesystem::remove(std::filesystem::path(temp), ec);
        }
        SaveConfig();
    }
    language_.Clear();
}

bool Application::SaveConfig() {
    if (programDir_.empty()) return false;  // not created: no settings file to write
    if (!settingsFile_) settingsFile_ = std::make_unique<TMemIni>(SettingsFilePath());
    TMemIni& ini = *settingsFile_;
    Settings& s = settings_;

    s.DefaultDir = std::string(core::FolderPart(s.CurrentFile));

    ini.WriteString("File", "Language", s.LanguageFile);
    ini.WriteString("MRU", "lastfile", std::string(core::FileNamePart(s.CurrentFile)));
    ini.WriteString("MRU", "default_dir", s.DefaultDir);
    ini.WriteString("Paths", "editor_dir", s.EditorPath);
    ini.WriteString("Paths", "TS2009_dir", s.TS2009Dir);
    ini.WriteString("Paths", "TS2010_dir", s.TS2010Dir);
    ini.WriteString("Paths", "TS12_dir", s.TS12Dir);
    ini.WriteBool("Options", "CloseOnDone", s.CloseOnDone);
    ini.WriteBool("Options", "DoBMPs", s.DoBMPs);
    ini.WriteBool("Options", "DoJPGs", s.DoJPGs);
    ini.WriteBool("Options", "DoTextures", s.DoTextures);
    ini.WriteBool("Options", "OverwriteTGAs", s.OverwriteTGAs);
    ini.WriteBool("Options", "UniformColour", s.FixUniformColour);
    ini.WriteInteger("Options", "BGroundColour", static_cast<int>(s.BGroundColour));
    ini.WriteInteger("Options", "TrawlSpeed", s.TrawlSpeed);
    ini.WriteInteger("Options", "NormalMapAlpha", store_.AlphaFillValue);
    ini.WriteInteger("Position", "Left", s.WindowLeft);
    ini.WriteInteger("Position", "Top", s.WindowTop);
    ini.WriteInteger("PixelSet", "Count", s.PixelSetCount);
    ini.WriteInteger("PixelSet", "Change", s.PixelSetChange);
    ini.WriteBool("PixelSet", "Random", s.PixelSetRandom);
    ini.WriteString("Program", "Version", kSettingsVersion);
    WriteRecentFiles(ini);

    // A file that was not read may hold settings this run never saw; the
    // start said so, and it stays as it is.
    if (!ini.ReadProblem().empty()) return false;
    std::string refusal;
    if (ini.UpdateFile(&refusal)) return true;
    // The close goes on; only this run's settings are lost.
    host_.ShowError("Could not write the settings file \"" + ini.FileName() + "\"" +
                    (refusal.empty() ? std::string() : ": " + refusal));
    return false;
}

void Application::Timer6Timer() {
    host_.StopTimer(TimerId::CloseWindow);
    host_.RequestClose();
}

void Application::Timer7Timer() {
    host_.StopTimer(TimerId::OpenWithSetup);
    const Settings& s = settings_;
    // On a machine without the simulator nothing is asked; SetUp > OpenWith
    // still offers the pickers.
    if ((s.TS2009Dir.empty() || s.TS2010Dir.empty() || s.TS12Dir.empty()) &&
        SimulatorFolderPresent())
        SetOpenWith(false);
}

}  // namespace app
