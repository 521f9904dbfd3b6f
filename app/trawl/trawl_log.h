// The trawl log: every memo line of every trawl, appended to one text file in
// the program folder, each trawl under a header line with the time and date.
// Owns the open log file and whether a trawl's next write must open it anew.
#pragma once

#include <string>
#include <vector>

#include "app/context.h"
#include "core/io/file_io.h"

namespace app {

class TrawlLog {
public:
    explicit TrawlLog(const Context& context);

    std::string Path() const { return ctx_.files.TrawlLog(); }
    bool IsOpen() const { return open_; }
    // Opens the log for a trawl and writes its header. A log that cannot be
    // written is reported once; the trawl's writes then do nothing.
    void Open();
    // Appends the memo's lines (and opens the log again if it was deleted
    // under a running trawl).
    void WriteMemo();
    // Appends `lines` (taken from the memo by the caller), opening the log
    // again as WriteMemo does.
    void WriteLines(const std::vector<std::string>& lines);
    void Close();
    // The close a little after a trawl ends (its timer is the caller's).
    void CloseAfterTrawl();
    // Deletes the log (File > Delete Trawl Log, once the user agreed). Under a
    // running trawl the trawl's next write starts a new log with its own header.
    void Delete(bool trawlRunning);

private:
    void ReportFailure();
    // Opens the log again if it was deleted under a running trawl; whether
    // it can be written.
    bool Writable();
    void Append(const std::vector<std::string>& lines);

    Context ctx_;
    core::AppendFile file_;
    bool open_ = false;
    bool reopenPending_ = false;  // deleted under a running trawl
};

}  // namespace app
