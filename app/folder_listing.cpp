#include "app/folder_listing.h"

#include <algorithm>
#include <filesystem>

#include "core/paths.h"

namespace app {

namespace fs = std::filesystem;

bool FolderListing::Open(const std::string& folder) {
    entries_.clear();
    pos_ = 0;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    if (ec) return false;
    std::vector<Entry> found;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;  // hidden
        Entry e;
        e.name = name;
        std::error_code sizeEc;
        if (it->is_regular_file(sizeEc)) {
            const auto size = it->file_size(sizeEc);
            if (!sizeEc) e.size = static_cast<uint32_t>(size & 0xFFFFFFFFu);
        }
        found.push_back(std::move(e));
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        const std::string la = core::ToLowerAscii(a.name), lb = core::ToLowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    entries_.push_back({".", 0});
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
