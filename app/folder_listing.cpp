#include "app/folder_listing.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/paths.h"

namespace app {

bool FolderListing::Open(const std::string& folder) {
    entries_.clear();
    pos_ = 0;
    std::vector<core::FolderItem> items;
    if (!core::ListFolder(folder, items)) return false;
    std::vector<Entry> found;
    for (core::FolderItem& item : items) {
        if (item.name.empty() || item.name[0] == '.' || item.hiddenMark) continue;
        Entry e;
        e.name = std::move(item.name);
        e.size = static_cast<uint32_t>(item.size & 0xFFFFFFFFu);
        e.regularFile = item.regularFile;
        e.folder = item.folder;
        found.push_back(std::move(e));
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        const std::string la = core::ToLowerAscii(a.name), lb = core::ToLowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    entries_.push_back({".", 0, false, false});
    entries_.insert(entries_.end(), found.begin(), found.end());
    return true;
}

bool FolderListing::Next() {
    if (pos_ < entries_.size()) ++pos_;
    return pos_ < entries_.size();
}

void FolderListing::Close() {
    entries_.clear();
    pos_ = 0;
}

}  // namespace app
