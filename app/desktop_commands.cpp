// What the desktop program offers beside the menus it was first drawn with: a
// trawl of a chosen or dropped folder, the list of recent files, the colour
// under the pointer for the colour pick, and the title that follows a trawl.
#include <algorithm>

#include "app/application.h"
#include "app/folder_listing.h"
#include "app/mem_ini.h"
#include "core/file_io.h"
#include "core/paths.h"

namespace app {

namespace {

constexpr const char* kRecentSection = "Recent";

std::string RecentKey(int index) {
    return "File" + std::to_string(index + 1);
}

}  // namespace

void Application::TrawlFolderClick() {
    if (auto folder = host_.PickFolder("Choose the folder to trawl", settings_.DefaultDir))
        TrawlFolder(*folder);
}

void Application::OpenDropped(const std::string& path) {
    if (!core::IsFolder(path)) {
        OpenFile(path);
        return;
    }
    const std::string question = "Trawl the folder \"" + std::string(core::FileNamePart(path)) +
                                 "\" with the current options?";
    if (host_.Confirm(question, Buttons::YesNo) == Answer::Yes) TrawlFolder(path);
}

bool Application::TrawlFolder(const std::string& folder) {
    if (TrawlActive && !TrawlStopped) {
        host_.ShowMessage("A trawl is under way: stop it, or let it finish, first.");
        return false;
    }
    if (TrawlActive) GiveUpStoppedTrawl();
    settings_.DefaultDir = folder;
    StartClick();
    return TrawlActive;
}

void Application::GiveUpStoppedTrawl() {
    WriteLogFile();
    host_.StopTimer(TimerId::CloseLog);
    CloseLogFile();
    for (size_t depth = 0; depth < FolderListings.size(); ++depth) {
        if (ListingOpen[depth] && FolderListings[depth]) FolderListings[depth]->Close();
        ListingOpen[depth] = false;
    }
    TrawlDepth = 0;
    DescendPending = false;
    TrawlStopped = false;
    TrawlActive = false;
    ShowTrawlState();
}

std::string Application::TrawlTitle() const {
    std::string title = "Skeinpress";
    if (!TrawlActive) return title;
    if (TopFolderCount != 0)
        title += ": " + std::to_string(TopFoldersDone * 100 / TopFolderCount) + " %";
    if (TrawlStopped) title += " (stopped)";
    return title;
}

void Application::ShowTrawlState() {
    host_.SetTitle(TrawlTitle());
    host_.EnableTrawlButtons(TrawlActive && TrawlStopped, TrawlActive && !TrawlStopped);
}

bool Application::ImageColourAt(int x, int y, uint8_t& red, uint8_t& green, uint8_t& blue) const {
    if (!store_.Usable()) return false;
    const int width = store_.Image.Width;
    const int height = store_.Image.Height;
    const int bytesPerPixel = store_.BytesPerPixel();
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    if (bytesPerPixel != 3 && bytesPerPixel != 4) return false;
    // Rows are stored bottom-up.
    const uint8_t* pixel =
        store_.Image.Data + (static_cast<size_t>(height - 1 - y) * width + x) * bytesPerPixel;
    red = pixel[0];
    green = pixel[1];
    blue = pixel[2];
    return true;
}

void Application::NoteRecentFile(const std::string& path) {
    if (path.empty() || !store_.ImageLoaded) return;
    auto& recent = settings_.RecentFiles;
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > static_cast<size_t>(kRecentFileCount)) recent.resize(kRecentFileCount);
}

void Application::ReadRecentFiles(const TMemIni& ini) {
    auto& recent = settings_.RecentFiles;
    recent.clear();
    for (int i = 0; i < kRecentFileCount; ++i) {
        std::string path = ini.ReadString(kRecentSection, RecentKey(i), "");
        if (!path.empty() && std::find(recent.begin(), recent.end(), path) == recent.end())
            recent.push_back(std::move(path));
    }
}

void Application::WriteRecentFiles(TMemIni& ini) const {
    // A settings file without recent files keeps its first layout; keys of a
    // longer list written before are emptied.
    const auto& recent = settings_.RecentFiles;
    for (int i = 0; i < kRecentFileCount; ++i) {
        if (i < static_cast<int>(recent.size())) {
            ini.WriteString(kRecentSection, RecentKey(i), recent[i]);
        } else if (ini.ValueExists(kRecentSection, RecentKey(i))) {
            ini.WriteString(kRecentSection, RecentKey(i), "");
        }
    }
}

}  // namespace app
