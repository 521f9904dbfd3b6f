#include "app/program_dir.h"

#include <filesystem>
#include <system_error>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/file_io.h"
#include "core/paths.h"

namespace app {

namespace fs = std::filesystem;

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty() || core::IsFolderSeparator(folder.back())) return folder;
    return folder + static_cast<char>(fs::path::preferred_separator);
}

std::string RunningProgramPath() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath().toStdString();
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.string();
    return std::string();
}

std::string UserConfigDir() {
    // Fixed to ".../skeinpress" rather than AppConfigLocation, which follows the
    // application and organisation names: both programs must share one folder.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString folder = QDir(base).filePath(QStringLiteral("skeinpress"));
    QDir().mkpath(folder);
    return WithTrailingSeparator(QDir::toNativeSeparators(folder).toStdString());
}

std::string ProgramDirFor(const std::string& programPath) {
    const std::string folder(core::FolderPart(programPath));
    if (!folder.empty()) {
        const QFileInfo info(QString::fromStdString(folder));
        if (info.isDir() && info.isWritable()) return folder;
    }
    return UserConfigDir();
}

std::string InstalledDataDir(const std::string& programPath) {
    const fs::path program(programPath);
    if (!program.has_parent_path()) return std::string();
    const fs::path prefix = program.parent_path().parent_path();
    return WithTrailingSeparator((prefix / "share" / "skeinpress").string());
}

std::string FindLanguageFile(const std::string& programDir, const std::string& programPath,
                             const std::string& languageFile) {
    if (languageFile.empty()) return std::string();
    if (fs::path(languageFile).is_absolute())
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
