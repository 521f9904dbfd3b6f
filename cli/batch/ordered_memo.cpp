#include "cli/batch/ordered_memo.h"

#include <algorithm>
#include <cstddef>
#include <ostream>

namespace cli {

OrderedMemo::OrderedMemo(Streams io, BatchReport& report)
    : ConsoleMessages(io.out, io.err), err_(io.err), report_(report) {}

void OrderedMemo::AddMemoLine(const std::string& line) {
    Item item;
    item.lines.push_back(line);
    items_.push_back(std::move(item));
    ++count_;
    Pump(0);
}

std::vector<std::string> OrderedMemo::MemoLines() {
    Pump(SIZE_MAX);
    std::vector<std::string> lines;
    for (const Item& item : items_) lines.insert(lines.end(), item.lines.begin(), item.lines.end());
    return lines;
}

void OrderedMemo::ClearMemo() {
    Pump(SIZE_MAX);
    items_.clear();
    shown_ = 0;
    count_ = 0;
}

std::vector<std::string> OrderedMemo::TakeShownLines(size_t atLeast) {
    size_t shownLines = 0;
    for (size_t i = 0; i < shown_; ++i) shownLines += items_[i].lines.size();
    if (shownLines < atLeast || shownLines == 0) return {};
    std::vector<std::string> lines;
    lines.reserve(shownLines);
    for (size_t i = 0; i < shown_; ++i)
        for (std::string& line : items_[i].lines) lines.push_back(std::move(line));
    items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(shown_));
    shown_ = 0;
    count_ -= shownLines;
    return lines;
}

void OrderedMemo::AddPlace(const std::string& path, const std::string& folder) {
    Item item;
    item.open = true;
    item.path = path;
    items_.push_back(std::move(item));
    folders_.push_back(folder);
    ++count_;
    report_.Found();
}

void OrderedMemo::AddRefusal(const std::string& path, const std::string& line) {
    Item item;
    item.path = path;
    item.refusal = line;
    items_.push_back(std::move(item));
    Pump(0);
}

void OrderedMemo::WaitForFolder(const std::string& folder) {
    while (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) Pump(1);
}

void OrderedMemo::Pump(size_t waits) {
    while (shown_ < items_.size()) {
        Item& item = items_[shown_];
        if (item.open) {
            std::optional<JobResult> result = takeResult_(false);
            if (!result) {
                if (waits == 0) return;
                --waits;
                result = takeResult_(true);
            }
            folders_.pop_front();
            item.open = false;
            item.lines = std::move(result->lines);
            count_ += item.lines.size();
            --count_;
            if (!result->err.empty()) {
                err_ << result->err << std::flush;
                ++workerMessages_;
            }
            if (!result->notRun) report_.Done(item.path, result->outcome);
        }
        for (const std::string& line : item.lines) report_.Line(line);
        if (!item.refusal.empty()) report_.Refuse(item.path, item.refusal);
        ++shown_;
    }
}

}  // namespace cli
