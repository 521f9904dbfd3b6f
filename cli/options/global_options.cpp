#include "cli/options/global_options.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#include "app/platform/program_dir.h"
#include "app/session.h"
#include "cli/options/options.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace cli {

bool ParseGlobalOptions(std::vector<std::string>& args, Options& options, std::ostream& err) {
    size_t used = 0;
    std::optional<std::string> home;
    while (used < args.size() && TakeValueOption(args, used, {"--home"}, home)) {
        if (!home || home->empty()) {
            err << "skeinpress-cli: --home needs a folder\n";
            return false;
        }
        options.home = *home;
        ++used;
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(used));
    return true;
}

std::string ProgramDirOf(const Options& options, std::ostream& err) {
    if (options.home.empty()) return app::ProgramDirFor(app::RunningProgramPath());
    std::error_code ec;
    std::filesystem::create_directories(core::PathFromUtf8(options.home), ec);
    if (!core::IsFolder(options.home)) {
        err << "skeinpress-cli: cannot create the folder \"" << options.home << "\"\n";
        return std::string();
    }
    return app::WithTrailingSeparator(options.home);
}

bool StartSession(app::Session& session, const Options& options, std::ostream& err) {
    const std::string programDir = ProgramDirOf(options, err);
    if (programDir.empty()) return false;
    session.Start(programDir, app::RunningProgramPath());
    for (const std::string& notice : session.StartupNotices()) {
        const size_t start = notice.find_first_not_of(' ');
        err << "skeinpress-cli: " << (start == std::string::npos ? notice : notice.substr(start))
            << "\n";
    }
    return true;
}

}  // namespace cli
