// What a batch shows while it runs and when it ends: a progress bar on the
// error stream when that is a terminal (plain lines every few seconds when it
// is not), and a summary of what happened to the files.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/convert/conversion.h"
#include "core/io/paths.h"

namespace cli {

// The report line of one converted file: "SOURCE -> TARGET", naming every file
// the save wrote (a cube map's six faces).
std::string ConvertedLine(const std::string& source, const std::vector<std::string>& written);

enum class Verbosity {
    Quiet,    // nothing but errors
    Normal,   // every message line, a progress bar on a terminal, the summary
    Verbose,  // as Normal, with plain progress lines where there is no terminal
};

class BatchReport {
public:
    // `progressOnTerminal`: draw a bar (true) or print plain lines (false).
    BatchReport(std::ostream& out, std::ostream& err, Verbosity verbosity, bool progressOnTerminal);

    // How many files the batch is expected to hold, once known (from a count
    // made beside the work); until then the files found so far are shown.
    void SetExpected(long files) { expected_.store(files); }
    void Found() { ++found_; }
    // A file is finished; `path` names it in the summary when it was refused.
    void Done(const std::string& path, const app::ConversionOutcome& outcome);
    // A file of a convertible type that was not even read (its option is off).
    void Skipped() {
        ++skipped_;
        ++skippedUnread_;
    }
    // Something the walk would not enter or convert (a folder it cannot list
    // or that lies too deep, a name with a line break), refused with `message`.
    void Refuse(const std::string& path, const std::string& message) {
        ++refused_;
        refusals_.push_back(core::OnOneLine(path) + ": " + message);
    }
    // A message line of the trawl, in the walk's order.
    void Line(const std::string& line);
    // Clears the bar and prints the summary (not when quiet).
    void Finish(const std::string& title);

    long Refused() const { return refused_; }

private:
    void ShowProgress(bool force);
    void ClearBar();

    std::ostream& out_;
    std::ostream& err_;
    Verbosity verbosity_;
    bool bar_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_;
    size_t barWidth_ = 0;  // of the bar on the terminal; 0 when none is drawn
    std::atomic<long> expected_{-1};
    long found_ = 0;
    long done_ = 0;
    long converted_ = 0;
    long repaired_ = 0;
    long refused_ = 0;
    long skipped_ = 0;
    long skippedUnread_ = 0;
    std::vector<std::string> refusals_;  // "path: message"
};

}  // namespace cli
