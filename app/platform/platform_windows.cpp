// The platform layer on Windows. Texts cross the system's interface as UTF-16
// and are UTF-8 everywhere else.
#include "app/platform/platform.h"

#include <windows.h>
// windows.h first: the shell headers rely on its types.
#include <io.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <iterator>
#include <streambuf>
#include <string_view>

#include "core/io/wide_names.h"

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

// The names a file-name pattern matches, sorted, each with the pattern's
// folder; none when the argument is no pattern or matches nothing.
std::vector<std::string> PatternMatches(const std::wstring& argument) {
    std::vector<std::string> matches;
    const size_t nameStart = argument.find_last_of(L"\\/:") + 1;
    if (argument.find_first_of(L"*?", nameStart) == std::wstring::npos) return matches;
    const std::string folder = Utf8(argument.substr(0, nameStart));
    WIN32_FIND_DATAW entry;
    const HANDLE find =
        ::FindFirstFileExW(core::SystemName(Utf8(argument)).c_str(), FindExInfoBasic, &entry,
                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return matches;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..") matches.push_back(folder + Utf8(name));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    std::sort(matches.begin(), matches.end());
    return matches;
}

// Writes UTF-8 text to a console as UTF-16, a line (or a flush) at a time. A
// character cut in two by a flush waits for its other bytes.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override { Flush(); }

protected:
    int_type overflow(int_type c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        pending_ += traits_type::to_char_type(c);
        if (c == '\n' || pending_.size() >= kChunk) Flush();
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<size_t>(count));
        if (pending_.size() >= kChunk || std::find(text, text + count, '\n') != text + count)
            Flush();
        return count;
    }
    int sync() override {
        Flush();
        return 0;
    }

private:
    static constexpr size_t kChunk = 4096;

    // The length of `text` without an incomplete character at its end.
    static size_t CompleteLength(const std::string& text) {
        const size_t size = text.size();
        for (size_t back = 1; back <= std::min<size_t>(3, size); ++back) {
            const auto byte = static_cast<unsigned char>(text[size - back]);
            if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
            const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? size - back : size;
        }
        return size;
    }

    void Flush() {
        const size_t complete = CompleteLength(pending_);
        if (complete == 0) return;
        // Bytes that are not UTF-8 show as U+FFFD rather than stopping the output.
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(),
                                                 static_cast<int>(complete), nullptr, 0);
        std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(complete), wide.data(),
                              length);
        for (size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const DWORD count = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
            if (!::WriteConsoleW(console_, wide.data() + done, count, &written, nullptr) ||
                written == 0)
                break;
            done += written;
        }
        pending_.erase(0, complete);
    }

    HANDLE console_;
    std::string pending_;
};

HANDLE StandardHandle(std::FILE* stream) {
    const intptr_t handle = ::_get_osfhandle(::_fileno(stream));
    return handle == -1 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

bool IsConsole(HANDLE handle) {
    // _isatty() also says yes for the null device, a character device too.
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_CHAR &&
           ::GetConsoleMode(handle, &mode);
}

// The stream for stdout or stderr: through the console buffer on a console.
std::ostream& StandardStream(std::FILE* stream, std::ostream& plain) {
    const HANDLE handle = StandardHandle(stream);
    if (!IsConsole(handle)) return plain;
    plain.flush();
    static ConsoleBuffer* buffers[2] = {};
    static std::ostream* streams[2] = {};
    const int which = stream == stdout ? 0 : 1;
    if (streams[which] == nullptr) {
        // Kept to the program's end, so that nothing written late is lost.
        buffers[which] = new ConsoleBuffer(handle);
        streams[which] = new std::ostream(buffers[which]);
        if (which == 1) streams[which]->setf(std::ios::unitbuf);
    }
    return *streams[which];
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

std::vector<std::string> ProgramArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 1; i < count; ++i) {
        std::vector<std::string> matches = PatternMatches(wide[i]);
        if (matches.empty()) {
            arguments.push_back(Utf8(wide[i]));
        } else {
            arguments.insert(arguments.end(), matches.begin(), matches.end());
        }
    }
    ::LocalFree(wide);
    return arguments;
}

bool IsTerminal(std::FILE* stream) {
    return IsConsole(StandardHandle(stream));
}

std::ostream& StandardOutput() {
    return StandardStream(stdout, std::cout);
}

std::ostream& StandardError() {
    return StandardStream(stderr, std::cerr);
}

std::string ProgramPathForBatchFile(const std::string& programPath) {
    // The text in the OEM code page, or empty when a letter has no form there.
    const auto oem = [](const std::wstring& text) {
        BOOL lost = FALSE;
        const int size =
            ::WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(),
                                  static_cast<int>(text.size()), nullptr, 0, nullptr, &lost);
        std::string out(static_cast<size_t>(std::max(size, 0)), '\0');
        ::WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(),
                              static_cast<int>(text.size()), out.data(), size, nullptr, &lost);
        return lost ? std::string() : out;
    };
    const std::wstring wide = Wide(programPath);
    std::string text = oem(wide);
    if (!text.empty()) return text;
    std::wstring shortName(MAX_PATH, L'\0');
    const DWORD length =
        ::GetShortPathNameW(wide.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (length > 0 && length < shortName.size()) {
        shortName.resize(length);
        text = oem(shortName);
        if (!text.empty()) return text;
    }
    // Neither: the interpreter may still read it if its code page is UTF-8.
    return programPath;
}

namespace {

std::atomic<bool> interrupted{false};

// Called on a thread of its own; returning TRUE keeps the program alive for
// the job to stop (a close gives it a few seconds).
BOOL WINAPI NoteInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    interrupted.store(true);
    return TRUE;
}

}  // namespace

void CatchInterrupts() {
    ::SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

bool Interrupted() {
    return interrupted.load();
}

}  // namespace app::platform
