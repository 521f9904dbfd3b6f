// The memo of a session whose conversions run elsewhere (on the workers
// of a job pool): a line of its own, or a place for the lines of a conversion
// still running. Lines reach the batch report in the order they were added,
// each once everything before it is known; reading the whole memo (the log
// does, when it writes) waits for every conversion.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch/batch_report.h"
#include "cli/batch/console_messages.h"
#include "cli/batch/job_pool.h"
#include "cli/output/console.h"

namespace cli {

class OrderedMemo : public ConsoleMessages {
public:
    // The result of the oldest conversion whose place is still open; with
    // `wait` false, nullopt while it is still running.
    using TakeResult = std::function<std::optional<JobResult>(bool wait)>;

    OrderedMemo(Streams io, BatchReport& report);
    // Where the lines of the places come from; needed before AddPlace.
    void TakeResultsFrom(TakeResult takeResult) { takeResult_ = std::move(takeResult); }

    // Keeps the place of the conversion of `path`, a file in `folder` (with
    // links resolved), queued in the same order as this is called.
    void AddPlace(const std::string& path, const std::string& folder);
    // A refusal the walk itself makes (a folder it cannot enter), reported in
    // its place among the conversions' own, whatever the number of jobs.
    void AddRefusal(const std::string& path, const std::string& line);
    // Waits for the oldest open place to be filled.
    void FillOldest() { Pump(1); }
    // Waits for every open place (not needed when the log has read the memo).
    void Drain() { Pump(SIZE_MAX); }
    // Waits for the places of files in `folder`, so that a listing of it sees
    // the files their conversions write, as the one-by-one trawl does.
    void WaitForFolder(const std::string& folder);
    // The lines shown so far, which leave the memo, when there are at least
    // `atLeast` of them (otherwise none): the log can take them without
    // waiting for the conversions still running.
    std::vector<std::string> TakeShownLines(size_t atLeast);
    // Conversions that wrote to the error stream.
    int WorkerMessages() const { return workerMessages_; }

    void AddMemoLine(const std::string& line) override;
    int MemoLineCount() const override { return static_cast<int>(count_); }
    std::vector<std::string> MemoLines() override;
    void ClearMemo() override;

private:
    struct Item {
        bool open = false;  // lines still to come from a conversion
        std::string path;
        std::vector<std::string> lines;
        std::string refusal;  // the walk's own, for `path`
    };

    // Shows what is known in order, filling places whose conversion has
    // finished; waits for at most `waits` unfinished ones.
    void Pump(size_t waits);

    std::ostream& err_;
    BatchReport& report_;
    TakeResult takeResult_;
    std::deque<Item> items_;
    size_t shown_ = 0;
    size_t count_ = 0;                 // memo lines, an open place counting as one
    std::deque<std::string> folders_;  // of the open places, oldest first
    int workerMessages_ = 0;
};

}  // namespace cli
