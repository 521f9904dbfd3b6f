#include <ostream>

#include "app/platform/program_dir.h"
#include "app/settings/mem_ini.h"
#include "cli/commands/commands.h"

namespace cli {

int PathsCommand(const Options& options, const std::vector<std::string>& args, Streams io) {
    if (!args.empty()) {
        io.err << "skeinpress-cli: paths takes no arguments\n";
        return kExitUsage;
    }
    const std::string programDir = ProgramDirOf(options, io.err);
    if (programDir.empty()) return kExitFailed;
    const app::TMemIni settings(programDir + app::kSettingsFileName);
    const std::string languageName =
        settings.ReadString("File", "Language", app::kDefaultLanguageFile);
    const std::string language =
        app::FindLanguageFile(programDir, app::RunningProgramPath(), languageName);
    io.out << "program folder: " << programDir << "\n"
           << "settings file:  " << settings.FileName()
           << (settings.ReadProblem().empty() ? "" : " (not read: " + settings.ReadProblem() + ")")
           << "\n"
           << "language file:  "
           << (language.empty() ? "none found (" + languageName + ")" : language) << "\n";
    return kExitOk;
}

}  // namespace cli
