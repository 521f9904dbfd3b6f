// The trawl: a depth-first walk of a folder tree, one entry per timer tick,
// each entry handed to the conversion, every memo line kept in the trawl log.
// Owns where the walk is (the folder listed at each depth, the folders
// already entered), whether it runs or is stopped, and its progress over the
// start folder's subfolders.
#pragma once

#include <array>
#include <functional>
#include <set>
#include <string>

#include "app/context.h"
#include "app/convert/conversion.h"
#include "app/trawl/folder_listing.h"
#include "app/trawl/trawl_log.h"

namespace app {

// How deep below the start folder the walk goes.
inline constexpr int kMaxTrawlDepth = 25;

class TrawlWalk {
public:
    TrawlWalk(const Context& context, TrawlLog& log, Conversion& conversion);

    // Trawls the settings' DefaultDir; a stopped trawl resumes instead, with
    // its current folder listed again from the start.
    void Start();
    void Resume() { Start(); }
    // Trawls `folder` with the current options; a stopped trawl is given up
    // first. False (after a message) while another trawl runs.
    bool TrawlFolder(const std::string& folder);
    // File > Trawl Folder: asks for the folder, then TrawlFolder.
    void ChooseFolderAndTrawl();
    void Stop();
    // The step timers: one entry, or the descent into a folder.
    void Step();
    // At close: what a running or stopped trawl still holds in the memo goes
    // to the log, which is then closed.
    void CloseLog();

    // Under way, running or stopped.
    bool Active() const { return active_; }
    bool Stopped() const { return stopped_; }
    // The program's name; during a trawl with its progress, and whether it is stopped.
    std::string Title() const;

    // For a console that converts entries elsewhere: the walk calls the
    // handler for each entry instead of the conversion; it returns whether an
    // image was read or written. An empty handler restores the conversion.
    using EntryHandler = std::function<bool(const std::string& folder, const std::string& name)>;
    void HandEntriesTo(EntryHandler handler) { handler_ = std::move(handler); }
    // The folder the next step will list, when it is to descend into one.
    std::string FolderToListNext() const;

private:
    struct Level {
        std::string folder;
        FolderListing listing;
        bool open = false;
    };

    void ListCurrentFolder();
    void NextEntry();
    void Finish();
    void GiveUp();
    // Whether the walk enters `folder` (an existing folder): once per real
    // folder, and only inside the trawled tree. Its canonical path goes to
    // `canonical`; a folder it does not enter may get a memo line in `line`.
    bool FolderToEnter(const std::string& folder, const std::string& name, std::string& canonical,
                       std::string& line) const;
    void CountTopFolders();
    // The title and which trawl buttons can be pressed, after a change.
    void ShowState();

    Context ctx_;
    TrawlLog& log_;
    Conversion& conversion_;
    EntryHandler handler_;
    bool active_ = false;
    bool stopped_ = false;
    bool descendPending_ = false;
    bool imageWork_ = false;  // the last step read or wrote an image
    int depth_ = 0;
    std::array<Level, kMaxTrawlDepth + 1> levels_;
    // The trawled tree's start folder and the folders entered, canonical.
    std::string root_;
    std::set<std::string> visited_;
    int topFolderCount_ = 0;
    int topFoldersDone_ = 0;
};

}  // namespace app
