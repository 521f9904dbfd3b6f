// The trawl log: every memo line of every trawl, appended to one text file in
// the program's folder, each trawl under a header line with time and date.
#include <QDate>
#include <QLocale>
#include <QTime>
#include <filesystem>
#include <system_error>

#include "app/application.h"

namespace app {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string LogHeader() {
    const QLocale locale = QLocale::system();
    const QString time = locale.toString(QTime::currentTime(), QLocale::LongFormat);
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    return "----- Trawl Log ------- " + time.toStdString() + ",  " + date.toStdString();
}

}  // namespace

std::string Application::LogFilePath() const {
    return ProgramDir() + "Trawl_Log.txt";
}

void Application::ReportLogFailure() {
    host_.ShowError("Couldn't write the trawl log \"" + LogFilePath() + "\".");
}

void Application::OpenLogFile() {
    const std::string path = LogFilePath();
    // Open (and fail) once per trawl: a log that cannot be written is reported
    // here, and the trawl's later writes then quietly do nothing. A log that is
    // not a regular file (a FIFO would hold the trawl until something read it)
    // or is read-only is left alone with a memo line: a message box would hold
    // a trawl that is to close the program when done.
    LogOpen = true;
    logReopenPending_ = false;
    std::string refusal;
    if (!trawlLog_.Open(path, refusal)) {
        if (refusal.empty()) {
            ReportLogFailure();
        } else {
            host_.AddMemoLine("  The trawl log " + refusal +
                              "; it is left as it is, and this trawl is not logged");
        }
        return;
    }
    if (!trawlLog_.Append(LogHeader() + kLineEnd)) ReportLogFailure();
}

void Application::WriteLogFile() {
    if (!LogOpen && logReopenPending_) OpenLogFile();
    if (!LogOpen || !trawlLog_.Good()) return;
    // Each chunk goes to disk as it is written, so a crash loses at most the memo.
    std::string chunk;
    for (const std::string& line : host_.MemoLines()) chunk += line + kLineEnd;
    if (!trawlLog_.Append(chunk)) ReportLogFailure();
}

void Application::CloseLogFile() {
    if (!LogOpen) return;
    trawlLog_.Close();
    LogOpen = false;
}

void Application::CloseLogOnExit() {
    // A running or stopped trawl still holds lines in the memo that no chunk
    // has written yet; a finished one has written them all.
    if (TrawlActive) WriteLogFile();
    host_.StopTimer(TimerId::CloseLog);
    CloseLogFile();
}

void Application::ViewLogFile() {
    const std::string path = LogFilePath();
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::path(path), ec)) {
        host_.OpenDocument(path);
    } else {
        host_.AddMemoLine(T("message Nothing3"));
    }
}

void Application::DeleteLog1Click() {
    if (host_.Confirm(T("dialog Delete"), Buttons::YesNo) != Answer::Yes) return;
    // A trawl still holds the log open; close it so it can go, and let the
    // trawl's next write start a new one with its own header.
    CloseLogFile();
    if (TrawlActive) logReopenPending_ = true;
    const std::string path = LogFilePath();
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(path), ec)) return;
    if (!std::filesystem::remove(std::filesystem::path(path), ec)) {
        host_.ShowError("Couldn't delete the trawl log \"" + path + "\".");
    }
}

void Application::Timer4Timer() {
    host_.StopTimer(TimerId::CloseLog);
    CloseLogFile();
    logReopenPending_ = false;
}

}  // namespace app
