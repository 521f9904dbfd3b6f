// The desktop program's behaviour above the image store, written once against
// Host so that the window and the tests drive the same code. The application
// builds on a session (session.h: the run's settings, language, program
// folder, conversion and trawl, which the console uses alone) and owns the
// window's parts, each of which owns its own state:
//   ImageView        the open image and its pictures (image_view.h)
//   ColourPick       the colour pick of Create Alpha Mask (colour_pick.h)
//   EditingCommands  the commands that change the open image (editing_commands.h)
//   ExternalEditor   the round trip through the user's image editor (external_editor.h)
//   OpenWithSetup    the simulator's OpenWith batch files (open_with.h)
// Start-up and close, the timers and the commands that span parts are here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/context.h"
#include "app/convert/conversion.h"
#include "app/host.h"
#include "app/platform/program_files.h"
#include "app/session.h"
#include "app/settings/language.h"
#include "app/settings/settings.h"
#include "app/setup/open_with.h"
#include "app/trawl/trawl_log.h"
#include "app/trawl/trawl_walk.h"
#include "app/view/colour_pick.h"
#include "app/view/editing_commands.h"
#include "app/view/external_editor.h"
#include "app/view/image_view.h"

namespace app {

class CommandLineJobs;  // the jobs the command line starts (command_line.h)

class Application {
public:
    explicit Application(Host& host);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Host& host() { return host_; }
    Settings& settings() { return session_.settings(); }
    const Settings& settings() const { return session_.settings(); }
    Language& language() { return session_.language(); }
    const Language& language() const { return session_.language(); }
    const ProgramFiles& files() const { return session_.files(); }
    // The translated text of a key ("String Not Translated" when missing).
    std::string T(const std::string& key) const { return session_.T(key); }

    ImageView& view() { return view_; }
    const ImageView& view() const { return view_; }
    ColourPick& pick() { return pick_; }
    EditingCommands& editing() { return editing_; }
    ExternalEditor& editor() { return editor_; }
    Conversion& conversion() { return session_.conversion(); }
    const Conversion& conversion() const { return session_.conversion(); }
    TrawlLog& log() { return session_.log(); }
    TrawlWalk& trawl() { return session_.trawl(); }
    const TrawlWalk& trawl() const { return session_.trawl(); }
    OpenWithSetup& openWith() { return openWith_; }

    // ---- Start and close
    // Starts the session (session.h) in `programDir`. The window then moves to
    // settings().WindowLeft/WindowTop; before Close it stores its position back there.
    void Start(const std::string& programDir, const std::string& programPath);
    // At the window's first showing: clears the memo and runs the command line.
    // With "-close" nobody watches the window: the job's failures are memo
    // lines, written to the trawl log too, and set the exit status.
    void RunCommandLine(const std::vector<std::string>& args);
    // What the program returns when it ends: 1 when a "-close" job failed.
    int ExitStatus() const { return exitStatus_; }
    // What Start found wrong with the settings or language file, as memo
    // lines; RunCommandLine adds them to the memo once, after the command line.
    const std::vector<std::string>& StartupNotices() const { return session_.StartupNotices(); }
    // The close question for a changed image; false: the close is refused.
    bool MayClose();
    void Close();
    // False (after a message box naming the file) when it cannot be written, or
    // before Start, when there is no program folder.
    bool SaveSettings();
    // A timer of the window fired.
    void TimerFired(TimerId id);
    // The jobs the command line and the close question start: the
    // application's own unless a test supplies others (nullptr restores them).
    void UseJobs(CommandLineJobs* jobs) { jobs_ = jobs; }
    CommandLineJobs& Jobs();

    // ---- Commands that span parts
    // A file dropped on the window opens; a folder is trawled if the user agrees.
    void OpenDropped(const std::string& path);
    // File > Trawl Folder: asks for the folder, then trawls it.
    void ChooseTrawlFolder();
    // File > View Trawl Log: in the desktop's viewer.
    void ViewTrawlLog();
    // File > Delete Trawl Log: asks, then deletes.
    void DeleteTrawlLog();
    // An option of the Options menu toggled; returns the new value.
    bool ToggleOption(bool Settings::*option);
    // Help > Help: the first help file found in the program folder, then beside
    // the program file, then in `dataDir` (the installed data folder; may be empty).
    void ShowHelp(const std::string& dataDir);

private:
    Host& host_;
    Session session_;
    ColourPick pick_;
    ImageView view_;
    EditingCommands editing_;
    ExternalEditor editor_;
    OpenWithSetup openWith_;
    // The trawl options as they were before the command line changed them for
    // its job: an unattended run must not change what later runs do.
    Settings optionsToKeep_;
    bool keepOptions_ = false;
    bool unattended_ = false;
    int exitStatus_ = 0;
    std::unique_ptr<CommandLineJobs> ownJobs_;
    CommandLineJobs* jobs_ = nullptr;
};

}  // namespace app
