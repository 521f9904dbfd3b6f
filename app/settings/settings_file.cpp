#include "app/settings/settings_file.h"

#include <algorithm>

#include "app/platform/program_dir.h"
#include "app/settings/mem_ini.h"
#include "core/io/paths.h"
#include "skeinpress_version.h"

namespace app {

namespace {

constexpr const char* kSettingsVersion = SKEINPRESS_VERSION;
constexpr const char* kRecentSection = "Recent";

std::string RecentKey(int index) {
    return "File" + std::to_string(index + 1);
}

void ReadRecentFiles(const TMemIni& ini, std::vector<std::string>& recent) {
    recent.clear();
    for (int i = 0; i < kRecentFileCount; ++i) {
        std::string path = ini.ReadString(kRecentSection, RecentKey(i), "");
        if (!path.empty() && std::find(recent.begin(), recent.end(), path) == recent.end())
            recent.push_back(std::move(path));
    }
}

void WriteRecentFiles(TMemIni& ini, const std::vector<std::string>& recent) {
    // A settings file without recent files keeps its first layout; keys of a
    // longer list written before are emptied.
    for (int i = 0; i < kRecentFileCount; ++i) {
        if (i < static_cast<int>(recent.size())) {
            ini.WriteString(kRecentSection, RecentKey(i), recent[i]);
        } else if (ini.ValueExists(kRecentSection, RecentKey(i))) {
            ini.WriteString(kRecentSection, RecentKey(i), "");
        }
    }
}

// Every key of the settings file, in the order a new file lists them, with
// the value it holds and its default. `lastFile` is the name of the file
// last open (CurrentFile without its folder).
template <typename SettingsT, typename Visit>
void EachKey(SettingsT& s, std::string& lastFile, Visit&& visit) {
    visit("File", "Language", s.LanguageFile, std::string(kDefaultLanguageFile));
    visit("MRU", "lastfile", lastFile, std::string());
    visit("MRU", "default_dir", s.DefaultDir, std::string());
    visit("Paths", "editor_dir", s.EditorPath, std::string());
    visit("Paths", "TS2009_dir", s.TS2009Dir, std::string());
    visit("Paths", "TS2010_dir", s.TS2010Dir, std::string());
    visit("Paths", "TS12_dir", s.TS12Dir, std::string());
    visit("Options", "CloseOnDone", s.CloseOnDone, false);
    visit("Options", "DoBMPs", s.DoBMPs, false);
    visit("Options", "DoJPGs", s.DoJPGs, false);
    visit("Options", "DoPNGs", s.DoPNGs, false);
    visit("Options", "DoTextures", s.DoTextures, true);
    visit("Options", "OverwriteTGAs", s.OverwriteTGAs, true);
    visit("Options", "UniformColour", s.FixUniformColour, true);
    visit("Options", "BGroundColour", s.BGroundColour, uint32_t{0x808080});
    visit("Options", "TrawlSpeed", s.TrawlSpeed, 50);
    visit("Options", "NormalMapAlpha", s.AlphaFillValue, uint8_t{127});
    // The window moves itself there after creation; no check against the screen.
    visit("Position", "Left", s.WindowLeft, 200);
    visit("Position", "Top", s.WindowTop, 100);
    visit("Position", "Width", s.WindowWidth, 0);
    visit("Position", "Height", s.WindowHeight, 0);
    visit("Position", "Maximised", s.WindowMaximised, false);
    visit("PixelSet", "Count", s.PixelSetCount, 3);
    visit("PixelSet", "Change", s.PixelSetChange, 20);
    visit("PixelSet", "Random", s.PixelSetRandom, true);
}

class KeyReader {
public:
    explicit KeyReader(const TMemIni& ini) : ini_(ini) {}
    void operator()(const char* section, const char* key, std::string& value,
                    const std::string& fallback) const {
        value = ini_.ReadString(section, key, fallback);
    }
    void operator()(const char* section, const char* key, bool& value, bool fallback) const {
        value = ini_.ReadBool(section, key, fallback);
    }
    // Integers of every width are read as 32-bit ones and cut to size.
    template <typename Integer>
    void operator()(const char* section, const char* key, Integer& value, Integer fallback) const {
        value = static_cast<Integer>(ini_.ReadInteger(section, key, static_cast<int>(fallback)));
    }

private:
    const TMemIni& ini_;
};

class KeyWriter {
public:
    explicit KeyWriter(TMemIni& ini) : ini_(ini) {}
    void operator()(const char* section, const char* key, const std::string& value,
                    const std::string&) const {
        ini_.WriteString(section, key, value);
    }
    void operator()(const char* section, const char* key, const bool& value, bool) const {
        ini_.WriteBool(section, key, value);
    }
    template <typename Integer>
    void operator()(const char* section, const char* key, const Integer& value, Integer) const {
        ini_.WriteInteger(section, key, static_cast<int>(value));
    }

private:
    TMemIni& ini_;
};

}  // namespace

SettingsFile::SettingsFile() = default;
SettingsFile::~SettingsFile() = default;

const std::string& SettingsFile::Path() const {
    static const std::string none;
    return ini_ ? ini_->FileName() : none;
}

std::string SettingsFile::ReadNotice() const {
    if (!ini_ || ini_->ReadProblem().empty()) return std::string();
    return "  The settings file \"" + ini_->FileName() + "\" was not read (" + ini_->ReadProblem() +
           "): default settings are used, and the file is left as it is";
}

std::string SettingsFile::Read(const std::string& path, Settings& s) {
    ini_ = std::make_unique<TMemIni>(path);
    std::string lastFile;
    EachKey(s, lastFile, KeyReader(*ini_));
    s.TrawlSpeed = std::clamp(s.TrawlSpeed, 30, 1000);
    s.PixelSetCount = std::clamp(s.PixelSetCount, 1, 127);
    s.PixelSetChange = std::clamp(s.PixelSetChange, 1, 127);
    s.WindowWidth = std::clamp(s.WindowWidth, 0, kLargestWindowSide);
    s.WindowHeight = std::clamp(s.WindowHeight, 0, kLargestWindowSide);
    ReadRecentFiles(*ini_, s.RecentFiles);
    s.CurrentFile = s.DefaultDir + lastFile;
    return lastFile;
}

bool SettingsFile::Write(const Settings& s, std::string& refusal) {
    if (!ini_) return false;
    std::string lastFile(core::FileNamePart(s.CurrentFile));
    EachKey(s, lastFile, KeyWriter(*ini_));
    ini_->WriteString("Program", "Version", kSettingsVersion);
    WriteRecentFiles(*ini_, s.RecentFiles);
    if (!ini_->ReadProblem().empty()) return false;
    return ini_->UpdateFile(&refusal);
}

}  // namespace app
