// What the application asks of the desktop window, done with the main window's
// widgets, Qt's dialogs and timers, and the desktop's programs.
#pragma once

#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/host.h"

class QString;
class QUrl;

namespace ui {

class MainWindow;

class WindowHost : public app::Host {
public:
    // Makes the timers and keeps the window, whose widgets come after it.
    explicit WindowHost(MainWindow& window);
    ~WindowHost() override;

    // Opens a document with the desktop's viewer; false when none could. A
    // viewer found to be missing only later reports so itself.
    std::function<bool(const QUrl&)> openUrl;
    void stopTimers();

    void AddMemoLine(const std::string& line) override;
    int MemoLineCount() const override;
    std::vector<std::string> MemoLines() override;
    void ClearMemo() override;
    void SetFileNameLabel(const std::string& text) override;
    void SetSizeLabel(const std::string& text) override;
    void SetRecentFileCaption(const std::string& text) override;
    void SetTitle(const std::string& text) override;
    void Beep() override;
    void ClearPictures() override;
    void ShowColourPicture(const core::Bitmap& bitmap, int shownWidth, int shownHeight) override;
    void ShowAlphaPicture(const core::Bitmap& bitmap, int shownWidth, int shownHeight) override;
    void SetTransparentChecked(bool checked) override;
    void SetNonUniformColourVisible(bool visible) override;
    void ShowTrawlButtons() override;
    void EnableTrawlButtons(bool resume, bool stop) override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    app::Answer Confirm(const std::string& text, app::Buttons buttons) override;
    // The caption's first line is the title; the rest is shown in the dialog.
    std::optional<std::string> PickFolder(const std::string& caption,
                                          const std::string& proposedFolder) override;
    std::optional<std::string> PickOpenFile(const std::string& title, const std::string& filter,
                                            int filterIndex,
                                            const std::string& initialFolder) override;
    std::optional<std::string> PickSaveFile(const std::string& filter,
                                            const std::string& proposedName) override;
    void StartTimer(app::TimerId id, int intervalMs) override;
    void StopTimer(app::TimerId id) override;
    bool TimerActive(app::TimerId id) const override;
    void Sleep(int milliseconds) override;
    void OpenDocument(const std::string& path) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;
    void RequestClose() override;

private:
    void showBox(int icon, const std::string& text);
    // Where a file dialog opens: the folder asked for where it exists, else
    // where the last file was, else the home folder (not the working folder).
    QString startFolder(const std::string& wanted) const;

    MainWindow& window_;
    std::vector<std::string> messageLines_;
    std::map<app::TimerId, std::unique_ptr<QTimer>> timers_;
};

}  // namespace ui
