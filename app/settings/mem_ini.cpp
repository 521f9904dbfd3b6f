#include "app/settings/mem_ini.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "core/io/file_io.h"
#include "core/io/paths.h"

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

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
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

void TMemIni::Parse(const std::string& text) {
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;

        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = Trim(line.substr(1, line.size() - 2));
            current = nullptr;
            for (Section& s : sections_) {
                if (core::EqualsNoCase(s.name, name)) current = &s;
            }
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (!current || equals == std::string::npos) continue;
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        bool known = false;
        for (auto& entry : current->values) {
            if (core::EqualsNoCase(entry.first, key)) known = true;  // first one counts
        }
        if (!known) current->values.emplace_back(key, value);
    }
}

const std::string* TMemIni::Find(const std::string& section, const std::string& key) const {
    for (const Section& s : sections_) {
        if (!core::EqualsNoCase(s.name, section)) continue;
        for (const auto& entry : s.values) {
            if (core::EqualsNoCase(entry.first, key)) return &entry.second;
        }
    }
    return nullptr;
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
    Section* target = nullptr;
    for (Section& s : sections_) {
        if (core::EqualsNoCase(s.name, section)) target = &s;
    }
    if (!target) {
        sections_.push_back({section, {}});
        target = &sections_.back();
    }
    for (auto& entry : target->values) {
        if (core::EqualsNoCase(entry.first, key)) {
            entry.second = value;
            return;
        }
    }
    target->values.emplace_back(key, value);
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
