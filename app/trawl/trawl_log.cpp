#include "app/trawl/trawl_log.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/platform/platform.h"
#include "core/io/paths.h"

namespace app {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The user's locale's long time and short date.
std::string LocaleTimeAndDate() {
    const std::tm now = platform::LocalTime(std::time(nullptr));
    return platform::LongTimeText(now) + ",  " + platform::ShortDateText(now);
}

std::string LogHeader() {
    return "----- Trawl Log ------- " + LocaleTimeAndDate();
}

}  // namespace

TrawlLog::TrawlLog(const Context& context) : ctx_(context) {}

void TrawlLog::ReportFailure() {
    ctx_.messages.ShowError(ctx_.Text(Message::LogNotWritten, Path()));
}

void TrawlLog::Open() {
    // Open (and fail) once per trawl: a log that cannot be written is reported
    // here, and the trawl's later writes then quietly do nothing. A log that is
    // not a regular file (a FIFO would hold the trawl until something read it)
    // or is read-only is left alone with a memo line: a message box would hold
    // a trawl that is to close the program when done.
    open_ = true;
    reopenPending_ = false;
    // A symbolic link is refused by the open itself (appending through one
    // would write into whatever file it names).
    std::string refusal;
    if (!file_.Open(Path(), refusal)) {
        if (refusal.empty()) {
            ReportFailure();
        } else {
            ctx_.messages.AddMemoLine("  " + ctx_.Text(Message::LogLeftAlone, refusal));
        }
        return;
    }
    if (!file_.Append(LogHeader() + kLineEnd)) ReportFailure();
}

bool TrawlLog::Writable() {
    if (!open_ && reopenPending_) Open();
    return open_ && file_.Good();
}

void TrawlLog::WriteMemo() {
    if (Writable()) Append(ctx_.messages.MemoLines());
}

void TrawlLog::WriteLines(const std::vector<std::string>& lines) {
    if (Writable()) Append(lines);
}

void TrawlLog::Append(const std::vector<std::string>& lines) {
    // Each chunk goes to disk as it is written, so a crash loses at most the memo.
    std::string chunk;
    for (const std::string& line : lines) chunk.append(line).append(kLineEnd);
    if (!file_.Append(chunk)) ReportFailure();
}

void TrawlLog::Close() {
    if (!open_) return;
    file_.Close();
    open_ = false;
}

void TrawlLog::CloseAfterTrawl() {
    Close();
    reopenPending_ = false;
}

void TrawlLog::Delete(bool trawlRunning) {
    // A trawl still holds the log open; close it so it can go, and let the
    // trawl's next write start a new one with its own header.
    Close();
    if (trawlRunning) reopenPending_ = true;
    const std::string path = Path();
    std::error_code ec;
    if (!std::filesystem::exists(core::PathFromUtf8(path), ec)) return;
    if (!std::filesystem::remove(core::PathFromUtf8(path), ec)) {
        ctx_.messages.ShowError(ctx_.Text(Message::LogNotDeleted, path));
    }
}

}  // namespace app
