// Taking file names apart. Names are split at '/' and '\' everywhere (and ':' on
// Windows), because names typed by users and stored in settings use either.
#pragma once

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

}  // namespace core
