#include "app/setup/open_with.h"

#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/platform/platform.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

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
    return core::IsFolder(core::Utf8FromPath(path));
}

std::string Native(const fs::path& path) {
    return core::Utf8FromPath(fs::path(path).make_preferred());
}

fs::path Below(const std::string& folder, const char* relative) {
    return core::PathFromUtf8(folder) / relative;
}

fs::path ToolsFolder(const std::string& installFolder) {
    return Below(installFolder, "bin/CMPData/Tools");
}

// An empty or "NotFound" folder names no install (and must not be taken as a
// path relative to the working folder).
bool NamesInstall(const std::string& folder) {
    return !folder.empty() && folder != kNotFound;
}

bool AnyEditionUnset(const Settings& s) {
    return s.TS2009Dir.empty() || s.TS2010Dir.empty() || s.TS12Dir.empty();
}

std::string DefaultDriveRoot() {
#ifdef _WIN32
    return "C:\\";
#else
    // The simulator runs under Wine here; its C: drive is the default prefix's drive_c.
    return platform::HomeFolder() + "/.wine/drive_c/";
#endif
}

}  // namespace

OpenWithSetup::OpenWithSetup(const Context& context, Dialogs& dialogs, Timers& timers)
    : ctx_(context), dialogs_(dialogs), timers_(timers), driveRoot_(DefaultDriveRoot()) {}

bool OpenWithSetup::SimulatorFolderPresent() const {
    for (const Edition& edition : kEditions) {
        for (const char* candidate : edition.candidates) {
            if (candidate && IsFolder(Below(driveRoot_, candidate))) return true;
        }
    }
    return false;
}

void OpenWithSetup::Install(bool clearMemo) {
    Settings& s = ctx_.settings;
    Messages& messages = ctx_.messages;
    if (clearMemo && AnyEditionUnset(s)) messages.ClearMemo();

    for (const Edition& edition : kEditions) {
        std::string& folder = s.*edition.folder;
        if (!folder.empty()) continue;
        const std::string stem = edition.keyStem;

        for (const char* candidate : edition.candidates) {
            if (!candidate) break;
            const fs::path path = Below(driveRoot_, candidate);
            if (IsFolder(path)) {
                folder = Native(path);
                break;
            }
        }
        if (folder.empty()) {
            if (&edition != &kEditions[0]) {
                messages.AddMemoLine("");
                messages.AddMemoLine("");
            }
            ctx_.Say(stem + "a");
            ctx_.Say(stem + "b");
            ctx_.Say(stem + "c");
            const std::string proposed = Native(Below(driveRoot_, edition.candidates[1]));
            if (auto chosen =
                    dialogs_.PickFolder(ctx_.T(stem + "d") + "\r" + ctx_.T(stem + "c"), proposed)) {
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
        ctx_.Say(WriteBatch(Native(openWith / "Skeinpress.bat")) ? stem + "e" : "message Failed");
    }
}

void OpenWithSetup::InstallAgain() {
    for (const Edition& edition : kEditions) (ctx_.settings.*edition.folder).clear();
    Install();
}

void OpenWithSetup::InstallAfterStart() {
    timers_.StopTimer(TimerId::OpenWithSetup);
    // On a machine without the simulator nothing is asked; SetUp > OpenWith
    // still offers the pickers.
    if (AnyEditionUnset(ctx_.settings) && SimulatorFolderPresent()) Install(false);
}

void OpenWithSetup::Remove() {
    ctx_.messages.ClearMemo();
    std::string summary = "No ";
    for (const Edition& edition : kEditions) {
        std::string& folder = ctx_.settings.*edition.folder;
        if (!NamesInstall(folder)) continue;
        const fs::path batch = ToolsFolder(folder) / "OpenWith" / "Skeinpress.bat";
        std::error_code ec;
        if (!fs::exists(batch, ec)) continue;
        fs::remove(batch, ec);
        if (summary == "No ") summary.clear();
        summary += std::string(edition.name) + " ";
        folder = kNotFound;
    }
    ctx_.messages.AddMemoLine("   " + summary + ctx_.T("message MacrosRemoved"));
}

bool OpenWithSetup::WriteBatch(const std::string& batchPath) {
    const std::string name(core::FileNamePart(batchPath));
    const std::string text = "@echo off\r\n\"" +
                             platform::ProgramPathForBatchFile(ctx_.files.ProgramPath()) +
                             "\" -trawl -close -fixcolour %1%\r\n";
    core::AtomicFileWriter writer;
    if (!writer.Open(batchPath)) {
        ctx_.messages.ShowError(writer.Refusal().empty() ? ctx_.Text(Message::FileNotCreated, name)
                                                         : writer.Refusal());
        return false;
    }
    if (!writer.Write(text.data(), text.size()) || !writer.Commit()) {
        ctx_.messages.ShowError(writer.Refusal().empty() ? ctx_.Text(Message::FileNotAppended, name)
                                                         : writer.Refusal());
        return false;
    }
    return true;
}

}  // namespace app
