// The platform layer on Windows. Texts cross the system's interface as UTF-16
// and are UTF-8 everywhere else.
#include "app/platform.h"

#include <windows.h>
// windows.h first: the shell header relies on its types.
#include <knownfolders.h>
#include <shlobj.h>

#include <iterator>
#include <string_view>

#include "core/wide_names.h"

namespace app::platform {

namespace {

std::string Utf8(std::wstring_view text) {
    return core::Utf8FromWide(text);
}

std::wstring Wide(std::string_view text) {
    return core::WideFromUtf8(text);
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// "C:\Users\" becomes "C:\Users"; a drive's root keeps its separator.
std::wstring WithoutTrailingSeparators(std::wstring folder) {
    while (folder.size() > 1 && IsSeparator(folder.back()) &&
           !(folder.size() == 3 && folder[1] == L':'))
        folder.pop_back();
    return folder;
}

std::wstring Environment(const wchar_t* name) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring value(size, L'\0');
    const DWORD written = ::GetEnvironmentVariableW(name, value.data(), size);
    value.resize(written < size ? written : 0);
    return value;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (::SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK) folder = path;
    ::CoTaskMemFree(path);
    return folder;
}

// The folder an environment variable names, else the shell's known folder.
std::string FolderFrom(const wchar_t* variable, REFKNOWNFOLDERID id) {
    std::wstring folder = Environment(variable);
    if (folder.empty()) folder = KnownFolder(id);
    return Utf8(WithoutTrailingSeparators(folder));
}

SYSTEMTIME SystemTimeOf(const std::tm& moment) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(moment.tm_year + 1900);
    time.wMonth = static_cast<WORD>(moment.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(moment.tm_wday);
    time.wDay = static_cast<WORD>(moment.tm_mday);
    time.wHour = static_cast<WORD>(moment.tm_hour);
    time.wMinute = static_cast<WORD>(moment.tm_min);
    time.wSecond = static_cast<WORD>(moment.tm_sec);
    return time;
}

// The locale to format with: the user's own for an empty name, the neutral
// one for a name the system does not know.
std::wstring LocaleFor(const std::string& name) {
    if (name.empty()) return std::wstring();
    std::wstring wide = Wide(name);
    return ::IsValidLocaleName(wide.c_str()) ? wide : std::wstring(LOCALE_NAME_INVARIANT);
}

const wchar_t* LocaleArgument(const std::wstring& locale, const std::string& name) {
    return name.empty() ? LOCALE_NAME_USER_DEFAULT : locale.c_str();
}

}  // namespace

std::string ProgramPath() {
    // Long install paths are allowed: grow the buffer until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            return Utf8(path);
        }
        if (path.size() >= 32768) return std::string();
        path.resize(path.size() * 2);
    }
}

std::string HomeFolder() {
    return FolderFrom(L"USERPROFILE", FOLDERID_Profile);
}

std::string UserConfigFolder() {
    return FolderFrom(L"APPDATA", FOLDERID_RoamingAppData);
}

bool FolderIsWritable(const std::string& folder) {
    // The read-only attribute means nothing on a folder and access rights are
    // hard to read: only creating a file tells. The probe goes when its handle
    // closes.
    const std::wstring name = core::SystemName(folder);
    const DWORD attributes =
        name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    std::string probe = folder;
    if (!IsSeparator(static_cast<wchar_t>(probe.back()))) probe += '\\';
    probe += "skeinpress-write-probe-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(::GetTickCount64()) + ".tmp";
    const HANDLE handle = ::CreateFileW(
        core::SystemName(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(handle);
    return true;
}

std::tm LocalTime(std::time_t when) {
    std::tm moment{};
    ::localtime_s(&moment, &when);
    return moment;
}

std::string LongTimeText(const std::tm& moment, const std::string& localeName) {
    const std::wstring locale = LocaleFor(localeName);
    const SYSTEMTIME time = SystemTimeOf(moment);
    wchar_t text[128];
    const int length = ::GetTimeFormatEx(LocaleArgument(locale, localeName), 0, &time, nullptr,
                                         text, static_cast<int>(std::size(text)));
    return length > 1 ? Utf8(std::wstring_view(text, static_cast<size_t>(length - 1)))
                      : std::string();
}

std::string ShortDateText(const std::tm& moment, const std::string& localeName) {
    const std::wstring locale = LocaleFor(localeName);
    const SYSTEMTIME time = SystemTimeOf(moment);
    wchar_t text[128];
    const int length = ::GetDateFormatEx(LocaleArgument(locale, localeName), DATE_SHORTDATE, &time,
                                         nullptr, text, static_cast<int>(std::size(text)), nullptr);
    return length > 1 ? Utf8(std::wstring_view(text, static_cast<size_t>(length - 1)))
                      : std::string();
}

}  // namespace app::platform
