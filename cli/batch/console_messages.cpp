#include "cli/batch/console_messages.h"

#include <ostream>

namespace cli {

void ConsoleMessages::AddMemoLine(const std::string& line) {
    memo_.push_back(line);
    out_ << line << '\n';
}

void ConsoleMessages::ShowMessage(const std::string& text) {
    ++messageCount_;
    err_ << messagePrefix_ << text << '\n';
}

}  // namespace cli
