#include "app/trawl/folder_listing.h"

#include <algorithm>

#include "core/io/file_io.h"

namespace app {

bool NameOrder(std::string_view a, std::string_view b) {
    // Folded to upper case, as the Windows file system orders names: "ab"
    // before "a_b", since '_' lies between the upper- and lower-case letters.
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    const auto folded = [&](char x, char y) {
        return static_cast<unsigned char>(upper(x)) < static_cast<unsigned char>(upper(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
    return a < b;  // names equal but for case: a fixed order all the same
}

bool FolderListing::Open(const std::string& folder) {
    entries_.clear();
    pos_ = 0;
    problem_.clear();
    std::vector<core::FolderItem> items;
    if (!core::ListFolder(folder, items, problem_)) return false;
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
    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return NameOrder(a.name, b.name); });
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
