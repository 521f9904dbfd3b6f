// skeinpress-cli trawl DIR: the desktop program's trawl, run on the console.
#include <ostream>

#include "app/application.h"
#include "app/program_dir.h"
#include "cli/cli.h"
#include "cli/console_host.h"

namespace cli {

namespace {

struct TrawlOption {
    const char* name;  // without "--"; "--no-" + name switches it off
    bool app::Settings::*flag;
};

constexpr TrawlOption kTrawlOptions[] = {
    {"textures", &app::Settings::DoTextures},
    {"bmp", &app::Settings::DoBMPs},
    {"jpg", &app::Settings::DoJPGs},
    {"fix-uniform", &app::Settings::FixUniformColour},
    {"overwrite", &app::Settings::OverwriteTGAs},
};

}  // namespace

bool ParseSettingsOption(const std::string& arg, std::vector<SettingsOverride>& overrides) {
    for (const TrawlOption& option : kTrawlOptions) {
        if (arg == std::string("--") + option.name) {
            overrides.push_back({option.flag, true});
            return true;
        }
        if (arg == std::string("--no-") + option.name) {
            overrides.push_back({option.flag, false});
            return true;
        }
    }
    return false;
}

void ApplySettingsOverrides(app::Settings& settings,
                            const std::vector<SettingsOverride>& overrides) {
    for (const SettingsOverride& o : overrides) settings.*(o.flag) = o.value;
}

int TrawlCommand(const Options& options, const std::vector<std::string>& args, Streams io) {
    std::vector<SettingsOverride> overrides;
    std::vector<std::string> folders;
    for (const std::string& a : args) {
        if (a == "--help") {
            PrintUsage(io.out);
            return kExitOk;
        }
        if (ParseSettingsOption(a, overrides)) continue;
        if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            io.err << "skeinpress-cli trawl: unknown option " << a << "\n";
            return kExitUsage;
        }
        folders.push_back(a);
    }
    if (folders.size() != 1) {
        io.err << "skeinpress-cli trawl: give exactly one folder (try --help)\n";
        return kExitUsage;
    }

    const std::string programDir = ProgramDirOf(options);
    if (programDir.empty()) {
        io.err << "skeinpress-cli: cannot use the folder " << options.home << "\n";
        return kExitFailed;
    }

    ConsoleHost host(io.out, io.err);
    app::Application application(host);
    // Reads the settings file and the language file; the settings are never
    // written back by the command line.
    application.FormCreate(programDir, app::RunningProgramPath());
    // No idle steps on the console: the step timers run only for the trawl.
    host.StopTimer(app::TimerId::TrawlSlow);
    host.StopTimer(app::TimerId::TrawlFast);
    app::Settings& settings = application.settings();
    ApplySettingsOverrides(settings, overrides);
    settings.DefaultDir = folders[0];

    host.SetTimerHandler(app::TimerId::TrawlFast, [&] { application.Timer5Timer(); });
    host.SetTimerHandler(app::TimerId::TrawlSlow, [&] { application.Timer5Timer(); });
    host.SetTimerHandler(app::TimerId::CloseLog, [&] { application.Timer4Timer(); });
    application.StartClick();
    if (!application.TrawlActive) return kExitFailed;  // the folder does not exist
    host.RunTimers();
    application.CloseLogOnExit();
    return host.MessageCount() == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
