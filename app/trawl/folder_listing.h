// A listing of one folder for the trawl: "." first, then the entries in
// NameOrder, hidden entries (names starting with ".", and on
// Windows those with the hidden attribute) left out. The first entry is the
// one the trawl shows but never examines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// Whether `a` comes before `b` in a listing: without regard to case, folded to
// upper case.
bool NameOrder(std::string_view a, std::string_view b);

struct FolderEntry {
    std::string name;
    uint32_t size = 0;         // low 32 bits of the size in bytes; 0 for folders
    bool regularFile = false;  // or a link to one
    bool folder = false;       // a folder itself, not a link to one
};

class FolderListing {
public:
    using Entry = FolderEntry;

    // Opens the listing; a folder that cannot be listed yields no entries.
    // Returns whether the folder could be listed; Problem() then says why,
    // when that is known.
    bool Open(const std::string& folder);
    const std::string& Problem() const { return problem_; }
    // The current entry; Next() moves to the following one and returns false at the end.
    const Entry& Current() const { return entries_[pos_]; }
    bool HasCurrent() const { return pos_ < entries_.size(); }
    bool Next();
    void Close();

private:
    std::vector<Entry> entries_;
    size_t pos_ = 0;
    std::string problem_;
};

}  // namespace app
