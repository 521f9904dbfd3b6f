#include "core/io/paths.h"

#include <algorithm>

namespace core {

bool IsFolderSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\' || c == ':';
#else
    return c == '/' || c == '\\';
#endif
}

static size_t NameStart(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (IsFolderSeparator(path[i - 1])) return i;
    }
    return 0;
}

std::string_view FileNamePart(std::string_view path) {
    return path.substr(NameStart(path));
}

std::string_view FolderPart(std::string_view path) {
    return path.substr(0, NameStart(path));
}

std::string_view ExtensionOf(std::string_view path) {
    std::string_view name = FileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

static char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string CutTo(std::string_view text, size_t n) {
    return std::string(text.substr(0, n));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !IsFolderSeparator(path.back()))
        path += static_cast<char>(std::filesystem::path::preferred_separator);
    return path += name;
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(std::string(utf8));
#endif
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    return path.string();
#endif
}

bool HasLineBreak(std::string_view name) {
    return name.find_first_of("\r\n") != std::string_view::npos;
}

std::string OnOneLine(std::string_view name) {
    std::string shown;
    for (char c : name) {
        if (c == '\r' || c == '\n') {
            shown += c == '\r' ? "\\r" : "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace core
