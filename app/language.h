// The language file: every caption and message of the program is looked up by
// key in its lines ("key|text").
#pragma once

#include <string>
#include <vector>

namespace app {

inline constexpr const char* kNotTranslated = "String Not Translated";

class Language {
public:
    // Reads the file's lines; a missing file leaves the list empty.
    bool LoadFile(const std::string& path);
    void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // The text of the first entry whose key matches, or kNotTranslated.
    std::string Translate(const std::string& key) const;

private:
    std::vector<std::string> lines_;
};

}  // namespace app
