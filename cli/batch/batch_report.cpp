#include "cli/batch/batch_report.h"
#include "core/io/paths.h"

#include <cstdio>
#include <ostream>

namespace cli {

namespace {

constexpr auto kBarInterval = std::chrono::milliseconds(200);
constexpr auto kPlainInterval = std::chrono::seconds(5);
constexpr int kBarWidth = 30;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string MinutesSeconds(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

std::string ConvertedLine(const std::string& source, const std::vector<std::string>& written) {
    std::string line = source + " ->";
    for (size_t i = 0; i < written.size(); ++i) line += (i == 0 ? " " : ", ") + written[i];
    return line + "\n";
}

BatchReport::BatchReport(std::ostream& out, std::ostream& err, Verbosity verbosity,
                         bool progressOnTerminal)
    : out_(out),
      err_(err),
      verbosity_(verbosity),
      bar_(progressOnTerminal),
      start_(std::chrono::steady_clock::now()),
      lastShown_(start_) {}

void BatchReport::Done(const std::string& path, const app::ConversionOutcome& outcome) {
    ++done_;
    if (outcome.converted) ++converted_;
    if (outcome.repaired) ++repaired_;
    if (outcome.skipped) ++skipped_;
    if (outcome.refused) {
        ++refused_;
        const std::string message = outcome.problems.empty() ? "refused" : outcome.problems.front();
        refusals_.push_back(core::OnOneLine(path) + ": " + message);
    }
    ShowProgress(false);
}

void BatchReport::Line(const std::string& line) {
    if (verbosity_ == Verbosity::Quiet) return;
    // The bar and the lines may share one terminal: clear the bar first.
    ClearBar();
    out_ << line << '\n';
}

void BatchReport::ClearBar() {
    if (barWidth_ == 0) return;
    err_ << '\r' << std::string(barWidth_, ' ') << '\r' << std::flush;
    barWidth_ = 0;
}

void BatchReport::ShowProgress(bool force) {
    if (verbosity_ == Verbosity::Quiet || (!bar_ && verbosity_ != Verbosity::Verbose)) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force &&
        now - lastShown_ <
            (bar_ ? std::chrono::duration_cast<std::chrono::milliseconds>(kBarInterval)
                  : std::chrono::duration_cast<std::chrono::milliseconds>(kPlainInterval)))
        return;
    lastShown_ = now;
    const double elapsed = SecondsSince(start_);
    const double rate = elapsed > 0 ? done_ / elapsed : 0;
    const long expected = expected_.load();
    // The count beside the work may lag behind the walk; never show fewer.
    const long total = std::max(expected, found_);
    const bool totalKnown = expected >= 0;
    std::string text = std::to_string(done_) + "/" + std::to_string(total) +
                       (totalKnown ? "" : "+") + " files  " + Fixed(rate, 1) + " files/s";
    if (totalKnown && rate > 0 && total >= done_)
        text += "  " + MinutesSeconds((total - done_) / rate) + " left";
    if (bar_) {
        const int filled =
            total > 0 ? static_cast<int>(kBarWidth * std::min(done_, total) / total) : 0;
        std::string bar(1, '[');
        bar.append(filled, '#').append(kBarWidth - filled, '.').append("] ").append(text);
        const size_t width = bar.size();
        // Blanks over what a longer bar left: every console knows these,
        // while the escape sequence that clears a line needs asking for on
        // Windows.
        if (width < barWidth_) bar.append(barWidth_ - width, ' ');
        err_ << '\r' << bar << std::flush;
        barWidth_ = width;
    } else {
        err_ << "skeinpress-cli: " << text << '\n' << std::flush;
    }
}

void BatchReport::Finish(const std::string& title) {
    ClearBar();
    if (verbosity_ == Verbosity::Quiet) {
        for (const std::string& refusal : refusals_) err_ << refusal << '\n';
        return;
    }
    const double elapsed = SecondsSince(start_);
    const long files = done_ + skippedUnread_;
    out_ << title << ": " << files << " files in " << Fixed(elapsed, 1) << " s: " << converted_
         << " converted, " << repaired_ << " repaired, " << refused_ << " refused, " << skipped_
         << " skipped\n";
    for (const std::string& refusal : refusals_) out_ << "  refused " << refusal << '\n';
    out_ << std::flush;
}

}  // namespace cli
