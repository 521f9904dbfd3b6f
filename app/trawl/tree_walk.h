// The walk of a folder tree, depth first, one step at a time: the order, the
// depth limit, the hidden entries left out and the rule that each real folder
// is entered once and never one outside the tree are all here. The desktop
// program steps it from its timers (TrawlWalk); a headless caller can step it
// in a loop, for instance to count the files a trawl will meet:
//
//     TreeWalk walk;
//     walk.Begin(folder);
//     for (WalkStep step; walk.Next(step);)
//         if (step.kind == WalkStep::Kind::Entry && step.entry.regularFile) ++count;
#pragma once

#include <array>
#include <set>
#include <string>
#include <string_view>

#include "app/trawl/folder_listing.h"
#include "core/io/paths.h"

namespace app {

// How deep below the start folder the walk goes.
inline constexpr int kMaxTrawlDepth = 25;

// The walk takes no entry whose name holds a line break.
using core::HasLineBreak;

struct WalkStep {
    enum class Kind {
        Listed,  // a folder's listing was opened: the start folder, or one just entered
        Entry,   // the next entry of the folder being listed
        Left,    // a folder's listing ended; the walk is back in the folder above
    };
    // What became of an entry that is a folder.
    enum class Descent {
        None,          // not a folder, or one already entered
        Enters,        // the next step lists it
        TooDeep,       // at the depth limit: not entered
        NotEnterable,  // its real path cannot be found (`detail` says why)
        LeadsOut,      // a link out of the tree (`detail` is where it leads)
    };

    Kind kind = Kind::Listed;
    std::string folder;  // the folder listed (Listed, Entry)
    // Listed: whether the listing could be opened (`detail` says why not,
    // when that is known), and the entry shown before
    // the first one is examined (when there is one).
    bool listed = false;
    bool hasFirst = false;
    FolderEntry entry;  // Entry: the entry itself; Listed: the first shown
    Descent descent = Descent::None;
    std::string detail;
    // Entry: the folder the walk is in once the entry is taken (the one
    // entered, or at the depth limit the one it stays in).
    std::string folderAfter;
    bool backAtTop = false;  // Left: the walk is back in the start folder
    int depth = 0;           // the depth of `folder`
};

class TreeWalk {
public:
    // Starts at `start` (an existing folder): the next step lists it.
    void Begin(const std::string& start);
    // The folder the walk is in is listed again from its start by the next
    // step; what lies below it may be entered again, as on the first pass.
    void Relist();
    // The next step; false when the walk is over (the start folder's listing
    // has ended, or nothing was begun).
    bool Next(WalkStep& step);
    // Closes every listing; Begin starts afresh.
    void Close();

    // The folder the next step lists, when it is to list one.
    std::string FolderToListNext() const;
    // The start folder's subfolders the walk will enter, and how many it has
    // left so far.
    int TopFolderCount() const { return topFolderCount_; }
    int TopFoldersDone() const { return topFoldersDone_; }

private:
    struct Level {
        std::string folder;
        FolderListing listing;
        bool open = false;
    };

    // Whether the walk enters `folder` (an existing folder). Its canonical
    // path goes to `canonical`; a refusal worth a line sets `descent` and `detail`.
    bool FolderToEnter(const std::string& folder, std::string& canonical,
                       WalkStep::Descent& descent, std::string& detail) const;
    void CountTopFolders();

    bool begun_ = false;
    bool listPending_ = false;
    int depth_ = 0;
    std::array<Level, kMaxTrawlDepth + 1> levels_;
    // The start folder and the folders entered, canonical.
    std::string root_;
    std::set<std::string> visited_;
    int topFolderCount_ = 0;
    int topFoldersDone_ = 0;
};

}  // namespace app
