// Where the program keeps its files: the settings file, the language file, the
// trawl log and the editor's temporary pictures.
#pragma once

#include <string>

namespace app {

// The settings file in the program's folder, shared by both programs.
inline constexpr const char* kSettingsFileName = "skeinpress.ini";
inline constexpr const char* kDefaultLanguageFile = "English.txt";

// The full path of the running program file.
std::string RunningProgramPath();

// The folder for the program's own files, ending with a folder separator: the
// program's folder when it is writable (a portable install), otherwise the
// per-user configuration folder "skeinpress" (created when missing). The
// desktop program and skeinpress-cli both land in the same place.
std::string ProgramDirFor(const std::string& programPath);

// The per-user configuration folder, ending with a separator.
std::string UserConfigDir();

// The installed data folder of a program at `programPath`: <prefix>/share/skeinpress/
// for a program in <prefix>/bin (or any other folder directly below <prefix>).
std::string InstalledDataDir(const std::string& programPath);

// The language file to load: `programDir` + name when it exists, else the one
// beside the program, else the one in the installed data folder, else "" (no
// file). A program folder given on the command line thus still finds them.
std::string FindLanguageFile(const std::string& programDir, const std::string& programPath,
                             const std::string& languageFile);

// `folder` with a folder separator at its end (unchanged when it has one or is empty).
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace app
