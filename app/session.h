// What a run of the program has whether or not a window shows it: the
// program's files, the settings and their file, the language, the image store
// the conversion works on, the conversion itself and the trawl with its log.
// skeinpress-cli runs on a session alone; the desktop's Application builds
// its window's parts on one.
#pragma once

#include <string>
#include <vector>

#include "app/context.h"
#include "app/convert/conversion.h"
#include "app/host.h"
#include "app/platform/program_files.h"
#include "app/settings/language.h"
#include "app/settings/settings.h"
#include "app/settings/settings_file.h"
#include "app/trawl/trawl_log.h"
#include "app/trawl/trawl_walk.h"
#include "core/image/image_store.h"

namespace app {

class Session {
public:
    // Reports to `messages`. The trawl shows its progress on `progress` and
    // is stepped from `timers` when they are given (trawl_walk.h); without
    // them its owner steps it.
    explicit Session(Messages& messages, ProgressDisplay* progress = nullptr,
                     Timers* timers = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Context& context() const { return context_; }
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    Language& language() { return language_; }
    const Language& language() const { return language_; }
    const ProgramFiles& files() const { return files_; }
    // The translated text of a key ("String Not Translated" when missing).
    std::string T(const std::string& key) const { return language_.Translate(key); }

    // The open image: what the conversion reads into and the window shows.
    core::ImageStore& store() { return store_; }
    Conversion& conversion() { return conversion_; }
    const Conversion& conversion() const { return conversion_; }
    TrawlLog& log() { return log_; }
    TrawlWalk& trawl() { return trawl_; }
    const TrawlWalk& trawl() const { return trawl_; }

    // Reads the settings and the language file from `programDir` (the
    // program's own folder, or the user's; given a separator at its end).
    // Returns the name of the file last open, for the recent-file item.
    std::string Start(const std::string& programDir, const std::string& programPath);
    // What Start found wrong with the settings or language file, as memo lines.
    const std::vector<std::string>& StartupNotices() const { return startupNotices_; }
    // Writes `toSave` to the settings file read by Start. False when it cannot
    // be written: a message box names the file, unless the start already said
    // the file was not read (it may hold settings this run never saw, and
    // stays as it is).
    bool WriteSettings(const Settings& toSave);

private:
    Settings settings_;
    Language language_;
    ProgramFiles files_;
    Context context_;
    SettingsFile settingsFile_;
    std::vector<std::string> startupNotices_;
    core::ImageStore store_;
    Conversion conversion_;
    TrawlLog log_;
    TrawlWalk trawl_;
};

}  // namespace app
