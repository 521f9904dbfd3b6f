// The settings file: read once at start into the run's settings, written back
// once at close. The file is kept in memory between the two, so sections and
// keys of the user's own survive, in their order.
#pragma once

#include <memory>
#include <string>

#include "app/settings/settings.h"

namespace app {

class TMemIni;

class SettingsFile {
public:
    SettingsFile();
    ~SettingsFile();

    // Reads the file at `path` into `settings`: what it lacks or holds
    // unreadably takes the default, ranges are clamped. CurrentFile is the
    // default folder and the last file joined. Returns the last file's name.
    std::string Read(const std::string& path, Settings& settings);
    const std::string& Path() const;
    // What was wrong with the file when it was read, as a memo line; empty
    // when it was read completely or did not exist.
    std::string ReadNotice() const;
    // Writes `settings`. False when the file was not read (it may hold
    // settings this run never saw, and is left as it is) or cannot be
    // written; then `refusal` says why when the file itself refused.
    bool Write(const Settings& settings, std::string& refusal);

private:
    std::unique_ptr<TMemIni> ini_;
};

}  // namespace app
