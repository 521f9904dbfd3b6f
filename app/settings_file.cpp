#include "app/settings_file.h"

#include <algorithm>

#include "app/mem_ini.h"
#include "app/program_dir.h"
#include "core/paths.h"

namespace app {

namespace {

constexpr const char* kSettingsVersion = "1.22";
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
    const TMemIni& ini = *ini_;
    s.LanguageFile = ini.ReadString("File", "Language", kDefaultLanguageFile);
    const std::string lastFile = ini.ReadString("MRU", "lastfile", "");
    s.DefaultDir = ini.ReadString("MRU", "default_dir", "");
    s.EditorPath = ini.ReadString("Paths", "editor_dir", "");
    s.TS2009Dir = ini.ReadString("Paths", "TS2009_dir", "");
    s.TS2010Dir = ini.ReadString("Paths", "TS2010_dir", "");
    s.TS12Dir = ini.ReadString("Paths", "TS12_dir", "");

    s.CloseOnDone = ini.ReadBool("Options", "CloseOnDone", false);
    s.DoBMPs = ini.ReadBool("Options", "DoBMPs", false);
    s.DoJPGs = ini.ReadBool("Options", "DoJPGs", false);
    s.DoTextures = ini.ReadBool("Options", "DoTextures", true);
    s.OverwriteTGAs = ini.ReadBool("Options", "OverwriteTGAs", true);
    s.FixUniformColour = ini.ReadBool("Options", "UniformColour", true);
    s.BGroundColour = static_cast<uint32_t>(ini.ReadInteger("Options", "BGroundColour", 0x808080));
    s.TrawlSpeed = std::clamp(ini.ReadInteger("Options", "TrawlSpeed", 50), 30, 1000);
    s.AlphaFillValue = static_cast<uint8_t>(ini.ReadInteger("Options", "NormalMapAlpha", 127));

    // The window moves itself there after creation; no check against the screen.
    s.WindowLeft = ini.ReadInteger("Position", "Left", 200);
    s.WindowTop = ini.ReadInteger("Position", "Top", 100);

    s.PixelSetCount = std::clamp(ini.ReadInteger("PixelSet", "Count", 3), 1, 127);
    s.PixelSetChange = std::clamp(ini.ReadInteger("PixelSet", "Change", 20), 1, 127);
    s.PixelSetRandom = ini.ReadBool("PixelSet", "Random", true);

    ReadRecentFiles(ini, s.RecentFiles);
    s.CurrentFile = s.DefaultDir + lastFile;
    return lastFile;
}

bool SettingsFile::Write(const Settings& s, std::string& refusal) {
    if (!ini_) return false;
    TMemIni& ini = *ini_;
    ini.WriteString("File", "Language", s.LanguageFile);
    ini.WriteString("MRU", "lastfile", std::string(core::FileNamePart(s.CurrentFile)));
    ini.WriteString("MRU", "default_dir", s.DefaultDir);
    ini.WriteString("Paths", "editor_dir", s.EditorPath);
    ini.WriteString("Paths", "TS2009_dir", s.TS2009Dir);
    ini.WriteString("Paths", "TS2010_dir", s.TS2010Dir);
    ini.WriteString("Paths", "TS12_dir", s.TS12Dir);
    ini.WriteBool("Options", "CloseOnDone", s.CloseOnDone);
    ini.WriteBool("Options", "DoBMPs", s.DoBMPs);
    ini.WriteBool("Options", "DoJPGs", s.DoJPGs);
    ini.WriteBool("Options", "DoTextures", s.DoTextures);
    ini.WriteBool("Options", "OverwriteTGAs", s.OverwriteTGAs);
    ini.WriteBool("Options", "UniformColour", s.FixUniformColour);
    ini.WriteInteger("Options", "BGroundColour", static_cast<int>(s.BGroundColour));
    ini.WriteInteger("Options", "TrawlSpeed", s.TrawlSpeed);
    ini.WriteInteger("Options", "NormalMapAlpha", s.AlphaFillValue);
    ini.WriteInteger("Position", "Left", s.WindowLeft);
    ini.WriteInteger("Position", "Top", s.WindowTop);
    ini.WriteInteger("PixelSet", "Count", s.PixelSetCount);
    ini.WriteInteger("PixelSet", "Change", s.PixelSetChange);
    ini.WriteBool("PixelSet", "Random", s.PixelSetRandom);
    ini.WriteString("Program", "Version", kSettingsVersion);
    WriteRecentFiles(ini, s.RecentFiles);

    if (!ini.ReadProblem().empty()) return false;
    return ini.UpdateFile(&refusal);
}

}  // namespace app
