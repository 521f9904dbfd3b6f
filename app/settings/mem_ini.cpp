#include "app/settings/mem_ini.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "core/io/file_io.h"

namespace app {

namespace {

// A settings file is a few hundred bytes, but a user may keep sections of
// their own in it; anything this large is not a settings file.
constexpr uint64_t kMaxSettingsFileBytes = 16u << 20;

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

TMemIni::TMemIni(std::string fileName) : fileName_(std::move(fileName)) {
    std::string text;
    const core::TextRead read = core::ReadTextFile(fileName_, text, kMaxSettingsFileBytes);
    if (read == core::TextRead::Ok) {
        Parse(text);
    } else if (read != core::TextRead::Missing) {
        readProblem_ = core::TextReadProblem(read, kMaxSettingsFileBytes);
    }
}

TMemIni::Section& TMemIni::SectionNamed(const std::string& name) {
    const auto [found, added] = sectionIndex_.try_emplace(Folded(name), sections_.size());
    if (added) sections_.push_back({name, {}, {}});
    return sections_[found->second];
}

void TMemIni::Parse(const std::string& text) {
    Section* current = nullptr;
    const std::string_view all(text);
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = Trim(all.substr(pos, end - pos));
        pos = end;
        if (pos < all.size() && all[pos] == '\r') ++pos;
        if (pos < all.size() && all[pos] == '\n') ++pos;

        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &SectionNamed(std::string(Trim(line.substr(1, line.size() - 2))));
            continue;
        }
        const size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, equals));
        // The first of several equal keys counts.
        if (current->valueIndex.try_emplace(Folded(key), current->values.size()).second) {
            current->values.emplace_back(key, Trim(line.substr(equals + 1)));
        }
    }
}

const std::string* TMemIni::Find(const std::string& section, const std::string& key) const {
    const auto s = sectionIndex_.find(Folded(section));
    if (s == sectionIndex_.end()) return nullptr;
    const Section& found = sections_[s->second];
    const auto entry = found.valueIndex.find(Folded(key));
    return entry == found.valueIndex.end() ? nullptr : &found.values[entry->second].second;
}

bool TMemIni::ValueExists(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

std::string TMemIni::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const std::string* stored = Find(section, key);
    if (!stored) return defaultValue;
    const std::string& value = *stored;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool TMemIni::ParseInteger(const std::string& text, int& value) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    int base = 10;
    if (pos < text.size() && text[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' &&
               (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size()) return false;
    // Hexadecimal may spell the full 32-bit pattern (colours); decimal is signed.
    const int64_t limit = base == 16 ? 0xFFFFFFFFll : (negative ? 0x80000000ll : 0x7FFFFFFFll);
    int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = base == 16
                              ? HexDigit(text[pos])
                              : (text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return false;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    value = static_cast<int>(static_cast<uint32_t>(signedValue));
    return true;
}

int TMemIni::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const {
    int value = 0;
    return ParseInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TMemIni::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TMemIni::WriteString(const std::string& section, const std::string& key,
                          const std::string& text) {
    // Values that the reading would change (outer blanks are trimmed, one pair
    // of outer quotes is stripped) are stored in double quotes so they come back intact.
    std::string value = text;
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        // A line break would end the line and let the rest of the text pose as
        // further keys or sections (a file name found by a trawl can hold one);
        // a NUL would make the whole file read as something other than text.
        value.clear();
    } else if (!text.empty() &&
               (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                text.back() == '\t' ||
                (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                 text.back() == text.front()))) {
        value = '"' + text + '"';
    }
    Section& target = SectionNamed(section);
    const auto [entry, added] = target.valueIndex.try_emplace(Folded(key), target.values.size());
    if (added) {
        target.values.emplace_back(key, value);
    } else {
        target.values[entry->second].second = value;
    }
}

void TMemIni::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TMemIni::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TMemIni::Text() const {
    std::string text;
    for (const Section& s : sections_) {
        text += "[" + s.name + "]" + kLineEnd;
        for (const auto& entry : s.values) text += entry.first + "=" + entry.second + kLineEnd;
        text += kLineEnd;
    }
    return text;
}

bool TMemIni::UpdateFile(std::string* refusal) const {
    if (!readProblem_.empty()) return false;
    const std::string text = Text();
    // The user's settings exist nowhere else: a power cut must leave the old
    // file or the new one, never an empty one.
    const core::DurableWrites durable;
    return core::WriteFileAtomically(fileName_, text.data(), text.size(), refusal);
}

}  // namespace app
