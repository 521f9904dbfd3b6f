#include "tests/support/test_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

#include "core/io/paths.h"

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    do {
        path_ = fs::temp_directory_path() /
                ("skeinpress-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    } while (!fs::create_directory(path_));
}

#if defined(_WIN32)
namespace {

std::wstring Wide(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end())).native();
}

// Tests make names longer than the C runtime under std::filesystem takes, so
// their folders are listed through the system's calls, in the long form of
// each name. Calls `visit` with each entry but "." and ".."; false when the
// folder cannot be listed.
template <typename Visit>
bool ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") visit(folder + L"\\" + name, entry.dwFileAttributes);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return true;
}

void RemoveTree(const std::wstring& folder) {
    ForEachEntry(folder, [](const std::wstring& path, DWORD attributes) {
        // Read-only files are made removable first.
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            RemoveTree(path);
        else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    });
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempDir::~TempDir() {
    RemoveTree(L"\\\\?\\" + path_.wstring());
}
#else
TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only files behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}
#endif

std::string TempDir::File(const std::string& name) const {
    return core::Utf8FromPath(path_ / core::PathFromUtf8(name));
}

fs::path SystemPath(const std::string& utf8) {
    fs::path path(std::u8string(utf8.begin(), utf8.end()));
#if defined(_WIN32)
    if (path.is_absolute() && path.native().size() >= MAX_PATH - 12 &&
        path.native().rfind(L"\\\\?\\", 0) != 0)
        path = L"\\\\?\\" + path.lexically_normal().make_preferred().native();
#endif
    return path;
}

ScopedVariable::ScopedVariable(const std::string& name, const std::optional<std::string>& value)
    : name_(name) {
#if defined(_WIN32)
    // The program reads the process's own UTF-16 block.
    const std::wstring wide = Wide(name);
    const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring old(size, L'\0');
        old.resize(GetEnvironmentVariableW(wide.c_str(), old.data(), size));
        const std::u8string utf8 = fs::path(old).u8string();
        old_ = std::string(utf8.begin(), utf8.end());
    }
#else
    if (const char* old = std::getenv(name.c_str())) old_ = old;
#endif
    Set(value);
}

ScopedVariable::~ScopedVariable() {
    Set(old_);
}

void ScopedVariable::Set(const std::optional<std::string>& value) {
#if defined(_WIN32)
    SetEnvironmentVariableW(Wide(name_).c_str(), value ? Wide(*value).c_str() : nullptr);
#else
    if (value)
        setenv(name_.c_str(), value->c_str(), 1);
    else
        unsetenv(name_.c_str());
#endif
}

void MakeNoRegularFile(const std::string& path) {
#if defined(_WIN32)
    ASSERT_TRUE(fs::create_directory(SystemPath(path)));
#else
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
#endif
}

void MarkReadOnly(const std::string& path) {
    fs::permissions(SystemPath(path),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

int EntriesIn(const std::string& folder) {
#if defined(_WIN32)
    int entries = 0;
    const bool listed =
        ForEachEntry(SystemPath(folder).native(), [&](const std::wstring&, DWORD) { ++entries; });
    return listed ? entries : -1;
#else
    return static_cast<int>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
#endif
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code error;  // a folder that cannot be made shows as the write's failure
    fs::create_directories(SystemPath(path).parent_path(), error);
    std::ofstream f(SystemPath(path), std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << "cannot write " << path;
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(SystemPath(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string WithLineFeeds(std::string text) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    return text;
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    for (size_t pos = 0, next; pos < text.size(); pos = next + end.size()) {
        next = std::min(text.find(end, pos), text.size());
        lines.push_back(text.substr(pos, next - pos));
    }
    return lines;
}

void FillImage(core::Image& image, int width, int height, int bytesPerPixel,
               const std::vector<uint8_t>& pixels, int alphaKind) {
    core::ByteBuffer buffer(pixels.begin(), pixels.end());
    if (alphaKind < 0) alphaKind = bytesPerPixel == 4 ? 2 : 0;
    image.AdoptPixels(std::move(buffer), width, height, alphaKind);
}

std::vector<uint8_t> MakeTga(int width, int height, int depth, const std::vector<uint8_t>& pixels,
                             uint8_t descriptor, uint8_t imageType) {
    std::vector<uint8_t> f(12, 0);
    f[2] = imageType;
    for (int v : {width, width >> 8, height, height >> 8, depth}) f.push_back(uint8_t(v & 0xFF));
    f.push_back(descriptor);
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

#if defined(_WIN32)
namespace {

// One argument as the C runtime's parser (CommandLineToArgvW) reads it back.
std::wstring QuotedArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only before a quote, which gets one of its own.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        out += c;
        backslashes = 0;
    }
    return out.append(backslashes * 2, L'\\') + L"\"";
}

HANDLE InheritableFile(const std::wstring& name, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts skeinpress-cli with the arguments and the given standard handles
// and waits for it; its exit status, or -1.
int RunCli(const std::vector<std::string>& args, HANDLE out, HANDLE err) {
    // The program lies beside the test programs' folder (the path is relative to it).
    wchar_t self[32768];
    const DWORD selfLength = GetModuleFileNameW(nullptr, self, 32768);
    const fs::path program =
        (fs::path(std::wstring(self, selfLength)).parent_path() / SystemPath(SKEINPRESS_CLI_PATH))
            .lexically_normal();
    std::wstring command = QuotedArgument(program.native());
    for (const std::string& a : args) command += L" " + QuotedArgument(Wide(a));
    // Its own configuration folder, so that nothing of the user's is read.
    TempDir config;
    const ScopedVariable appData("APPDATA", config.path().string());
    const HANDLE in = InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    int status = -1;
    if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << program;
    }
    CloseHandle(in);
    return status;
}

}  // namespace

CliResult RunCliProgram(const std::vector<std::string>& args) {
    TempDir dir;
    const HANDLE out =
        InheritableFile(SystemPath(dir.File("out.txt")).native(), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err =
        InheritableFile(SystemPath(dir.File("err.txt")).native(), GENERIC_WRITE, CREATE_ALWAYS);
    const int status = RunCli(args, out, err);
    CloseHandle(out);
    CloseHandle(err);
    return {status, WithLineFeeds(ReadText(dir.File("out.txt"))),
            WithLineFeeds(ReadText(dir.File("err.txt")))};
}

std::string RunCliProgramOnConsole(const std::vector<std::string>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE screen =
        CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "the tests need a console (under Wine: a terminal on standard input)";
        return std::string();
    }
    // Wide enough that no line wraps.
    constexpr SHORT kColumns = 400, kRows = 200;
    SetConsoleScreenBufferSize(screen, {kColumns, kRows});
    RunCli(args, screen, screen);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::wstring shown;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
        std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, line.data(), info.dwSize.X, {0, row}, &read);
        line.resize(line.find_last_not_of(L' ') + 1);
        shown += line + L"\n";
    }
    CloseHandle(screen);
    const std::u8string utf8 = fs::path(shown).u8string();
    return std::string(utf8.begin(), utf8.end());
}
#else
CliResult RunCliProgram(const std::vector<std::string>& args) {
    TempDir dir;
    const auto quoted = [](const std::string& text) {
        std::string out = "'";
        for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    // Its own configuration folder, so that nothing of the user's is read.
    std::string command =
        "XDG_CONFIG_HOME=" + quoted(dir.path().string()) + " " + quoted(SKEINPRESS_CLI_PATH);
    for (const std::string& a : args) command += " " + quoted(a);
    command +=
        " >" + quoted(dir.File("out.txt")) + " 2>" + quoted(dir.File("err.txt")) + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(dir.File("out.txt")),
            ReadText(dir.File("err.txt"))};
}
#endif

}  // namespace testing_support
