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
    // here, and the trawl's later writes then quietly do nothing.
    LogOpen = true;
    logReopenPending_ = false;
    trawlLog_.clear();
    trawlLog_.open(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!trawlLog_.is_open()) {
        ReportLogFailure();
        return;
    }
    trawlLog_ << LogHeader() << kLineEnd;
    trawlLog_.flush();
    if (!trawlLog_) ReportLogFailure();
}

void Application::WriteLogFile() {
    if (!LogOpen && logReopenPending_) OpenLogFile();
    if (!LogOpen || !trawlLog_.is_open() || !trawlLog_) return;
    for (const std::string& line : host_.MemoLines()) trawlLog_ << line << kLineEnd;
    // Each chunk goes to disk as it is written, so a crash loses at most the memo.
    trawlLog_.flush();
    if (!trawlLog_) ReportLogFailure();
}

void Application::CloseLogFile() {
    if (!LogOpen) return;
    if (trawlLog_.is_open()) trawlLog_.close();
    trawlLog_.clear();
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
