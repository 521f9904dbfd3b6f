// The trawl: the walk of a folder tree, one step at a time, each entry handed
// to the conversion, every message-log line kept in the trawl log. Owns the
// walk (tree_walk.h) and whether it runs or is stopped.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/context.h"
#include "app/convert/conversion.h"
#include "app/trawl/trawl_log.h"
#include "app/trawl/tree_walk.h"

namespace app {

class TrawlWalk {
public:
    // With `timers` the walk arms its own steps (the desktop's step timers),
    // the log's delayed close and the window's close when done; without, its
    // owner calls Step until it ends (the console). `progress` may be null too.
    TrawlWalk(const Context& context, TrawlLog& log, Conversion& conversion,
              ProgressDisplay* progress = nullptr, Timers* timers = nullptr);

    // Trawls the settings' DefaultDir; a stopped trawl resumes instead, with
    // its current folder listed again from the start.
    void Start();
    void Resume() { Start(); }
    // Trawls `folder` with the current options; a stopped trawl is given up
    // first. False (after a message) while another trawl runs.
    bool TrawlFolder(const std::string& folder);
    void Stop();
    // One step of the walk (the step timers fire it on the desktop).
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
    // What the walk itself refuses (a folder it cannot list, one too deep, a
    // name with a line break) is a memo line, and goes to this handler too,
    // for a console's count of refusals.
    using RefusalHandler = std::function<void(const std::string& path, const std::string& line)>;
    void HandRefusalsTo(RefusalHandler handler) { refusalHandler_ = std::move(handler); }
    // For a console whose memo keeps places for conversions still running:
    // the walk's periodic write to the log takes, from this source, the lines
    // already known (at least `atLeast`, or none), which leave the memo. The
    // walk then never waits for the conversions in flight, which would leave
    // a worker idle each time. Its last write still takes the whole memo.
    using ReadyLines = std::function<std::vector<std::string>(size_t atLeast)>;
    void TakeLogLinesFrom(ReadyLines source) { readyLines_ = std::move(source); }
    // The refusals of the walk so far.
    int Refusals() const { return refusals_; }
    // The folder the next step will list, when it is to descend into one.
    std::string FolderToListNext() const;

private:
    // The first step of a walk begun or resumed: the listing of its folder.
    void ListFolder();
    void TakeListed(const WalkStep& step);
    void TakeEntry(const WalkStep& step);
    void Refuse(const std::string& path, const std::string& line);
    void Finish();
    void GiveUp();
    // The title and which trawl buttons can be pressed, after a change.
    void ShowState();
    void Arm(TimerId id, int intervalMs);
    void Disarm(TimerId id);

    Context ctx_;
    TrawlLog& log_;
    Conversion& conversion_;
    ProgressDisplay* progress_;
    Timers* timers_;
    EntryHandler handler_;
    RefusalHandler refusalHandler_;
    ReadyLines readyLines_;
    int refusals_ = 0;
    TreeWalk walk_;
    bool active_ = false;
    bool stopped_ = false;
    bool imageWork_ = false;  // the last entry read or wrote an image
};

}  // namespace app
