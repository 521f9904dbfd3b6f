// The console's side of the program for skeinpress-cli: the messages are all
// a session or a batch worker's conversion reports through. Memo lines are
// printed as they are added and message boxes go to the error stream.
#pragma once

#include <iosfwd>
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

}  // namespace cli
