// Installs and removes the batch file through which the simulator's content
// tools run the program on an asset folder ("OpenWith" tools).
#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/application.h"
#include "core/file_io.h"
#include "core/paths.h"

namespace app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotFound = "NotFound";

struct Edition {
    const char* name;
    std::string Settings::*folder;
    const char* keyStem;                    // "message Locate2009" + a .. e
    std::array<const char*, 4> candidates;  // below the drive root; unused ones are null
};

const std::array<Edition, 3> kEditions{{
    {"TS2009",
     &Settings::TS2009Dir,
     "message Locate2009",
     {"Program Files/Auran/TS2009", "Program Files (x86)/Auran/TS2009", nullptr, nullptr}},
    {"TS2010",
     &Settings::TS2010Dir,
     "message Locate2010",
     {"Program Files/Auran/TS2010", "Program Files (x86)/Auran/TS2010", nullptr, nullptr}},
    {"TS12",
     &Settings::TS12Dir,
     "message Locate12",
     {"Program Files/Auran/TS12", "Program Files (x86)/Auran/TS12", "Program Files/N3V Games/TS12",
      "Program Files (x86)/N3V Games/TS12"}},
}};

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string Native(const fs::path& path) {
    return fs::path(path).make_preferred().string();
}

fs::path ToolsFolder(const std::string& installFolder) {
    return fs::path(installFolder) / "bin" / "CMPData" / "Tools";
}

// An empty or "NotFound" folder names no install (and must not be taken as a
// path relative to the working folder).
bool NamesInstall(const std::string& folder) {
    return !folder.empty() && folder != kNotFound;
}

}  // namespace

bool Application::SimulatorFolderPresent() const {
    for (const Edition& edition : kEditions) {
        for (const char* candidate : edition.candidates) {
            if (candidate && IsFolder(fs::path(OpenWithDriveRoot) / candidate)) return true;
        }
    }
    return false;
}

void Application::SetOpenWith(bool clearMemo) {
    Settings& s = settings_;
    if (clearMemo && (s.TS2009Dir.empty() || s.TS2010Dir.empty() || s.TS12Dir.empty()))
        host_.ClearMemo();
    auto say = [this](const std::string& key) {
        host_.AddMemoLine(std::string(" ").append(T(key)));
    };

    for (const Edition& edition : kEditions) {
        std::string& folder = s.*edition.folder;
        if (!folder.empty()) continue;
        const std::string stem = edition.keyStem;

        for (const char* candidate : edition.candidates) {
            if (!candidate) break;
            const fs::path path = fs::path(OpenWithDriveRoot) / candidate;
            if (IsFolder(path)) {
                folder = Native(path);
                break;
            }
        }
        if (folder.empty()) {
            if (&edition != &kEditions[0]) {
                host_.AddMemoLine("");
                host_.AddMemoLine("");
            }
            say(stem + "a");
            say(stem + "b");
            say(stem + "c");
            const std::string proposed =
                Native(fs::path(OpenWithDriveRoot) / edition.candidates[1]);
            if (auto chosen = host_.PickFolder(T(stem + "d") + "\r" + T(stem + "c"), proposed)) {
                folder = *chosen;
            }
        }

        const fs::path tools = ToolsFolder(folder);
        if (!NamesInstall(folder) || !IsFolder(tools)) {
            folder = kNotFound;
            continue;
        }
        const fs::path openWith = tools / "OpenWith";
        if (!IsFolder(openWith)) {
            std::error_code ec;  // a failure shows as the batch file's failure
            fs::create_directory(openWith, ec);
        }
        if (WriteOpenWithBatch(Native(openWith / "Skeinpress.bat"))) {
            say(stem + "e");
        } else {
            say("message Failed");
        }
    }
}

void Application::OpenWith1Click() {
    settings_.TS2009Dir.clear();
    settings_.TS2010Dir.clear();
    settings_.TS12Dir.clear();
    SetOpenWith();
}

void Application::RemoveOpenWith1Click() {
    host_.ClearMemo();
    std::string summary = "No ";
    for (const Edition& edition : kEditions) {
        std::string& folder = settings_.*edition.folder;
        if (!NamesInstall(folder)) continue;
        const fs::path batch = ToolsFolder(folder) / "OpenWith" / "Skeinpress.bat";
        std::error_code ec;
        if (!fs::exists(batch, ec)) continue;
        fs::remove(batch, ec);
        if (summary == "No ") summary.clear();
        summary += std::string(edition.name) + " ";
        folder = kNotFound;
    }
    host_.AddMemoLine("   " + summary + T("message MacrosRemoved"));
}

bool Application::WriteOpenWithBatch(const std::string& batchPath) {
    const std::string name(core::FileNamePart(batchPath));
    const std::string text =
        "@echo off\r\n\"" + programPath_ + "\" -trawl -close -fixcolour %1%\r\n";
    core::AtomicFileWriter writer;
    if (!writer.Open(batchPath)) {
        host_.ShowError(writer.Refusal().empty() ? "Could not create file \"" + name + "\""
                                                 : writer.Refusal());
        return false;
    }
    if (!writer.Write(text.data(), text.size()) || !writer.Commit()) {
        host_.ShowError(writer.Refusal().empty() ? "Could not append to file \"" + name + "\""
                                                 : writer.Refusal());
        return false;
    }
    return true;
}

}  // namespace app
