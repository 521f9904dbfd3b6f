#include "ui/windows/window_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "app/settings/messages.h"
#include "ui/picture/picture_convert.h"
#include "ui/picture/picture_view.h"
#include "ui/windows/main_window.h"

namespace ui {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string NoViewerText(const app::Language& language, const QUrl& url) {
    return app::MessageText(language, app::Message::NoViewer,
                            QDir::toNativeSeparators(url.toLocalFile()).toStdString());
}

// Qt hands a file to xdg-open and calls it shown once xdg-open has started,
// even when it then finds no program for the type: its exit status tells, so
// it is run here and `failed` is called when it reports a failure.
bool OpenWithDesktop(const QUrl& url, QObject* context, const std::function<void()>& failed) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
    if (!xdgOpen.isEmpty()) {
        // No parent: a viewer it starts and waits for outlives the window.
        auto* process = new QProcess;
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QObject::connect(process, &QProcess::finished, context,
                         [failed](int code, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || code != 0) failed();
                         });
        process->start(xdgOpen, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
        if (process->waitForStarted()) return true;
        delete process;
        return false;
    }
#else
    Q_UNUSED(context);
    Q_UNUSED(failed);
#endif
    return QDesktopServices::openUrl(url);
}

// Wide enough that the file list's name, size, type and date show uncut,
// within the screen.
void SizeFileDialog(QFileDialog& dialog, const QWidget& owner) {
    QSize size(900, 560);
    if (const QScreen* screen = owner.screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog.resize(size);
    if (auto* list = dialog.findChild<QTreeView*>("treeView")) {
        list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < list->header()->count(); ++column)
            list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

}  // namespace

WindowHost::WindowHost(MainWindow& window)
    : openUrl([this](const QUrl& url) {
          return OpenWithDesktop(url, &window_, [this, url] {
              ShowError(NoViewerText(window_.app_.language(), url));
          });
      }),
      window_(window) {
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
    QFileDialog dialog(&window_, lines.value(0), startFolder(proposedFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    SizeFileDialog(dialog, window_);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (lines.size() > 1) {
        auto* note = new QLabel(lines.mid(1).join('\n'), &dialog);
        note->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

std::optional<std::string> WindowHost::PickOpenFile(const std::string& title,
                                                    const std::string& filter, int filterIndex,
                                                    const std::string& initialFolder) {
    QFileDialog dialog(&window_, Q(title), startFolder(initialFolder));
    SizeFileDialog(dialog, window_);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = ToQtFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    window_.busyUntilIdle();
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

std::optional<std::string> WindowHost::PickSaveFile(const std::string& filter,
                                                    const std::string& proposedName) {
    QFileDialog dialog(&window_, QString(), Q(proposedName));
    SizeFileDialog(dialog, window_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(ToQtFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    window_.busyUntilIdle();
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

QString WindowHost::startFolder(const std::string& wanted) const {
    for (const std::string& folder : {wanted, window_.app_.view().LastFolder()})
        if (!folder.empty() && QFileInfo(Q(folder)).isDir()) return Q(folder);
    return QDir::homePath();
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
    const QUrl url = QUrl::fromLocalFile(Q(path));
    if (!openUrl(url)) ShowError(NoViewerText(window_.app_.language(), url));
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
