#include "app/trawl/trawl_walk.h"

#include <algorithm>
#include <iterator>

#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace app {

namespace {

constexpr int kFastStepMs = 10;
constexpr int kCloseLogMs = 200;
constexpr int kCloseWindowMs = 500;
// The memo is written to the log and cleared once it holds more lines.
constexpr int kMemoFlushLines = 100;

std::string LastComponent(const std::string& path) {
    return std::string(core::FileNamePart(path));
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

std::string EntryLabel(const FolderListing::Entry& entry) {
    return entry.name + " is " + std::to_string(entry.size) + " bytes in size";
}

// Whether `folder` is `root` or lies below it (both canonical).
bool InsideTree(const std::string& folder, const std::string& root) {
    if (folder == root) return true;
    if (folder.size() <= root.size() || folder.compare(0, root.size(), root) != 0) return false;
    return core::IsFolderSeparator(root.back()) || core::IsFolderSeparator(folder[root.size()]);
}

}  // namespace

TrawlWalk::TrawlWalk(const Context& context, TrawlLog& log, Conversion& conversion)
    : ctx_(context), log_(log), conversion_(conversion) {}

bool TrawlWalk::FolderToEnter(const std::string& folder, const std::string& name,
                              std::string& canonical, std::string& line) const {
    // Links can lead anywhere: to "/", or in a fan that reaches one folder by
    // millions of paths. The walk enters each real folder once, and never one
    // outside the tree it was asked to trawl.
    line.clear();
    std::string problem;
    canonical = core::CanonicalPath(folder, problem);
    if (canonical.empty()) {
        line = "  Folder \"" + name + "\" cannot be entered: " + problem;
        return false;
    }
    if (!InsideTree(canonical, root_)) {
        line = "  Link \"" + name + "\" leads out of the trawled folder (to \"" + canonical +
               "\") and is not followed";
        return false;
    }
    return visited_.count(canonical) == 0;
}

void TrawlWalk::Start() {
    Host& host = ctx_.host;
    const std::string& start = ctx_.settings.DefaultDir;
    if (!core::IsFolder(start)) {
        ctx_.Say("message StartFolder");
        host.Beep();
        return;
    }
    levels_[0].folder = start;
    // A resumed trawl keeps its log: what the memo holds since the last write
    // belongs in it before the memo is cleared.
    if (active_) log_.WriteMemo();
    host.ClearMemo();
    std::string firstLine = " ";
    host.AddMemoLine(firstLine.append(core::FileNamePart(start)));

    if (active_) {
        // The folder is listed again from its start: what lies below it may be
        // entered again, as on the first pass.
        std::string problem;
        const std::string current = core::CanonicalPath(levels_[depth_].folder, problem);
        for (auto it = visited_.begin(); it != visited_.end();) {
            it = !current.empty() && *it != current && InsideTree(*it, current) ? visited_.erase(it)
                                                                                : std::next(it);
        }
        ListCurrentFolder();
        ShowState();
        return;
    }

    // The previous trawl's log may still be waiting for its delayed close;
    // close it now so this trawl gets its own header and is not cut off.
    if (host.TimerActive(TimerId::CloseLog)) log_.CloseAfterTrawl();
    depth_ = 0;
    descendPending_ = false;
    host.ShowTrawlButtons();
    std::string problem;
    root_ = core::CanonicalPath(start, problem);
    visited_ = {root_};
    CountTopFolders();
    ListCurrentFolder();
    ShowState();
}

void TrawlWalk::CountTopFolders() {
    // The subfolders the walk will enter, each real folder once.
    const std::string& start = levels_[0].folder;
    std::set<std::string> topFolders;
    FolderListing top;
    top.Open(start);
    while (top.Next()) {
        const std::string& name = top.Current().name;
        if (IsDotEntry(name)) continue;
        const std::string path = core::JoinPath(start, name);
        std::string canonical, line;
        if (core::IsFolder(path) && FolderToEnter(path, name, canonical, line))
            topFolders.insert(canonical);
    }
    topFoldersDone_ = 0;
    topFolderCount_ = static_cast<int>(topFolders.size());
}

void TrawlWalk::ListCurrentFolder() {
    if (!log_.IsOpen()) log_.Open();
    active_ = true;
    imageWork_ = false;
    Level& level = levels_[depth_];
    if (!level.listing.Open(level.folder) && depth_ > 0) {
        // Gone, or a path too long to open: the walk goes on without it.
        ctx_.host.AddMemoLine("  Folder \"" + LastComponent(level.folder) +
                              "\" could not be listed");
    }
    if (level.listing.HasCurrent()) ctx_.host.SetFileNameLabel(EntryLabel(level.listing.Current()));
    level.open = true;
    ctx_.host.StartTimer(TimerId::TrawlSlow, ctx_.settings.TrawlSpeed);
    stopped_ = false;
}

void TrawlWalk::Step() {
    ctx_.host.StopTimer(TimerId::TrawlFast);
    ctx_.host.StopTimer(TimerId::TrawlSlow);
    if (stopped_) return;
    if (descendPending_) {
        descendPending_ = false;
        ListCurrentFolder();
    } else {
        NextEntry();
    }
}

void TrawlWalk::NextEntry() {
    Host& host = ctx_.host;
    Level& level = levels_[depth_];
    if (level.open) {
        if (level.listing.Next()) {
            const FolderListing::Entry entry = level.listing.Current();
            host.SetFileNameLabel(EntryLabel(entry));
            const std::string folder = level.folder;
            imageWork_ = handler_ ? handler_(folder, entry.name)
                                  : conversion_.ConvertEntry(folder, entry.name);
            const std::string path = core::JoinPath(folder, entry.name);
            std::string canonical, refusal;
            if (!IsDotEntry(entry.name) && core::IsFolder(path)) {
                if (FolderToEnter(path, entry.name, canonical, refusal)) {
                    // At the depth limit the folder is not entered, and the
                    // line names the folder the walk stays in.
                    if (depth_ < kMaxTrawlDepth) {
                        levels_[++depth_].folder = path;
                        descendPending_ = true;
                        visited_.insert(canonical);
                    }
                    host.AddMemoLine("");
                    host.AddMemoLine("searching " + LastComponent(levels_[depth_].folder));
                } else if (!refusal.empty()) {
                    host.AddMemoLine(refusal);
                }
            }
        } else {
            level.listing.Close();
            level.open = false;
            if (depth_ == 0) {
                Finish();
                return;
            }
            --depth_;
            if (depth_ == 0) {
                topFoldersDone_ = std::min(topFoldersDone_ + 1, topFolderCount_);
                if (topFolderCount_ != 0) ShowState();
            }
        }
    }

    if (host.MemoLineCount() > kMemoFlushLines) {
        log_.WriteMemo();
        host.ClearMemo();
    }
    if (imageWork_) {
        host.StartTimer(TimerId::TrawlSlow, ctx_.settings.TrawlSpeed);
    } else {
        host.StartTimer(TimerId::TrawlFast, kFastStepMs);
    }
}

void TrawlWalk::Finish() {
    Host& host = ctx_.host;
    host.StopTimer(TimerId::OpenDelayed);
    host.AddMemoLine("  -- " + ctx_.T("message Finished") + " --");
    active_ = false;
    log_.WriteMemo();
    host.StartTimer(TimerId::CloseLog, kCloseLogMs);
    ShowState();
    if (ctx_.settings.CloseOnDone) host.StartTimer(TimerId::CloseWindow, kCloseWindowMs);
}

void TrawlWalk::Stop() {
    stopped_ = true;
    ctx_.host.StopTimer(TimerId::TrawlSlow);
    ctx_.host.StopTimer(TimerId::TrawlFast);
    ShowState();
}

bool TrawlWalk::TrawlFolder(const std::string& folder) {
    if (active_ && !stopped_) {
        ctx_.host.ShowMessage("A trawl is under way: stop it, or let it finish, first.");
        return false;
    }
    if (active_) GiveUp();
    ctx_.settings.DefaultDir = folder;
    Start();
    return active_;
}

void TrawlWalk::ChooseFolderAndTrawl() {
    if (auto folder = ctx_.host.PickFolder("Choose the folder to trawl", ctx_.settings.DefaultDir))
        TrawlFolder(*folder);
}

void TrawlWalk::GiveUp() {
    // Its lines go to its log.
    log_.WriteMemo();
    ctx_.host.StopTimer(TimerId::CloseLog);
    log_.Close();
    for (Level& level : levels_) {
        if (level.open) level.listing.Close();
        level.open = false;
    }
    depth_ = 0;
    descendPending_ = false;
    stopped_ = false;
    active_ = false;
    ShowState();
}

void TrawlWalk::CloseLog() {
    // A running or stopped trawl still holds lines in the memo that no chunk
    // has written yet; a finished one has written them all.
    if (active_) log_.WriteMemo();
    ctx_.host.StopTimer(TimerId::CloseLog);
    log_.Close();
}

std::string TrawlWalk::Title() const {
    std::string title = "Skeinpress";
    if (!active_) return title;
    if (topFolderCount_ != 0)
        title += ": " + std::to_string(topFoldersDone_ * 100 / topFolderCount_) + " %";
    if (stopped_) title += " (stopped)";
    return title;
}

void TrawlWalk::ShowState() {
    ctx_.host.SetTitle(Title());
    ctx_.host.EnableTrawlButtons(active_ && stopped_, active_ && !stopped_);
}

std::string TrawlWalk::FolderToListNext() const {
    return descendPending_ && !stopped_ ? levels_[depth_].folder : std::string();
}

}  // namespace app
