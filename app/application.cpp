#include "app/application.h"

#include <algorithm>

#include "app/platform/program_dir.h"
#include "app/setup/command_line.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace app {

namespace {

// The options a command-line job sets for its own run.
constexpr bool Settings::*kJobOptions[] = {&Settings::CloseOnDone, &Settings::DoBMPs,
                                           &Settings::DoJPGs,      &Settings::DoPNGs,
                                           &Settings::DoTextures,  &Settings::FixUniformColour};

// The application's own parts behind the command line's job interface.
class OwnJobs : public CommandLineJobs {
public:
    OwnJobs(Settings& settings, TrawlWalk& trawl, Conversion& conversion, ImageView& view)
        : settings_(settings), trawl_(trawl), conversion_(conversion), view_(view) {}
    void StartTrawl() override { trawl_.Start(); }
    void ConvertCurrentFile(bool normalMap) override {
        ConversionRequest request{settings_.CurrentFile, "", {}, true};
        if (normalMap) request.edits.list.push_back({EditKind::NormalMap, {}, 0});
        conversion_.Convert(request);
    }
    void SaveAs() override { view_.SaveAs(); }

private:
    Settings& settings_;
    TrawlWalk& trawl_;
    Conversion& conversion_;
    ImageView& view_;
};

}  // namespace

Application::Application(Host& host)
    : host_(host),
      context_{host_, settings_, language_, files_},
      view_(context_, pick_, [this] { return trawl_.Active() || conversion_.ConvertingEntry(); }),
      editing_(context_, view_, pick_),
      editor_(context_, view_, pick_),
      conversion_(host_, settings_, language_, view_.Store()),
      log_(context_),
      trawl_(context_, log_, conversion_),
      openWith_(context_),
      ownJobs_(std::make_unique<OwnJobs>(settings_, trawl_, conversion_, view_)) {
    // The desktop program shows each file it converts.
    conversion_.ShowOn({[this](ReadOutcome read) { view_.ShowRead(read); },
                        [this] { view_.Redraw(); },
                        [this] { return trawl_.Active() || unattended_; }});
}

Application::~Application() = default;

CommandLineJobs& Application::Jobs() {
    return jobs_ ? *jobs_ : *ownJobs_;
}

void Application::Start(const std::string& programDir, const std::string& programPath) {
    files_ = ProgramFiles(programDir, programPath);
    startupNotices_.clear();
    const std::string lastFile = settingsFile_.Read(files_.SettingsFile(), settings_);
    if (const std::string notice = settingsFile_.ReadNotice(); !notice.empty())
        startupNotices_.push_back(notice);

    language_.Clear();
    const std::string languagePath =
        FindLanguageFile(files_.Folder(), files_.ProgramPath(), settings_.LanguageFile);
    if (!languagePath.empty()) language_.LoadFile(languagePath);
    if (!language_.Notice().empty()) startupNotices_.push_back(language_.Notice());

    host_.SetRecentFileCaption("  " + lastFile);
    host_.StartTimer(TimerId::OpenWithSetup, 1000);
    // The trawl's step timer runs from the start (idle steps until a trawl).
    host_.StartTimer(TimerId::TrawlSlow, settings_.TrawlSpeed);
}

void Application::RunCommandLine(const std::vector<std::string>& args) {
    host_.ClearMemo();
    optionsToKeep_ = settings_;
    keepOptions_ = true;
    unattended_ = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return core::ToLowerAscii(arg) == "-close";
    });
    conversion_.ForgetOutcome();
    app::RunCommandLine(*this, args, Jobs());
    // A trawl keeps its own log and runs on; a file's conversion is done, and
    // one that wrote nothing (refused, or no such file) failed.
    if (unattended_ && !trawl_.Active()) {
        if (!conversion_.LastOutcome().converted) exitStatus_ = 1;
        if (files_.Known() && host_.MemoLineCount() > 0) {
            log_.Open();
            log_.WriteMemo();
            log_.Close();
        }
    }
    unattended_ = false;
    // After the command line, whose trawl would clear them away.
    for (const std::string& notice : startupNotices_) host_.AddMemoLine(notice);
}

bool Application::MayClose() {
    if (!view_.Modified()) return true;
    switch (host_.Confirm(T("dialog Save"), Buttons::YesNoCancel)) {
        case Answer::Cancel:
            return false;
        case Answer::Yes:
            // Cancelling the save dialog (or a failed save) keeps the window
            // and the edits.
            Jobs().SaveAs();
            return !view_.Modified();
        case Answer::No:
            return true;
    }
    return true;
}

void Application::Close() {
    // A trawl interrupted by the close keeps every line it wrote.
    trawl_.CloseLog();
    view_.DropPendingRead();
    view_.Store().Current = core::Image();
    // Without Start there is no program folder, so nothing on disk is ours.
    if (files_.Known()) {
        editor_.RemoveTemporaryFiles();
        SaveSettings();
    }
    language_.Clear();
}

bool Application::SaveSettings() {
    if (!files_.Known()) return false;  // not started: no settings file to write
    // Saved during the run too: the run's own DefaultDir (the trawl's) stays.
    Settings toSave = settings_;
    toSave.DefaultDir = std::string(core::FolderPart(settings_.CurrentFile));
    if (keepOptions_) {
        for (bool Settings::*option : kJobOptions) toSave.*option = optionsToKeep_.*option;
    }
    std::string refusal;
    if (settingsFile_.Write(toSave, refusal)) return true;
    // A file that was not read may hold settings this run never saw; the
    // start said so, and it stays as it is.
    if (!settingsFile_.ReadNotice().empty()) return false;
    // The close goes on; only this run's settings are lost.
    host_.ShowError(context_.Text(Message::SettingsNotWritten, settingsFile_.Path()) +
                    (refusal.empty() ? std::string() : ": " + refusal));
    return false;
}

void Application::TimerFired(TimerId id) {
    switch (id) {
        case TimerId::OpenDelayed:
            view_.OpenDelayed();
            break;
        case TimerId::WatchColour:
            editor_.CheckColourFile();
            break;
        case TimerId::WatchAlpha:
            editor_.CheckAlphaFile();
            break;
        case TimerId::CloseLog:
            log_.CloseAfterTrawl();
            break;
        case TimerId::TrawlSlow:
        case TimerId::TrawlFast:
            trawl_.Step();
            break;
        case TimerId::CloseWindow:
            host_.StopTimer(TimerId::CloseWindow);
            host_.RequestClose();
            break;
        case TimerId::OpenWithSetup:
            openWith_.InstallAfterStart();
            break;
    }
}

void Application::OpenDropped(const std::string& path) {
    if (!core::IsFolder(path)) {
        view_.OpenFile(path);
        return;
    }
    const std::string question =
        context_.Text(Message::TrawlFolderQuestion, core::FileNamePart(path));
    if (host_.Confirm(question, Buttons::YesNo) == Answer::Yes) trawl_.TrawlFolder(path);
}

bool Application::ToggleOption(bool Settings::*option) {
    settings_.*option = !(settings_.*option);
    // The user's own choice outlasts the run.
    optionsToKeep_.*option = settings_.*option;
    return settings_.*option;
}

void Application::ShowHelp(const std::string& dataDir) {
    const std::string& folder = files_.Folder();
    std::vector<std::string> candidates{folder + "help/Skeinpress.chm", folder + "Skeinpress.chm",
                                        folder + "help/index.html"};
    // The build and a portable copy keep the page beside the program, which
    // is not the program folder when that one is the user's.
    const std::string beside(core::FolderPart(files_.ProgramPath()));
    if (!beside.empty() && beside != folder) candidates.push_back(beside + "help/index.html");
    if (!dataDir.empty()) candidates.push_back(dataDir + "help/index.html");
    for (const auto& candidate : candidates) {
        if (core::IsFile(candidate)) {
            host_.OpenDocument(candidate);
            return;
        }
    }
}

}  // namespace app
