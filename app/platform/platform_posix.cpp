// The platform layer on Linux and other POSIX systems.
#include "app/platform/platform.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace app::platform {

namespace fs = std::filesystem;

namespace {

std::string WithoutTrailingSeparators(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::locale LocaleNamed(const std::string& name) {
    try {
        return std::locale(name.empty() ? "" : name.c_str());
    } catch (const std::runtime_error&) {
        // An unknown name, or a $LANG naming a locale that is not installed.
        return std::locale::classic();
    }
}

std::string Formatted(const std::tm& moment, const std::string& localeName, const char* format) {
    std::ostringstream out;
    out.imbue(LocaleNamed(localeName));
    out << std::put_time(&moment, format);
    return out.str();
}

}  // namespace

std::string ProgramPath() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return WithoutTrailingSeparators(home);
    // Services and sudo may run without $HOME: the password database still knows.
    const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr)
        return WithoutTrailingSeparators(found->pw_dir);
    return std::string();
}

std::string UserConfigFolder() {
    // A relative $XDG_CONFIG_HOME is invalid and is ignored, as the base
    // directory rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return WithoutTrailingSeparators(xdg);
    const std::string home = HomeFolder();
    if (home.empty()) return std::string();
    return (home == "/" ? "" : home) + "/.config";
}

bool FolderIsWritable(const std::string& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::tm LocalTime(std::time_t when) {
    std::tm moment{};
    ::localtime_r(&when, &moment);
    return moment;
}

std::string LongTimeText(const std::tm& moment, const std::string& localeName) {
    return Formatted(moment, localeName, "%X");
}

std::string ShortDateText(const std::tm& moment, const std::string& localeName) {
    return Formatted(moment, localeName, "%x");
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

std::ostream& StandardOutput() {
    return std::cout;
}

std::ostream& StandardError() {
    return std::cerr;
}

std::string ProgramPathForBatchFile(const std::string& programPath) {
    return programPath;
}

namespace {

// Lock-free, so the handler may set it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void NoteInterrupt(int) {
    interrupted.store(true);
}

}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    // Writes under way carry on rather than fail; the second signal is fatal.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
    return interrupted.load();
}

}  // namespace app::platform
