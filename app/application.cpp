#include "app/application.h"

#include <algorithm>

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
      session_(host_, &host_, &host_),
      view_(session_.context(), session_.store(), host_, host_, host_, host_, pick_,
            [this] { return trawl().Active() || conversion().ConvertingEntry(); }),
      editing_(session_.context(), host_, view_, pick_),
      editor_(session_.context(), host_, host_, host_, view_, pick_),
      openWith_(session_.context(), host_, host_),
      ownJobs_(std::make_unique<OwnJobs>(settings(), trawl(), conversion(), view_)) {
    // The desktop program shows each file it converts.
    conversion().ShowOn({[this](ReadOutcome read) { view_.ShowRead(read); },
                         [this] { view_.Redraw(); },
                         [this] { return trawl().Active() || unattended_; }});
}

Application::~Application() = default;

CommandLineJobs& Application::Jobs() {
    return jobs_ ? *jobs_ : *ownJobs_;
}

void Application::Start(const std::string& programDir, const std::string& programPath) {
    const std::string lastFile = session_.Start(programDir, programPath);
    host_.SetRecentFileCaption("  " + lastFile);
    host_.StartTimer(TimerId::OpenWithSetup, 1000);
    // The trawl's step timer runs from the start (idle steps until a trawl).
    host_.StartTimer(TimerId::TrawlSlow, settings().TrawlSpeed);
}

void Application::RunCommandLine(const std::vector<std::string>& args) {
    host_.ClearMemo();
    optionsToKeep_ = settings();
    keepOptions_ = true;
    unattended_ = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return core::ToLowerAscii(arg) == "-close";
    });
    conversion().ForgetOutcome();
    app::RunCommandLine(*this, args, Jobs());
    // A trawl keeps its own log and runs on; a file's conversion is done, and
    // one that wrote nothing (refused, or no such file) failed.
    if (unattended_ && !trawl().Active()) {
        if (!conversion().LastOutcome().converted) exitStatus_ = 1;
        if (files().Known() && host_.MemoLineCount() > 0) {
            log().Open();
            log().WriteMemo();
            log().Close();
        }
    }
    unattended_ = false;
    // After the command line, whose trawl would clear them away.
    for (const std::string& notice : StartupNotices()) host_.AddMemoLine(notice);
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
    trawl().CloseLog();
    view_.DropPendingRead();
    view_.Store().Current = core::Image();
    // Without Start there is no program folder, so nothing on disk is ours.
    if (files().Known()) {
        editor_.RemoveTemporaryFiles();
        SaveSettings();
    }
    language().Clear();
}

bool Application::SaveSettings() {
    if (!files().Known()) return false;  // not started: no settings file to write
    // Saved during the run too: the run's own DefaultDir (the trawl's) stays.
    Settings toSave = settings();
    toSave.DefaultDir = std::string(core::FolderPart(settings().CurrentFile));
    if (keepOptions_) {
        for (bool Settings::*option : kJobOptions) toSave.*option = optionsToKeep_.*option;
    }
    return session_.WriteSettings(toSave);
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
            host_.StopTimer(TimerId::CloseLog);
            log().CloseAfterTrawl();
            break;
        case TimerId::TrawlSlow:
        case TimerId::TrawlFast:
            trawl().Step();
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
        session_.context().Text(Message::TrawlFolderQuestion, core::FileNamePart(path));
    if (host_.Confirm(question, Buttons::YesNo) == Answer::Yes) trawl().TrawlFolder(path);
}

void Application::ChooseTrawlFolder() {
    if (auto folder = host_.PickFolder(session_.context().Text(Message::ChooseTrawlFolder),
                                       settings().DefaultDir))
        trawl().TrawlFolder(*folder);
}

void Application::ViewTrawlLog() {
    const std::string path = log().Path();
    if (core::IsFile(path)) {
        host_.OpenDocument(path);
    } else {
        host_.AddMemoLine(T("message Nothing3"));
    }
}

void Application::DeleteTrawlLog() {
    if (host_.Confirm(T("dialog Delete"), Buttons::YesNo) != Answer::Yes) return;
    log().Delete(trawl().Active());
}

bool Application::ToggleOption(bool Settings::*option) {
    Settings& s = settings();
    s.*option = !(s.*option);
    // The user's own choice outlasts the run.
    optionsToKeep_.*option = s.*option;
    return s.*option;
}

void Application::ShowHelp(const std::string& dataDir) {
    const std::string& folder = files().Folder();
    std::vector<std::string> candidates{folder + "help/Skeinpress.chm", folder + "Skeinpress.chm",
                                        folder + "help/index.html"};
    // The build and a portable copy keep the page beside the program, which
    // is not the program folder when that one is the user's.
    const std::string beside(core::FolderPart(files().ProgramPath()));
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
