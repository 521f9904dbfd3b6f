#include "app/trawl_log.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <filesystem>
#include <system_error>

namespace app {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The locale's time (with seconds, without the time zone) and short date.
std::string LocaleTimeAndDate() {
    const QLocale locale = QLocale::system();
    const QString timeFormat = QString::fromStdString(
        TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat).toStdString()));
    return locale.toString(QTime::currentTime(), timeFormat).toStdString() + ",  " +
           locale.toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string LogHeader() {
    return "----- Trawl Log ------- " + LocaleTimeAndDate();
}

}  // namespace

std::string TimeFormatWithoutZone(const std::string& format) {
    // Letters in single quotes are text; a run of "t" outside them is the
    // zone. The blank before it (or after it, at the start) goes with it.
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '\'') quoted = !quoted;
        if (quoted || c != 't') {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == 't') ++i;
        if (!out.empty() && out.back() == ' ') {
            out.pop_back();
        } else if (i + 1 < format.size() && format[i + 1] == ' ') {
            ++i;
        }
    }
    return out;
}

TrawlLog::TrawlLog(const Context& context) : ctx_(context) {}

void TrawlLog::ReportFailure() {
    ctx_.host.ShowError("Couldn't write the trawl log \"" + Path() + "\".");
}

void TrawlLog::Open() {
    // Open (and fail) once per trawl: a log that cannot be written is reported
    // here, and the trawl's later writes then quietly do nothing. A log that is
    // not a regular file (a FIFO would hold the trawl until something read it)
    // or is read-only is left alone with a memo line: a message box would hold
    // a trawl that is to close the program when done.
    open_ = true;
    reopenPending_ = false;
    std::string refusal;
    if (!file_.Open(Path(), refusal)) {
        if (refusal.empty()) {
            ReportFailure();
        } else {
            ctx_.host.AddMemoLine("  The trawl log " + refusal +
                                  "; it is left as it is, and this trawl is not logged");
        }
        return;
    }
    if (!file_.Append(LogHeader() + kLineEnd)) ReportFailure();
}

void TrawlLog::WriteMemo() {
    if (!open_ && reopenPending_) Open();
    if (!open_ || !file_.Good()) return;
    // Each chunk goes to disk as it is written, so a crash loses at most the memo.
    std::string chunk;
    for (const std::string& line : ctx_.host.MemoLines()) chunk += line + kLineEnd;
    if (!file_.Append(chunk)) ReportFailure();
}

void TrawlLog::Close() {
    if (!open_) return;
    file_.Close();
    open_ = false;
}

void TrawlLog::CloseAfterTrawl() {
    ctx_.host.StopTimer(TimerId::CloseLog);
    Close();
    reopenPending_ = false;
}

void TrawlLog::View() {
    const std::string path = Path();
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::path(path), ec)) {
        ctx_.host.OpenDocument(path);
    } else {
        ctx_.host.AddMemoLine(ctx_.T("message Nothing3"));
    }
}

void TrawlLog::Delete(bool trawlRunning) {
    if (ctx_.host.Confirm(ctx_.T("dialog Delete"), Buttons::YesNo) != Answer::Yes) return;
    // A trawl still holds the log open; close it so it can go, and let the
    // trawl's next write start a new one with its own header.
    Close();
    if (trawlRunning) reopenPending_ = true;
    const std::string path = Path();
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(path), ec)) return;
    if (!std::filesystem::remove(std::filesystem::path(path), ec)) {
        ctx_.host.ShowError("Couldn't delete the trawl log \"" + path + "\".");
    }
}

}  // namespace app
