// The language file: every caption and message of the program is looked up by
// key in its lines ("key|text").
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace app {

inline constexpr const char* kNotTranslated = "String Not Translated";
// Lines are used up to this many characters; the rest is cut off before splitting.
inline constexpr size_t kLanguageLineLimit = 255;

// A line split at separator characters into at most five fields.
struct Tokens {
    std::array<std::string, 5> fields;
    int count = 0;          // fields found: one more than the separators consumed
    bool overflow = false;  // characters were left after the fifth separator
};
Tokens GetTokens(std::string_view line, std::string_view separators);

class Language {
public:
    // Reads the file's lines (ended by CR LF, CR or LF; UTF-16 with a
    // byte-order mark is read as UTF-8). A missing or unreadable file leaves
    // the list empty and returns false.
    bool LoadFile(const std::string& path);
    void SetLines(std::vector<std::string> lines);
    const std::vector<std::string>& Lines() const { return lines_; }
    void Clear() { SetLines({}); }
    // The text of the first entry whose key matches, or kNotTranslated. A line
    // with more than five bars is skipped like any other malformed line.
    std::string Translate(const std::string& key) const;
    // A memo line naming the first line with too many bars, found when the
    // lines were set; empty when there is none. The application shows it once
    // per run; copies of the language made for worker threads never do.
    const std::string& Notice() const { return notice_; }

private:
    std::string Lookup(const std::string& lowerKey) const;

    std::vector<std::string> lines_;
    std::string notice_;
    // Lookups already made: a trawl asks for the same few messages for every
    // file, and each lookup walks the whole file. Not shared between threads:
    // each worker has its own copy of the language.
    mutable std::unordered_map<std::string, std::string> found_;
};

}  // namespace app
