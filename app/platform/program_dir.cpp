#include "app/platform/program_dir.h"

#include <filesystem>
#include <system_error>

#include "app/platform/platform.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace app {

namespace fs = std::filesystem;

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty() || core::IsFolderSeparator(folder.back())) return folder;
    return folder + static_cast<char>(fs::path::preferred_separator);
}

std::string RunningProgramPath() {
    return platform::ProgramPath();
}

std::string UserConfigDir() {
    // One folder for both programs, whatever either calls itself.
    const std::string base = platform::UserConfigFolder();
    if (base.empty()) return std::string();
    const std::string folder = core::JoinPath(base, "skeinpress");
    std::error_code ec;
    fs::create_directories(core::PathFromUtf8(folder), ec);
    return WithTrailingSeparator(folder);
}

std::string ProgramDirFor(const std::string& programPath) {
    // A program with its installed data folder beside it is installed, whoever
    // may write to its folder (root may write to /usr/bin): only a program
    // unpacked into a folder of its own keeps its files beside it.
    const std::string folder(core::FolderPart(programPath));
    if (!folder.empty() && !core::IsFolder(InstalledDataDir(programPath)) &&
        platform::FolderIsWritable(folder))
        return folder;
    return UserConfigDir();
}

std::string InstalledDataDir(const std::string& programPath) {
    const fs::path program = core::PathFromUtf8(programPath);
    if (!program.has_parent_path()) return std::string();
    const fs::path prefix = program.parent_path().parent_path();
    return WithTrailingSeparator(core::Utf8FromPath(prefix / "share" / "skeinpress"));
}

std::string FindLanguageFile(const std::string& programDir, const std::string& programPath,
                             const std::string& languageFile) {
    if (languageFile.empty()) return std::string();
    if (core::PathFromUtf8(languageFile).is_absolute())
        return core::IsFile(languageFile) ? languageFile : std::string();
    for (const std::string& folder :
         {programDir, WithTrailingSeparator(std::string(core::FolderPart(programPath)))}) {
        if (!folder.empty() && core::IsFile(folder + languageFile)) return folder + languageFile;
    }
    const std::string dataDir = InstalledDataDir(programPath);
    if (!dataDir.empty() && core::IsFile(dataDir + languageFile)) return dataDir + languageFile;
    return std::string();
}

}  // namespace app
