// The run-time settings variables, read from and written to the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct Settings {
    std::string LanguageFile = "English.txt";
    std::string CurrentFile;
    std::string DefaultDir;
    std::string EditorPath;
    std::string TS2009Dir;
    std::string TS2010Dir;
    std::string TS12Dir;
    bool CloseOnDone = false;
    bool DoBMPs = false;
    bool DoJPGs = false;
    bool DoPNGs = false;
    bool DoTextures = true;
    bool OverwriteTGAs = true;
    bool FixUniformColour = true;
    uint32_t BGroundColour = 0x808080;  // 0x00BBGGRR
    int TrawlSpeed = 50;                // ms, 30..1000
    uint8_t AlphaFillValue = 127;       // copied into the image store
    int WindowLeft = 200;
    int WindowTop = 100;
    // The client area's size and whether the window was maximised (0: the
    // window's own default size).
    int WindowWidth = 0;
    int WindowHeight = 0;
    bool WindowMaximised = false;
    int PixelSetCount = 3;    // 1..127
    int PixelSetChange = 20;  // 1..127
    bool PixelSetRandom = true;
    // The files last opened, newest first, at most kRecentFileCount.
    std::vector<std::string> RecentFiles;

    bool operator==(const Settings&) const = default;
};

constexpr int kRecentFileCount = 8;
// No stored window size is taken beyond this.
constexpr int kLargestWindowSide = 16384;

// The option that has a trawl convert the files of a format, by the name of
// its row in the format table (core/formats/format_table.h); null for one it
// does not convert.
inline bool Settings::*TrawlOptionOf(std::string_view formatName) {
    struct Option {
        std::string_view format;
        bool Settings::*flag;
    };
    constexpr Option kOptions[] = {{"E2TF texture", &Settings::DoTextures},
                                   {"Texture", &Settings::DoTextures},
                                   {"BMP", &Settings::DoBMPs},
                                   {"JPEG", &Settings::DoJPGs},
                                   {"PNG", &Settings::DoPNGs}};
    for (const Option& option : kOptions)
        if (option.format == formatName) return option.flag;
    return nullptr;
}

}  // namespace app
