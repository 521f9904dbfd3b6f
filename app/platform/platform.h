// What Linux and Windows do differently for the application layer: where the
// running program lives, where a user's configuration goes, how the user's
// locale writes a time and a date, and what a console program meets: its
// arguments, its console, the command interpreter's batch files. Every text
// here is UTF-8; folders come without a separator at their end.
#pragma once

#include <cstdio>
#include <ctime>
#include <iosfwd>
#include <string>
#include <vector>

namespace app::platform {

// The running program file's full path; empty when the system cannot tell.
std::string ProgramPath();

// The user's home folder ($HOME; %USERPROFILE%); empty when there is none.
std::string HomeFolder();

// The folder below which per-user configuration goes (the program adds its own
// subfolder): $XDG_CONFIG_HOME when it is an absolute path, else ~/.config;
// %APPDATA% on Windows. Empty when none can be found.
std::string UserConfigFolder();

// Whether the program may create files in `folder` (an existing folder).
bool FolderIsWritable(const std::string& folder);

// `when` as local time.
std::tm LocalTime(std::time_t when);

// A moment as a locale writes it: the long time format ("14:05:09") and the
// short date format ("05/12/2026"). `localeName` names the locale in the
// system's own terms ("de_DE.UTF-8" on Linux, "de-DE" on Windows); empty means
// the user's own. A name the system does not know gives the neutral locale's
// forms (14:05:09, and 12/05/26 on Linux, 12/05/2026 on Windows).
std::string LongTimeText(const std::tm& moment, const std::string& localeName = {});
std::string ShortDateText(const std::tm& moment, const std::string& localeName = {});

// The program's arguments after its own name. Windows hands main() its
// arguments in the ANSI code page, so there they come from the wide command
// line; a file-name pattern ("*.texture"), which the command interpreter
// there leaves to the program, becomes the names it matches.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether `stream` (stdout or stderr) is a terminal or console: not a file, a
// pipe or the null device.
bool IsTerminal(std::FILE* stream);

// The standard output and error streams, taking UTF-8. A Windows console gets
// the text as UTF-16, whatever its code page; anything else gets the bytes.
std::ostream& StandardOutput();
std::ostream& StandardError();

// From now on an interrupt (Ctrl-C, SIGINT, SIGTERM; the console's Ctrl-C,
// Ctrl-Break and close on Windows) only sets a flag that a long job checks
// to stop cleanly; a second one ends the program as usual (POSIX).
void CatchInterrupts();
bool Interrupted();

// The program's path as a batch file names it. The command interpreter reads
// batch files in the console's code page (the OEM code page on Windows): the
// path goes in that code page, or in its short form where the code page lacks
// one of its letters. Elsewhere the path is unchanged.
std::string ProgramPathForBatchFile(const std::string& programPath);

}  // namespace app::platform
