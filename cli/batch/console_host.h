// The console's side of the application for skeinpress-cli. ConsoleMessages
// is all a batch worker's conversion needs: memo lines are printed as they are
// added and message boxes go to the error stream. ConsoleHost adds what the
// application as a whole is built against, mostly inert on a console:
// questions are answered No, pickers cancelled, and timers are only noted as
// armed (commands step their work themselves).
#pragma once

#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/host.h"

namespace cli {

class ConsoleMessages : public app::Messages {
public:
    ConsoleMessages(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int MessageCount() const { return messageCount_; }
    // Put before every message box text (the file a command is working on).
    void SetMessagePrefix(std::string prefix) { messagePrefix_ = std::move(prefix); }

    void AddMemoLine(const std::string& line) override;
    int MemoLineCount() const override { return static_cast<int>(memo_.size()); }
    std::vector<std::string> MemoLines() override { return memo_; }
    void ClearMemo() override { memo_.clear(); }
    void ShowMessage(const std::string& text) override;
    void Beep() override {}

private:
    std::ostream& out_;
    std::ostream& err_;
    std::vector<std::string> memo_;
    int messageCount_ = 0;
    std::string messagePrefix_;
};

// app::Application takes a whole Host: the messages are the console's, the
// rest has no use on a console.
class ConsoleHost : public app::Host {
public:
    ConsoleHost(std::ostream& out, std::ostream& err) : messages_(out, err) {}

    int MessageCount() const { return messages_.MessageCount(); }
    void SetMessagePrefix(std::string prefix) { messages_.SetMessagePrefix(std::move(prefix)); }

    void AddMemoLine(const std::string& line) override { messages_.AddMemoLine(line); }
    int MemoLineCount() const override { return messages_.MemoLineCount(); }
    std::vector<std::string> MemoLines() override { return messages_.MemoLines(); }
    void ClearMemo() override { messages_.ClearMemo(); }
    void ShowMessage(const std::string& text) override { messages_.ShowMessage(text); }
    void Beep() override {}

    void SetFileNameLabel(const std::string&) override {}
    void SetSizeLabel(const std::string&) override {}
    void SetRecentFileCaption(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void SetTransparentChecked(bool) override {}
    void SetNonUniformColourVisible(bool) override {}
    void ShowTrawlButtons() override {}
    void ClearPictures() override {}
    void ShowColourPicture(const core::Bitmap&, int, int) override {}
    void ShowAlphaPicture(const core::Bitmap&, int, int) override {}
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
    void StartTimer(app::TimerId id, int) override { armed_.insert(id); }
    void StopTimer(app::TimerId id) override { armed_.erase(id); }
    bool TimerActive(app::TimerId id) const override { return armed_.count(id) != 0; }
    void Sleep(int) override {}
    void OpenDocument(const std::string&) override {}
    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    void RequestClose() override {}

private:
    ConsoleMessages messages_;
    std::set<app::TimerId> armed_;
};

}  // namespace cli
