// The program's behaviour above the image store: start-up and close, settings,
// language, the single-image flow, the trawl and its log, open-with, and the
// editing commands. Written once against Host, so the desktop program, the
// headless converter and the tests drive the same code.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/language.h"
#include "app/settings.h"
#include "core/file_io.h"
#include "core/image_store.h"

namespace app {

class FolderListing;    // one open listing of a folder (trawl.cpp)
class TMemIni;          // the settings file (mem_ini.h)
class CommandLineJobs;  // the jobs the command line starts (command_line.h)

// The size a picture is shown at after the fit into its box: the longer side
// (relative to the box) fills the box, the other keeps the proportion.
struct FittedSize {
    int width = 0;
    int height = 0;
};
FittedSize FitIntoBox(int width, int height, int boxWidth, int boxHeight);

class Application {
public:
    explicit Application(Host& host);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Host& host() { return host_; }
    core::ImageStore& store() { return store_; }
    Settings& settings() { return settings_; }
    const Language& language() const { return language_; }
    Language& language() { return language_; }
    // The translated text of a key ("String Not Translated" when missing).
    std::string T(const std::string& key) const;

    // ---- Start-up, settings, command line, close (startup.cpp, command_line.cpp)
    // `programDir` ends with a folder separator; settings, language file, log and
    // editor temporary files live there.
    // The window then moves to settings().WindowLeft/WindowTop and sets the
    // option check marks from settings(); before FormClose it stores its
    // current position back into WindowLeft/WindowTop.
    void FormCreate(const std::string& programDir, const std::string& programPath);
    void FormShow(const std::vector<std::string>& args);  // clears the memo, runs the command line
    // What FormCreate found wrong with the settings or language file, as memo
    // lines; FormShow adds them to the memo once, after the command line.
    const std::vector<std::string>& StartupNotices() const { return startupNotices_; }
    bool FormCloseQuery();  // false: the close is refused
    void FormClose();
    // False (after a message box naming the file) when it cannot be written, or
    // before FormCreate, when there is no program folder.
    bool SaveConfig();
    void Timer6Timer();  // closes the main window
    void Timer7Timer();  // open-with set-up after start
    const std::string& ProgramDir() const { return programDir_; }
    const std::string& ProgramPath() const { return programPath_; }
    std::string SettingsFilePath() const;
    // The jobs FormShow and the close question start: the application's own
    // handlers unless a test supplies others (nullptr restores the own ones).
    void UseJobs(CommandLineJobs* jobs) { jobs_ = jobs; }
    CommandLineJobs& Jobs();

    // ---- Open-with integration (open_with.cpp)
    // At start the memo is kept (it may hold the command line's messages).
    void SetOpenWith(bool clearMemo = true);
    void OpenWith1Click();
    void RemoveOpenWith1Click();
    bool WriteOpenWithBatch(const std::string& batchPath);
    // The drive the simulator's default install folders are looked for on
    // ("C:\\" on Windows, Wine's drive_c elsewhere); tests point it at a fake tree.
    std::string OpenWithDriveRoot;

    // ---- Single-image open, view and save (image_view.cpp)
    void ViewTexture(bool reload);
    void Open1Click();
    void Open2Click();
    void Timer1Timer();
    void Save1Click();
    void SaveAs1Click();
    // Opens and shows `path` as File > Open does once its dialog is answered
    // (a file no longer there is reported and leaves the recent files).
    void OpenFile(const std::string& path);

    // ---- The desktop program's further ways in (desktop_commands.cpp)
    // File > Trawl Folder: asks for the folder, then TrawlFolder.
    void TrawlFolderClick();
    // A file dropped on the window opens; a folder is trawled if the user agrees.
    void OpenDropped(const std::string& path);
    // Trawls `folder` with the current options; a stopped trawl is given up
    // first. False (after a message) while another trawl runs.
    bool TrawlFolder(const std::string& folder);
    // The image's own colour at a pixel counted from the picture's top-left
    // corner (not the blend the transparent view shows); false outside it.
    bool ImageColourAt(int x, int y, uint8_t& red, uint8_t& green, uint8_t& blue) const;
    // The program's name; during a trawl with its progress, and whether it is stopped.
    std::string TrawlTitle() const;

    // ---- Trawl (trawl.cpp)
    void StartClick();
    void SearchClick();
    void Again();
    void Timer5Timer();
    void bStopClick();
    void TrawlConvert();
    void ConvertTGA();
    void OpenAndSave();
    // OpenAndSave writing to `target` instead of the name it derives (when
    // `target` is empty, exactly OpenAndSave). True when the file was written;
    // its name is then stored in `written` (when given).
    bool OpenAndSaveTo(const std::string& target, std::string* written);

    // What the last TrawlConvert did to its file (OpenAndSaveTo adds to it),
    // for a console's summary.
    struct EntryOutcome {
        bool converted = false;             // a TGA was written
        bool repaired = false;              // an image of one uniform colour was repaired
        bool refused = false;               // a read, size test or write failed
        bool skipped = false;               // a convertible type whose option is off
        std::vector<std::string> problems;  // the lines that reported the refusal
    };
    EntryOutcome LastOutcome;
    // Whether TrawlConvert reads or writes an image for an entry of this name.
    bool EntryNeedsImageWork(const std::string& name) const;
    // When set, the walk calls it for each entry instead of TrawlConvert
    // (EntryFolder and EntryName are set), so a console can hand the entry's
    // conversion to another Application.
    std::function<void()> ConvertEntryHook;
    // When set, each uniform-colour repair draws from a generator seeded with
    // this value of CurrentFile, so a file is repaired the same way whichever
    // Application converts it. Unset: the running clock-seeded Random.
    std::function<uint32_t(const std::string& file)> RandomSeedForFile;

    // ---- Trawl log (trawl_log.cpp)
    void OpenLogFile();
    void WriteLogFile();
    void CloseLogFile();
    void ViewLogFile();
    void DeleteLog1Click();
    void Timer4Timer();
    std::string LogFilePath() const;
    // For the close steps: writes what a running or stopped trawl still holds in
    // the memo, then closes the log.
    void CloseLogOnExit();

    // ---- Editing commands and the window's own commands (editing_commands.cpp)
    // Actual-size window: each returns whether the window should open.
    bool DisplayActualSize1Click();
    bool DisplayActualSize2Click();
    // What the actual-size window shows; false (bitmap untouched) with no image.
    bool RenderActualSize(core::Bitmap& bitmap);
    void DisplayTransparent1Click();
    void TransparentBground1Click(uint32_t chosenColour);  // after the colour dialog's OK
    void GreyScale1Click();
    void NonUniformColour1Click();
    void InvertAlphaColour1Click();
    void RemoveAlphaChannel1Click();
    void MergeAlphaImage1Click();
    void MakeNormalMap1Click();
    // The colour pick: the tolerance dialog's result, then the click on the
    // displayed picture's pixel colour. ColourPicked returns the mask text it
    // applied ("R,G,B,T"), empty when no pick was awaited.
    void BeginColourPick(bool accepted, int tolerance);
    std::string ColourPicked(uint8_t red, uint8_t green, uint8_t blue);
    void Edit1Click();
    void Edit2Click();
    void Timer2Timer();
    void Timer3Timer();
    std::string TempImagePath() const;
    std::string TempAlphaPath() const;
    // Option toggles of the Options menu; each returns the new value.
    bool ToggleOption(bool Settings::*option);
    // SetUp > Editor.
    void SetUp1Click();
    // Help > Help: the first help file found in ProgramDir, then in `dataDir`
    // (the installed data folder; may be empty).
    void Help2Click(const std::string& dataDir);

    // ---- Main-window flags shared by several parts
    bool ImageModified = false;
    bool TrawlActive = false;
    int PickMode = 0;  // 0 none, 1 tolerance dialog open, 2 colour pick awaited
    int PickTolerance = 10;
    bool TransparentView = false;
    bool TransparentPending = false;
    bool NormalMapRequest = false;
    bool NormalMapMade = false;
    bool GreyScaleMade = false;
    bool ActualSizeAlpha = false;  // the actual-size window shows the alpha channel
    // Modification times of the editor temporary files when handed over.
    std::filesystem::file_time_type TempImageAge{};
    std::filesystem::file_time_type TempAlphaAge{};

    // ---- Trawl state
    bool TrawlStopped = false;
    bool DescendPending = false;
    bool StepConverted = false;
    int TrawlDepth = 0;
    std::array<std::string, 27> FolderPaths;
    std::array<std::unique_ptr<FolderListing>, 26> FolderListings;
    std::array<bool, 26> ListingOpen{};
    std::string EntryFolder;
    std::string EntryName;
    int TopFolderCount = 0;
    int TopFoldersDone = 0;

    // ---- Trawl log state
    bool LogOpen = false;

    // Random source of the uniform-colour repair; seeded from the clock.
    std::mt19937 Random;

private:
    // LoadErrorText in a message box, or as a memo line during a trawl.
    void ReportLoadError();
    void ShowCurrentFileName();         // Label1 and the recent-file caption
    std::string SizeLabelText() const;  // Label2: size, DXT variant, alpha kind
    bool ConversionOptionOn(const std::string& lowerExt) const;
    // Whether the walk enters `folder` (an existing folder): once per real
    // folder, and only inside the trawled tree. Its canonical path goes to
    // `canonical`; a folder it does not enter may get a memo line in `line`.
    bool FolderToEnter(const std::string& folder, const std::string& name, std::string& canonical,
                       std::string& line) const;
    void ReportLogFailure();
    void RepairUniformColour();
    // Whether a default install folder of any simulator edition exists.
    bool SimulatorFolderPresent() const;
    void NoteRecentFile(const std::string& path);
    void ReadRecentFiles(const TMemIni& ini);
    void WriteRecentFiles(TMemIni& ini) const;
    // The title and which trawl buttons can be pressed, after a trawl's state changed.
    void ShowTrawlState();
    // Ends a stopped trawl without resuming it: its lines go to its log.
    void GiveUpStoppedTrawl();

    Host& host_;
    core::ImageStore store_;
    Settings settings_;
    Language language_;
    std::string programDir_;
    std::string programPath_;
    core::AppendFile trawlLog_;
    bool logReopenPending_ = false;  // the log was deleted under a running trawl
    std::unique_ptr<TMemIni> settingsFile_;
    std::vector<std::string> startupNotices_;
    // The trawled tree's start folder and the folders entered, canonical.
    std::string trawlRoot_;
    std::set<std::string> trawlVisited_;
    std::unique_ptr<CommandLineJobs> ownJobs_;
    CommandLineJobs* jobs_ = nullptr;
};

}  // namespace app
