// Where one run of the program keeps its own files: the settings file, the
// trawl log and the editor's temporary pictures, all in the program folder.
#pragma once

#include <string>

#include "app/platform/program_dir.h"

namespace app {

class ProgramFiles {
public:
    ProgramFiles() = default;
    // `folder` is given a folder separator at its end.
    ProgramFiles(const std::string& folder, std::string programPath)
        : folder_(WithTrailingSeparator(folder)), programPath_(std::move(programPath)) {}

    // Before start-up there is no program folder, and nothing on disk is ours.
    bool Known() const { return !folder_.empty(); }
    const std::string& Folder() const { return folder_; }
    const std::string& ProgramPath() const { return programPath_; }

    std::string SettingsFile() const { return folder_ + kSettingsFileName; }
    std::string TrawlLog() const { return folder_ + "Trawl_Log.txt"; }
    std::string TempImage() const { return folder_ + "tempimage.bmp"; }
    std::string TempAlpha() const { return folder_ + "tempalpha.bmp"; }

private:
    std::string folder_;
    std::string programPath_;
};

}  // namespace app
