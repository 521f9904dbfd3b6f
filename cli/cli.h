// The commands of skeinpress-cli. Each takes the arguments after its name and
// returns the process exit status: 0 all files succeeded, 1 some failed, 2 usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/settings/settings.h"

namespace app {
class Application;
}

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// Options given before the command name.
struct Options {
    // --home DIR: the folder used as the program's folder (settings file,
    // language file, trawl log), so scripts and tests can give a clean one.
    std::string home;
};

int RunCli(const std::vector<std::string>& args, Streams io);

// The report line of one converted file: "SOURCE -> TARGET", naming every file
// the save wrote (a cube map's six faces).
std::string ConvertedLine(const std::string& source, const std::vector<std::string>& written);
// Takes the global options off the front of `args`. False, with a message on
// `err`, when one is incomplete.
bool ParseGlobalOptions(std::vector<std::string>& args, Options& options, std::ostream& err);
// The folder the commands keep the program's files in, ending with a folder
// separator: --home (created when missing), else the desktop program's place.
// Empty, after a message on `err`, when --home cannot be created.
std::string ProgramDirOf(const Options& options, std::ostream& err);

int PathsCommand(const Options& options, const std::vector<std::string>& args, Streams io);
int InfoCommand(const std::vector<std::string>& args, Streams io);
// Each file is converted through the application's one conversion: without
// edit options as the trawl converts it, with the settings file of the
// program's folder; with them, the edits alone.
int ConvertCommand(const Options& options, const std::vector<std::string>& args, Streams io);
int TrawlCommand(const Options& options, const std::vector<std::string>& args, Streams io);

// The option switches that set a settings flag for one run: --textures, --bmp,
// --jpg, --fix-uniform, --overwrite, each with a --no- form.
struct SettingsOverride {
    bool app::Settings::*flag;
    bool value;
};
// True (noting the override) when `arg` is one of them.
bool ParseSettingsOption(const std::string& arg, std::vector<SettingsOverride>& overrides);
void ApplySettingsOverrides(app::Settings& settings,
                            const std::vector<SettingsOverride>& overrides);

void PrintUsage(std::ostream& out);

// What the application found wrong with the settings or language file, once,
// on the error stream.
void PrintStartupNotices(const app::Application& application, std::ostream& err);

// JSON string literal (with quotes) for a text; bytes that are not well-formed
// UTF-8 are written as \ufffd, so the line stays valid JSON.
std::string JsonString(const std::string& text);

}  // namespace cli
