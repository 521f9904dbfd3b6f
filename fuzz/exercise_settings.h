// What the settings-file fuzz target and its regression test do with one
// input: read it as the settings file, read every key the program uses and
// every key the input names, and check that what the program writes back
// reads back the same.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/settings/mem_ini.h"
#include "fuzz/exercise_image.h"
#include "fuzz/exercise_language.h"

namespace fuzzing {

// Sections and keys of the settings file as the program writes them.
inline const std::vector<std::pair<std::string, std::string>>& ProgramSettingsKeys() {
    static const std::vector<std::pair<std::string, std::string>> keys = {
        {"File", "Language"},          {"MRU", "lastfile"},          {"MRU", "default_dir"},
        {"Paths", "editor_dir"},       {"Paths", "TS2009_dir"},      {"Paths", "TS2010_dir"},
        {"Paths", "TS12_dir"},         {"Options", "CloseOnDone"},   {"Options", "DoBMPs"},
        {"Options", "DoJPGs"},         {"Options", "DoTextures"},    {"Options", "OverwriteTGAs"},
        {"Options", "UniformColour"},  {"Options", "BGroundColour"}, {"Options", "TrawlSpeed"},
        {"Options", "NormalMapAlpha"}, {"Position", "Left"},         {"Position", "Top"},
        {"PixelSet", "Count"},         {"PixelSet", "Change"},       {"PixelSet", "Random"},
        {"Program", "Version"}};
    return keys;
}

// Every section and key the input spells, found the simple way: "[name]"
// lines and the text before "=" on the others.
inline std::vector<std::pair<std::string, std::string>> KeysNamedIn(
    const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    for (const std::string& line : lines) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (const size_t equals = line.find('='); equals != std::string::npos) {
            keys.emplace_back(section, line.substr(0, equals));
        }
        if (keys.size() >= 64) break;
    }
    return keys;
}

inline void ReadEveryWay(const app::TMemIni& ini, const std::pair<std::string, std::string>& key) {
    (void)ini.ReadString(key.first, key.second, "default");
    (void)ini.ReadInteger(key.first, key.second, -7);
    (void)ini.ReadBool(key.first, key.second, true);
    (void)ini.ValueExists(key.first, key.second);
}

// Returns an empty text when the settings behaved, otherwise what went wrong.
inline std::string ExerciseSettings(const uint8_t* data, size_t size,
                                    const std::string& scratchPath) {
    if (!WriteScratchFile(scratchPath, data, size)) return {};
    app::TMemIni ini(scratchPath);
    const std::vector<std::string> lines = SplitLines(data, size);
    for (const auto& key : ProgramSettingsKeys()) ReadEveryWay(ini, key);
    for (const auto& key : KeysNamedIn(lines)) ReadEveryWay(ini, key);

    // A text written through WriteString reads back unchanged (one with a line
    // break or a NUL reads back empty), before and after a save and a fresh read.
    std::string value = lines.empty() ? std::string() : lines.back();
    ini.WriteString("Fuzz Check", "value", value);
    if (value.find('\0') != std::string::npos) value.clear();
    if (ini.ReadString("Fuzz Check", "value", "missing") != value)
        return "a written value read back as \"" +
               ini.ReadString("Fuzz Check", "value", "missing") + "\"";

    const std::string saved = ini.Text();
    if (!WriteScratchFile(scratchPath, reinterpret_cast<const uint8_t*>(saved.data()),
                          saved.size()))
        return {};
    const app::TMemIni reread(scratchPath);
    if (reread.Text() != saved) return "the saved settings read back as different settings";
    if (reread.ReadString("Fuzz Check", "value", "missing") != value)
        return "a saved value read back as \"" +
               reread.ReadString("Fuzz Check", "value", "missing") + "\"";
    return {};
}

}  // namespace fuzzing
