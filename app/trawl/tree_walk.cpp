#include "app/trawl/tree_walk.h"

#include <algorithm>
#include <iterator>

#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace app {

namespace {

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

// Whether `folder` is `root` or lies below it (both canonical).
bool InsideTree(const std::string& folder, const std::string& root) {
    if (folder == root) return true;
    if (folder.size() <= root.size() || folder.compare(0, root.size(), root) != 0) return false;
    return core::IsFolderSeparator(root.back()) || core::IsFolderSeparator(folder[root.size()]);
}

}  // namespace

bool TreeWalk::FolderToEnter(const std::string& folder, std::string& canonical,
                             WalkStep::Descent& descent, std::string& detail) const {
    // Links can lead anywhere: to "/", or in a fan that reaches one folder by
    // millions of paths. The walk enters each real folder once, and never one
    // outside the tree it was asked to walk.
    std::string problem;
    canonical = core::CanonicalPath(folder, problem);
    if (canonical.empty()) {
        descent = WalkStep::Descent::NotEnterable;
        detail = problem;
        return false;
    }
    if (!InsideTree(canonical, root_)) {
        descent = WalkStep::Descent::LeadsOut;
        detail = canonical;
        return false;
    }
    return visited_.count(canonical) == 0;
}

void TreeWalk::Begin(const std::string& start) {
    Close();
    levels_[0].folder = start;
    std::string problem;
    root_ = core::CanonicalPath(start, problem);
    visited_ = {root_};
    CountTopFolders();
    begun_ = true;
    listPending_ = true;
}

void TreeWalk::CountTopFolders() {
    // The subfolders the walk will enter, each real folder once.
    const std::string& start = levels_[0].folder;
    std::set<std::string> topFolders;
    FolderListing top;
    top.Open(start);
    while (top.Next()) {
        const std::string& name = top.Current().name;
        if (IsDotEntry(name)) continue;
        const std::string path = core::JoinPath(start, name);
        std::string canonical, detail;
        WalkStep::Descent descent{};
        if (core::IsFolder(path) && FolderToEnter(path, canonical, descent, detail))
            topFolders.insert(canonical);
    }
    topFoldersDone_ = 0;
    topFolderCount_ = static_cast<int>(topFolders.size());
}

void TreeWalk::Relist() {
    if (!begun_) return;
    std::string problem;
    const std::string current = core::CanonicalPath(levels_[depth_].folder, problem);
    for (auto it = visited_.begin(); it != visited_.end();) {
        it = !current.empty() && *it != current && InsideTree(*it, current) ? visited_.erase(it)
                                                                            : std::next(it);
    }
    listPending_ = true;
}

bool TreeWalk::Next(WalkStep& step) {
    if (!begun_) return false;
    step = WalkStep();
    step.depth = depth_;
    Level& level = levels_[depth_];
    if (listPending_) {
        listPending_ = false;
        step.kind = WalkStep::Kind::Listed;
        step.folder = level.folder;
        step.listed = level.listing.Open(level.folder);
        step.detail = level.listing.Problem();
        level.open = true;
        step.hasFirst = level.listing.HasCurrent();
        if (step.hasFirst) step.entry = level.listing.Current();
        return true;
    }
    if (level.listing.Next()) {
        step.kind = WalkStep::Kind::Entry;
        step.folder = level.folder;
        step.entry = level.listing.Current();
        const std::string path = core::JoinPath(level.folder, step.entry.name);
        std::string canonical;
        if (!IsDotEntry(step.entry.name) && !HasLineBreak(step.entry.name) &&
            core::IsFolder(path) && FolderToEnter(path, canonical, step.descent, step.detail)) {
            // At the depth limit the folder is not entered.
            if (depth_ < kMaxTrawlDepth) {
                levels_[++depth_].folder = path;
                listPending_ = true;
                visited_.insert(canonical);
                step.descent = WalkStep::Descent::Enters;
            } else {
                step.descent = WalkStep::Descent::TooDeep;
            }
            step.folderAfter = levels_[depth_].folder;
        }
        return true;
    }
    level.listing.Close();
    level.open = false;
    if (depth_ == 0) {
        begun_ = false;
        return false;
    }
    --depth_;
    step.kind = WalkStep::Kind::Left;
    step.depth = depth_;
    if (depth_ == 0) {
        topFoldersDone_ = std::min(topFoldersDone_ + 1, topFolderCount_);
        step.backAtTop = true;
    }
    return true;
}

void TreeWalk::Close() {
    for (Level& level : levels_) {
        if (level.open) level.listing.Close();
        level.open = false;
    }
    depth_ = 0;
    listPending_ = false;
    begun_ = false;
}

std::string TreeWalk::FolderToListNext() const {
    return listPending_ ? levels_[depth_].folder : std::string();
}

}  // namespace app
