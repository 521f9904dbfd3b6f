// What the language-file fuzz target and its regression test do with one
// input: read it as a language file (from disk and as ready-made lines) and
// look up keys that do and do not occur in it.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/settings/language.h"
#include "fuzz/exercise_image.h"

namespace fuzzing {

// Lines as a text reader gives them: split at LF, CR LF or CR.
inline std::vector<std::string> SplitLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n' || c == '\r') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Translates keys from the program's own families, the keys the input itself
// names, an empty key and an over-long one. A lookup may refuse a malformed
// file by throwing; it must not crash.
inline void TranslateSampleKeys(const app::Language& language,
                                const std::vector<std::string>& lines) {
    std::vector<std::string> keys = {"menu File", "message Opened", "", std::string(300, 'k')};
    for (size_t i = 0; i < lines.size() && i < 4; ++i) {
        keys.push_back(lines[i].substr(0, lines[i].find('|')));
    }
    for (const std::string& key : keys) {
        try {
            (void)language.Translate(key);
        } catch (const std::exception&) {
        }
    }
}

inline void ExerciseLanguage(const uint8_t* data, size_t size, const std::string& scratchPath) {
    const std::vector<std::string> lines = SplitLines(data, size);
    app::Language fromLines;
    fromLines.SetLines(lines);
    TranslateSampleKeys(fromLines, lines);

    if (WriteScratchFile(scratchPath, data, size)) {
        app::Language fromFile;
        try {
            (void)fromFile.LoadFile(scratchPath);
        } catch (const std::exception&) {
        }
        TranslateSampleKeys(fromFile, lines);
    }
}

}  // namespace fuzzing
