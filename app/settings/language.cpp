#include "app/settings/language.h"

#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace app {

namespace {

// Far above any real language file; keeps a wrong path from filling memory.
constexpr uint64_t kMaxLanguageFileBytes = 16u << 20;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

Tokens GetTokens(std::string_view line, std::string_view separators) {
    Tokens tokens;
    size_t field = 0;  // zero-based index of the field being filled
    size_t pos = 0;
    for (; pos < line.size() && field < tokens.fields.size(); ++pos) {
        if (separators.find(line[pos]) != std::string_view::npos) {
            ++field;
        } else {
            tokens.fields[field] += line[pos];
        }
    }
    tokens.count = static_cast<int>(field) + 1;
    tokens.overflow = pos < line.size();
    return tokens;
}

bool Language::LoadFile(const std::string& path) {
    std::string text;
    if (core::ReadTextFile(path, text, kMaxLanguageFileBytes) != core::TextRead::Ok) {
        SetLines({});
        return false;
    }
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    SetLines(std::move(lines));
    return true;
}

void Language::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    found_.clear();
    notice_.clear();
    // Such a line used to abort every lookup that reached it; now it is only
    // skipped, and the user is told where it is.
    for (size_t n = 0; n < lines_.size(); ++n) {
        if (GetTokens(std::string_view(lines_[n]).substr(0, kLanguageLineLimit), "|").overflow) {
            notice_ = "  Language file line " + std::to_string(n + 1) +
                      " has too many \"|\" separators and is ignored";
            break;
        }
    }
}

std::string Language::Translate(const std::string& key) const {
    const std::string wanted = core::ToLowerAscii(key);
    if (const auto known = found_.find(wanted); known != found_.end()) return known->second;
    std::string text = Lookup(wanted);
    found_.emplace(wanted, text);
    return text;
}

std::string Language::Lookup(const std::string& wanted) const {
    for (const std::string& full : lines_) {
        const std::string_view line = std::string_view(full).substr(0, kLanguageLineLimit);
        Tokens tokens = GetTokens(line, "|");
        if (tokens.overflow || tokens.count != 2) continue;
        std::string& fileKey = tokens.fields[0];
        while (!fileKey.empty() && IsBlank(fileKey.back())) fileKey.pop_back();
        if (core::ToLowerAscii(fileKey) != wanted) continue;
        const std::string& text = tokens.fields[1];
        const size_t start = text.find_first_not_of(' ');
        return start == std::string::npos ? std::string() : text.substr(start);
    }
    return kNotTranslated;
}

}  // namespace app
