#include "ui/windows/window_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <algorithm>

#include "ui/picture/picture_convert.h"
#include "ui/picture/picture_view.h"
#include "ui/windows/main_window.h"

namespace ui {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

WindowHost::WindowHost(MainWindow& window)
    : openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }), window_(window) {
    for (const app::TimerId id : app::kTimers) {
        auto timer = std::make_unique<QTimer>();
        // The editor watchers poll until stopped; every other timer acts once per arming.
        timer->setSingleShot(!app::TimerRepeats(id));
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, &window_, [this, id] {
            // Opening the file named on the command line takes a moment.
            if (id == app::TimerId::OpenDelayed) window_.busyUntilIdle();
            window_.app_.TimerFired(id);
        });
        timers_[id] = std::move(timer);
    }
}

WindowHost::~WindowHost() {
    stopTimers();
}

void WindowHost::stopTimers() {
    for (const auto& [id, timer] : timers_) timer->stop();
}

void WindowHost::AddMemoLine(const std::string& line) {
    messageLines_.push_back(line);
    window_.messageLog->appendPlainText(Q(line));
}

int WindowHost::MemoLineCount() const {
    return static_cast<int>(messageLines_.size());
}

std::vector<std::string> WindowHost::MemoLines() {
    return messageLines_;
}

void WindowHost::ClearMemo() {
    messageLines_.clear();
    window_.messageLog->clear();
}

void WindowHost::SetFileNameLabel(const std::string& text) {
    window_.setFileNameText(Q(text));
}

void WindowHost::SetSizeLabel(const std::string& text) {
    window_.sizeLabel->setText(Q(text));
    window_.updateStatus();
}

void WindowHost::SetRecentFileCaption(const std::string& text) {
    window_.reopenAction->setText(Q(text).replace('&', "&&"));
    window_.reopenAction->setVisible(!Q(text).trimmed().isEmpty());
}

void WindowHost::SetTitle(const std::string& text) {
    window_.setWindowTitle(Q(text));
}

void WindowHost::Beep() {
    QApplication::beep();
}

void WindowHost::ClearPictures() {
    window_.clearPictures();
}

// The window fits the pictures into its panes itself, also after a resize.
void WindowHost::ShowColourPicture(const core::Bitmap& bitmap, int, int) {
    window_.setPicture(window_.colourPicture, window_.colourSize_, bitmap);
}

void WindowHost::ShowAlphaPicture(const core::Bitmap& bitmap, int, int) {
    window_.setPicture(window_.alphaPicture, window_.alphaSize_, bitmap);
}

void WindowHost::SetTransparentChecked(bool checked) {
    window_.transparentViewAction->setChecked(checked);
}

void WindowHost::SetNonUniformColourVisible(bool visible) {
    window_.nonUniformColourAction->setVisible(visible);
}

void WindowHost::ShowTrawlButtons() {
    window_.resumeButton->show();
    window_.stopButton->show();
}

void WindowHost::EnableTrawlButtons(bool resume, bool stop) {
    window_.resumeButton->setEnabled(resume);
    window_.stopButton->setEnabled(stop);
}

void WindowHost::showBox(int icon, const std::string& text) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), window_.windowTitle(), Q(text),
                    QMessageBox::Ok, &window_);
    box.exec();
}

void WindowHost::ShowMessage(const std::string& text) {
    showBox(QMessageBox::Information, text);
}

void WindowHost::ShowError(const std::string& text) {
    showBox(QMessageBox::Warning, text);
}

app::Answer WindowHost::Confirm(const std::string& text, app::Buttons buttons) {
    QMessageBox box(QMessageBox::Question, window_.windowTitle(), Q(text),
                    QMessageBox::Yes | QMessageBox::No, &window_);
    if (buttons == app::Buttons::YesNoCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setEscapeButton(QMessageBox::No);
    }
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return app::Answer::Yes;
        case QMessageBox::No:
            return app::Answer::No;
        default:
            return buttons == app::Buttons::YesNoCancel ? app::Answer::Cancel : app::Answer::No;
    }
}

std::optional<std::string> WindowHost::PickFolder(const std::string& caption,
                                                  const std::string& proposedFolder) {
    // A title shows one line: the rest of the caption goes into the dialog.
    const QStringList lines = Q(caption).split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts);
    QFileDialog dialog(&window_, lines.value(0), Q(proposedFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (lines.size() > 1) {
        auto* note = new QLabel(lines.mid(1).join('\n'), &dialog);
        note->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> WindowHost::PickOpenFile(const std::string& title,
                                                    const std::string& filter, int filterIndex,
                                                    const std::string& initialFolder) {
    QFileDialog dialog(&window_, Q(title), Q(initialFolder));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = ToQtFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    window_.busyUntilIdle();
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> WindowHost::PickSaveFile(const std::string& filter,
                                                    const std::string& proposedName) {
    const QString chosen = QFileDialog::getSaveFileName(&window_, QString(), Q(proposedName),
                                                        ToQtFilters(filter).join(";;"));
    if (chosen.isEmpty()) return std::nullopt;
    window_.busyUntilIdle();
    return chosen.toStdString();
}

void WindowHost::StartTimer(app::TimerId id, int intervalMs) {
    timers_.at(id)->start(std::max(0, intervalMs));
}

void WindowHost::StopTimer(app::TimerId id) {
    timers_.at(id)->stop();
}

bool WindowHost::TimerActive(app::TimerId id) const {
    return timers_.at(id)->isActive();
}

void WindowHost::Sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(std::max(0, milliseconds)));
}

void WindowHost::OpenDocument(const std::string& path) {
    if (!openUrl(QUrl::fromLocalFile(Q(path))))
        ShowError("Could not open \"" + path + "\": no program to show it was found.");
}

bool WindowHost::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    QStringList arguments;
    for (const auto& arg : args) arguments << Q(arg);
    return QProcess::startDetached(Q(program), arguments);
}

void WindowHost::RequestClose() {
    QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
}

}  // namespace ui
