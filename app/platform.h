// What Linux and Windows do differently for the application layer: where the
// running program lives, where a user's configuration goes, and how the user's
// locale writes a time and a date. Every text here is UTF-8; folders come
// without a separator at their end.
#pragma once

#include <ctime>
#include <string>

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

}  // namespace app::platform
