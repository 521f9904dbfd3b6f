#include "app/trawl/trawl_walk.h"

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

std::string EntryLabel(const FolderEntry& entry) {
    return entry.name + " is " + std::to_string(entry.size) + " bytes in size";
}

}  // namespace

TrawlWalk::TrawlWalk(const Context& context, TrawlLog& log, Conversion& conversion,
                     ProgressDisplay* progress, Timers* timers)
    : ctx_(context), log_(log), conversion_(conversion), progress_(progress), timers_(timers) {}

void TrawlWalk::Arm(TimerId id, int intervalMs) {
    if (timers_) timers_->StartTimer(id, intervalMs);
}

void TrawlWalk::Disarm(TimerId id) {
    if (timers_) timers_->StopTimer(id);
}

void TrawlWalk::Start() {
    Messages& messages = ctx_.messages;
    const std::string& start = ctx_.settings.DefaultDir;
    if (!core::IsFolder(start)) {
        ctx_.Say("message StartFolder");
        messages.Beep();
        return;
    }
    // A resumed trawl keeps its log: what the memo holds since the last write
    // belongs in it before the memo is cleared.
    if (active_) log_.WriteMemo();
    messages.ClearMemo();
    std::string firstLine = " ";
    messages.AddMemoLine(firstLine.append(core::FileNamePart(start)));

    if (active_) {
        walk_.Relist();
        ListFolder();
        ShowState();
        return;
    }

    // The previous trawl's log may still be waiting for its delayed close;
    // close it now so this trawl gets its own header and is not cut off.
    if (timers_ && timers_->TimerActive(TimerId::CloseLog)) {
        timers_->StopTimer(TimerId::CloseLog);
        log_.CloseAfterTrawl();
    }
    if (progress_) progress_->ShowTrawlButtons();
    refusals_ = 0;
    walk_.Begin(start);
    ListFolder();
    ShowState();
}

void TrawlWalk::ListFolder() {
    WalkStep step;
    if (walk_.Next(step)) TakeListed(step);
}

void TrawlWalk::TakeListed(const WalkStep& step) {
    if (!log_.IsOpen()) log_.Open();
    active_ = true;
    imageWork_ = false;
    if (!step.listed && !step.detail.empty()) {
        Refuse(step.folder,
               ctx_.Text(Message::FolderListRefused, LastComponent(step.folder), step.detail));
    } else if (!step.listed && step.depth > 0) {
        // Gone, or a path too long to open: the walk goes on without it.
        ctx_.messages.AddMemoLine("  " +
                                  ctx_.Text(Message::FolderNotListed, LastComponent(step.folder)));
    }
    if (step.hasFirst && progress_) progress_->SetFileNameLabel(EntryLabel(step.entry));
    Arm(TimerId::TrawlSlow, ctx_.settings.TrawlSpeed);
    stopped_ = false;
}

void TrawlWalk::Step() {
    Messages& messages = ctx_.messages;
    Disarm(TimerId::TrawlFast);
    Disarm(TimerId::TrawlSlow);
    if (stopped_) return;
    if (!active_) {
        // The steps run from start-up until the first trawl: with no trawl
        // to write them, they keep the memo's length bounded.
        if (messages.MemoLineCount() > kMemoFlushLines) messages.ClearMemo();
        Arm(TimerId::TrawlFast, kFastStepMs);
        return;
    }
    WalkStep step;
    if (!walk_.Next(step)) {
        Finish();
        return;
    }
    switch (step.kind) {
        case WalkStep::Kind::Listed:
            TakeListed(step);
            return;
        case WalkStep::Kind::Entry:
            TakeEntry(step);
            break;
        case WalkStep::Kind::Left:
            if (step.backAtTop && walk_.TopFolderCount() != 0) ShowState();
            break;
    }
    if (readyLines_) {
        if (const auto lines = readyLines_(kMemoFlushLines + 1); !lines.empty())
            log_.WriteLines(lines);
    } else if (messages.MemoLineCount() > kMemoFlushLines) {
        log_.WriteMemo();
        messages.ClearMemo();
    }
    if (imageWork_) {
        Arm(TimerId::TrawlSlow, ctx_.settings.TrawlSpeed);
    } else {
        Arm(TimerId::TrawlFast, kFastStepMs);
    }
}

void TrawlWalk::Refuse(const std::string& path, const std::string& line) {
    ctx_.messages.AddMemoLine("  " + line);
    ++refusals_;
    if (refusalHandler_) refusalHandler_(path, line);
}

void TrawlWalk::TakeEntry(const WalkStep& step) {
    Messages& messages = ctx_.messages;
    if (HasLineBreak(step.entry.name)) {
        imageWork_ = false;
        Refuse(core::JoinPath(step.folder, step.entry.name),
               ctx_.Text(Message::NameHasLineBreak, core::OnOneLine(step.entry.name)));
        return;
    }
    if (progress_) progress_->SetFileNameLabel(EntryLabel(step.entry));
    imageWork_ = handler_ ? handler_(step.folder, step.entry.name)
                          : conversion_.ConvertEntry(step.folder, step.entry.name);
    switch (step.descent) {
        case WalkStep::Descent::None:
            break;
        case WalkStep::Descent::Enters:
        case WalkStep::Descent::TooDeep:
            // At the depth limit the line names the folder the walk stays in.
            messages.AddMemoLine("");
            messages.AddMemoLine(ctx_.Text(Message::Searching, LastComponent(step.folderAfter)));
            if (step.descent == WalkStep::Descent::TooDeep) {
                Refuse(core::JoinPath(step.folder, step.entry.name),
                       ctx_.Text(Message::FolderTooDeep, step.entry.name,
                                 std::to_string(kMaxTrawlDepth)));
            }
            break;
        case WalkStep::Descent::NotEnterable:
            messages.AddMemoLine(
                "  " + ctx_.Text(Message::FolderNotEntered, step.entry.name, step.detail));
            break;
        case WalkStep::Descent::LeadsOut:
            messages.AddMemoLine("  " +
                                 ctx_.Text(Message::LinkLeavesTree, step.entry.name, step.detail));
            break;
    }
}

void TrawlWalk::Finish() {
    Disarm(TimerId::OpenDelayed);
    ctx_.messages.AddMemoLine("  -- " + ctx_.T("message Finished") + " --");
    active_ = false;
    log_.WriteMemo();
    Arm(TimerId::CloseLog, kCloseLogMs);
    ShowState();
    if (ctx_.settings.CloseOnDone) Arm(TimerId::CloseWindow, kCloseWindowMs);
}

void TrawlWalk::Stop() {
    stopped_ = true;
    Disarm(TimerId::TrawlSlow);
    Disarm(TimerId::TrawlFast);
    ShowState();
}

bool TrawlWalk::TrawlFolder(const std::string& folder) {
    if (active_ && !stopped_) {
        ctx_.messages.ShowMessage(ctx_.Text(Message::TrawlUnderWay));
        return false;
    }
    if (active_) GiveUp();
    ctx_.settings.DefaultDir = folder;
    Start();
    return active_;
}

void TrawlWalk::GiveUp() {
    // Its lines go to its log.
    log_.WriteMemo();
    Disarm(TimerId::CloseLog);
    log_.Close();
    walk_.Close();
    stopped_ = false;
    active_ = false;
    ShowState();
}

void TrawlWalk::CloseLog() {
    // A running or stopped trawl still holds lines in the memo that no chunk
    // has written yet; a finished one has written them all.
    if (active_) log_.WriteMemo();
    Disarm(TimerId::CloseLog);
    log_.Close();
}

std::string TrawlWalk::Title() const {
    std::string title = "Skeinpress";
    if (!active_) return title;
    if (const int count = walk_.TopFolderCount(); count != 0)
        title += ": " + std::to_string(walk_.TopFoldersDone() * 100 / count) + " " +
                 ctx_.T("message Percent");
    if (stopped_) title += " (stopped)";
    return title;
}

void TrawlWalk::ShowState() {
    if (!progress_) return;
    progress_->SetTitle(Title());
    // Resume continues a stopped trawl, or after one has ended starts afresh.
    progress_->EnableTrawlButtons(!active_ || stopped_, active_ && !stopped_);
}

std::string TrawlWalk::FolderToListNext() const {
    return stopped_ ? std::string() : walk_.FolderToListNext();
}

}  // namespace app
