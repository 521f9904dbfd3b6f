// A recording Host for the application tests: memo lines, labels and dialogs are
// kept for inspection, dialog answers are queued by the test, and timers only
// fire when the test calls Fire() or RunTimers().
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/host.h"

namespace testing_support {

class FakeHost : public app::Host {
public:
    // ---- recorded state: allMemo and titles keep every line and title, cleared
    // or not; messages are the message boxes shown, confirmations the questions.
    std::vector<std::string> memo, allMemo, titles, messages, confirmations, openedDocuments;
    std::string sizeLabel;
    bool colourShown = false, alphaShown = false, transparentChecked = false;
    std::pair<bool, bool> trawlButtons;  // whether Resume and Stop can be pressed
    std::vector<std::vector<std::string>> startedPrograms;  // program then arguments

    // ---- answers the test queues (defaults when empty: No, cancel)
    std::deque<app::Answer> answers;
    std::deque<std::optional<std::string>> folderPicks, openPicks, savePicks;
    std::vector<std::string> folderPickCaptions;

    // ---- timers: the intervals of the active ones, and the handlers Fire()
    // calls, which the test connects to the application's.
    std::map<app::TimerId, int> timers;
    std::map<app::TimerId, std::function<void()>> handlers;

    bool Active(app::TimerId id) const { return timers.count(id) > 0; }
    // Runs the handler of an active timer (as if it had fired). False if inactive.
    bool Fire(app::TimerId id) {
        if (!Active(id) || !handlers.count(id)) return false;
        handlers[id]();
        return true;
    }

    // ---- Host
    void AddMemoLine(const std::string& line) override {
        memo.push_back(line);
        allMemo.push_back(line);
    }
    int MemoLineCount() const override { return static_cast<int>(memo.size()); }
    std::vector<std::string> MemoLines() override { return memo; }
    void ClearMemo() override { memo.clear(); }
    void SetFileNameLabel(const std::string&) override {}
    void SetSizeLabel(const std::string& text) override { sizeLabel = text; }
    void SetRecentFileCaption(const std::string&) override {}
    void SetTitle(const std::string& text) override { titles.push_back(text); }
    void Beep() override {}
    void ClearPictures() override { colourShown = alphaShown = false; }
    void ShowColourPicture(const core::Bitmap&, int, int) override { colourShown = true; }
    void ShowAlphaPicture(const core::Bitmap&, int, int) override { alphaShown = true; }
    void SetTransparentChecked(bool c) override { transparentChecked = c; }
    void SetNonUniformColourVisible(bool) override {}
    void ShowTrawlButtons() override {}
    void EnableTrawlButtons(bool resume, bool stop) override { trawlButtons = {resume, stop}; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    app::Answer Confirm(const std::string& text, app::Buttons) override {
        confirmations.push_back(text);
        return Pop(answers, app::Answer::No);
    }
    std::optional<std::string> PickFolder(const std::string& caption, const std::string&) override {
        folderPickCaptions.push_back(caption);
        return Pop(folderPicks);
    }
    std::optional<std::string> PickOpenFile(const std::string&, const std::string&, int,
                                            const std::string&) override {
        return Pop(openPicks);
    }
    std::optional<std::string> PickSaveFile(const std::string&, const std::string&) override {
        return Pop(savePicks);
    }
    void StartTimer(app::TimerId id, int intervalMs) override { timers[id] = intervalMs; }
    void StopTimer(app::TimerId id) override { timers.erase(id); }
    bool TimerActive(app::TimerId id) const override { return Active(id); }
    void Sleep(int) override {}
    void OpenDocument(const std::string& path) override { openedDocuments.push_back(path); }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        startedPrograms.push_back({program});
        startedPrograms.back().insert(startedPrograms.back().end(), args.begin(), args.end());
        return true;
    }
    void RequestClose() override {}

private:
    template <typename T>
    static T Pop(std::deque<T>& q, T none = T()) {
        if (q.empty()) return none;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace testing_support
