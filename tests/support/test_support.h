// Helpers shared by the tests: a temporary folder per test, writing small files,
// filling a store by hand, and running skeinpress-cli.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/image/image_store.h"

namespace testing_support {

using Bytes = std::vector<uint8_t>;

// Stores v little-endian at `at`, growing the bytes if they end sooner
// (`at` = b.size() appends).
inline void PutLE32(Bytes& b, size_t at, uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// `unit` (a pixel, say) n times over.
inline Bytes Repeated(size_t n, const Bytes& unit) {
    Bytes out;
    for (size_t i = 0; i < n; ++i) out.insert(out.end(), unit.begin(), unit.end());
    return out;
}

// A fresh folder, removed (with its contents) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // `name` (UTF-8) below the folder.
    std::string File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// A UTF-8 name as a path the standard library hands to the system unchanged
// (on Windows, a plain std::string would be read in the ANSI code page, and a
// long name needs the "\\?\" form).
std::filesystem::path SystemPath(const std::string& utf8);

// Sets an environment variable (or removes it, for nullopt) while it lives.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const std::optional<std::string>& value);
    std::string name_;
    std::optional<std::string> old_;
};

// Something named like a file that is no regular file: a FIFO, which would
// hold a program that opened it until something opened its other end. Windows
// has no FIFOs; a folder stands in there.
void MakeNoRegularFile(const std::string& path);

// The read-only mark: the owner's write permission, the attribute on Windows.
void MarkReadOnly(const std::string& path);
// How many entries the folder holds (long names too, on Windows).
int EntriesIn(const std::string& folder);

// Writes the file, making its folder if need be.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
// The text with its CR LF line ends made LF.
std::string WithLineFeeds(std::string text);
// Passes when `text` holds `part`; a failure shows both.
::testing::AssertionResult Contains(const std::string& text, const std::string& part);
// The lines of a text, each without its `end` (a last line without one counts too).
std::vector<std::string> SplitLines(const std::string& text, const std::string& end);

// Fills the store with the given pixels (bottom row first), as a reader would.
void FillImage(core::Image& image, int width, int height, int bytesPerPixel,
               const std::vector<uint8_t>& pixels, int alphaKind = -1);

// An uncompressed TGA file: header plus the given pixel bytes as stored.
std::vector<uint8_t> MakeTga(int width, int height, int depth, const std::vector<uint8_t>& pixels,
                             uint8_t descriptor = 0, uint8_t imageType = 2);

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs the real skeinpress-cli program with the arguments, its output going
// to files (on Windows its CR LF line ends come back as LF).
CliResult RunCliProgram(const std::vector<std::string>& args);
#if defined(_WIN32)
// Runs it with both output streams on a console screen of its own, and gives
// the text that screen shows, a line per row.
std::string RunCliProgramOnConsole(const std::vector<std::string>& args);
#endif

}  // namespace testing_support
