// A Host on the console for skeinpress-cli: memo lines are printed as they are
// added, message boxes go to the error stream, questions are answered No and
// pickers cancelled, and timers fire at once from RunTimers() (no waiting).
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/host.h"

namespace cli {

class ConsoleHost : public app::Host {
public:
    ConsoleHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // The handler a timer runs when it fires. Timers without one never fire.
    void SetTimerHandler(app::TimerId id, std::function<void()> handler) {
        handlers_[id] = std::move(handler);
    }
    // Fires armed timers that have a handler, earliest armed first, until none
    // is armed. Firing disarms a timer. Returns the number of firings.
    long RunTimers();
    int MessageCount() const { return messageCount_; }
    // Put before every message box text (the file a command is working on).
    void SetMessagePrefix(std::string prefix) { messagePrefix_ = std::move(prefix); }

    void AddMemoLine(const std::string& line) override;
    int MemoLineCount() const override { return static_cast<int>(memo_.size()); }
    std::vector<std::string> MemoLines() override { return memo_; }
    void ClearMemo() override { memo_.clear(); }
    void SetFileNameLabel(const std::string&) override {}
    void SetSizeLabel(const std::string&) override {}
    void SetRecentFileCaption(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void Beep() override {}
    void ClearPictures() override {}
    void ShowColourPicture(const core::Bitmap&, int, int) override {}
    void ShowAlphaPicture(const core::Bitmap&, int, int) override {}
    void SetTransparentChecked(bool) override {}
    void SetNonUniformColourVisible(bool) override {}
    void ShowTrawlButtons() override {}
    void ShowMessage(const std::string& text) override;
    app::Answer Confirm(const std::string&, app::Buttons) override { return app::Answer::No; }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickOpenFile(const std::string&, const std::string&, int,
                                            const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void StartTimer(app::TimerId id, int intervalMs) override;
    void StopTimer(app::TimerId id) override { armed_.erase(id); }
    bool TimerActive(app::TimerId id) const override { return armed_.count(id) != 0; }
    void Sleep(int) override {}
    void OpenDocument(const std::string&) override {}
    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    void RequestClose() override {}

private:
    std::ostream& out_;
    std::ostream& err_;
    std::vector<std::string> memo_;
    int messageCount_ = 0;
    std::string messagePrefix_;
    std::map<app::TimerId, std::function<void()>> handlers_;
    // Armed timers with the order they were armed in.
    std::map<app::TimerId, long> armed_;
    long armCounter_ = 0;
};

}  // namespace cli
