#include "app/session.h"

#include "app/platform/program_dir.h"

namespace app {

Session::Session(Messages& messages, ProgressDisplay* progress, Timers* timers)
    : context_{messages, settings_, language_, files_},
      conversion_(messages, settings_, language_, store_),
      log_(context_),
      trawl_(context_, log_, conversion_, progress, timers) {}

std::string Session::Start(const std::string& programDir, const std::string& programPath) {
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
    return lastFile;
}

bool Session::WriteSettings(const Settings& toSave) {
    std::string refusal;
    if (settingsFile_.Write(toSave, refusal)) return true;
    if (!settingsFile_.ReadNotice().empty()) return false;
    // The close goes on; only this run's settings are lost.
    context_.messages.ShowError(context_.Text(Message::SettingsNotWritten, settingsFile_.Path()) +
                                (refusal.empty() ? std::string() : ": " + refusal));
    return false;
}

}  // namespace app
