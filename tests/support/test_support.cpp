#include "tests/support/test_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    for (;;) {
        path_ = fs::temp_directory_path() /
                ("skeinpress-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        if (fs::create_directory(path_)) break;
    }
}

#if defined(_WIN32)
namespace {

// Tests make names longer than the C runtime under std::filesystem takes, so
// the tree goes through the system's calls, in the long form of each name.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            // Read-only files are made removable first.
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
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

fs::path SystemPath(const std::string& utf8) {
    fs::path path(std::u8string(utf8.begin(), utf8.end()));
#if defined(_WIN32)
    if (path.is_absolute() && path.native().size() >= MAX_PATH - 12 &&
        path.native().rfind(L"\\\\?\\", 0) != 0)
        path = L"\\\\?\\" + path.lexically_normal().make_preferred().native();
#endif
    return path;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(SystemPath(path), std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << "cannot write " << path;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(SystemPath(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    std::ifstream f(SystemPath(path), std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    for (size_t pos = 0, next; pos < text.size(); pos = next + end.size()) {
        next = std::min(text.find(end, pos), text.size());
        lines.push_back(text.substr(pos, next - pos));
    }
    return lines;
}

void FillStore(core::ImageStore& store, int width, int height, int bytesPerPixel,
               const std::vector<uint8_t>& pixels, int alphaKind) {
    core::ByteBuffer buffer(pixels.begin(), pixels.end());
    if (alphaKind < 0) alphaKind = bytesPerPixel == 4 ? 2 : 0;
    store.AdoptPixels(std::move(buffer), width, height, alphaKind);
}

std::vector<uint8_t> MakeTga(int width, int height, int depth, const std::vector<uint8_t>& pixels,
                             uint8_t descriptor, uint8_t imageType) {
    std::vector<uint8_t> f(18, 0);
    f[2] = imageType;
    f[12] = static_cast<uint8_t>(width & 0xFF);
    f[13] = static_cast<uint8_t>(width >> 8);
    f[14] = static_cast<uint8_t>(height & 0xFF);
    f[15] = static_cast<uint8_t>(height >> 8);
    f[16] = static_cast<uint8_t>(depth);
    f[17] = descriptor;
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

// The program is there only where app/ and cli/ are built; on Windows they are
// not built yet.
#if defined(SKEINPRESS_CLI_PATH) && !defined(_WIN32)
CliResult RunCliProgram(const std::vector<std::string>& args) {
    TempDir dir;
    std::string command = "'" SKEINPRESS_CLI_PATH "'";
    for (const std::string& a : args) {
        std::string quoted = "'";
        for (char c : a) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " " + quoted + "'";
    }
    const std::string outFile = dir.File("out.txt");
    const std::string errFile = dir.File("err.txt");
    command += " >'" + outFile + "' 2>'" + errFile + "' </dev/null";
    CliResult result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadText(outFile);
    result.err = ReadText(errFile);
    return result;
}
#endif

}  // namespace testing_support
