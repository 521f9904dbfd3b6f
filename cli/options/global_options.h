// The options given before the command name, and the program's folder they
// decide.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace app {
class Session;
}

namespace cli {

struct Options {
    // --home DIR: the folder used as the program's folder (settings file,
    // language file, trawl log), so scripts and tests can give a clean one.
    std::string home;
};

// Takes the global options off the front of `args`. False, with a message on
// `err`, when one is incomplete.
bool ParseGlobalOptions(std::vector<std::string>& args, Options& options, std::ostream& err);

// The folder the commands keep the program's files in, ending with a folder
// separator: --home (created when missing), else the desktop program's place.
// Empty, after a message on `err`, when --home cannot be created.
std::string ProgramDirOf(const Options& options, std::ostream& err);

// Starts `session` in the program's folder: it reads the settings file
// (never written back by the command line) and the language file, and what it
// found wrong with them is told once on `err`. False, after a message, when
// there is no program folder.
bool StartSession(app::Session& session, const Options& options, std::ostream& err);

}  // namespace cli
