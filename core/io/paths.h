// Taking file names apart. Names are split at '/' and '\' everywhere (and ':' on
// Windows), because names typed by users and stored in settings use either.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace core {

bool IsFolderSeparator(char c);
// Everything after the last folder separator.
std::string_view FileNamePart(std::string_view path);
// Everything up to and including the last folder separator ("" when none).
std::string_view FolderPart(std::string_view path);
// The text from the last "." that follows the last folder separator, or "".
std::string_view ExtensionOf(std::string_view path);

std::string ToLowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// The first `n` characters (all of them when shorter).
std::string CutTo(std::string_view text, size_t n);

// A name holding a line break would forge lines wherever it is written (the
// message log, the trawl log, a texture's description): no such name is read
// or written. OnOneLine shows its line breaks as \r and \n.
bool HasLineBreak(std::string_view name);
std::string OnOneLine(std::string_view name);

// `name` below `folder`, with the system's separator between them unless the
// folder ends with one (an empty folder gives `name`).
std::string JoinPath(std::string_view folder, std::string_view name);

// Names are UTF-8 inside the program. A std::filesystem::path made from a
// std::string would read it in the ANSI code page on Windows: these convert
// explicitly (on POSIX systems the bytes pass unchanged).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace core
