#include "cli/batch/console_host.h"

#include <ostream>

namespace cli {

void ConsoleHost::AddMemoLine(const std::string& line) {
    memo_.push_back(line);
    out_ << line << '\n';
}

void ConsoleHost::ShowMessage(const std::string& text) {
    ++messageCount_;
    err_ << messagePrefix_ << text << '\n';
}

void ConsoleHost::StartTimer(app::TimerId id, int) {
    armed_[id] = armCounter_++;
}

long ConsoleHost::RunTimers() {
    long fired = 0;
    for (;;) {
        // The timer armed earliest fires first: with no waiting, that keeps the
        // order the intervals would give for one-shot timers armed in sequence.
        auto next = armed_.end();
        for (auto it = armed_.begin(); it != armed_.end(); ++it) {
            if (handlers_.count(it->first) && (next == armed_.end() || it->second < next->second))
                next = it;
        }
        if (next == armed_.end()) return fired;
        // Every timer here is one-shot: firing disarms it; a handler may arm it again.
        const app::TimerId id = next->first;
        armed_.erase(next);
        handlers_[id]();
        ++fired;
    }
}

}  // namespace cli
