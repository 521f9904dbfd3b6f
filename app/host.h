// What the program's behaviour needs from a window. The desktop program
// implements it with widgets and QTimer, the tests with a recording fake whose
// timers fire when the test says so, and skeinpress-cli only the messages, on
// the console.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/image/bitmap.h"

namespace app {

// The main window's timers. Each is armed one-shot except the two editor
// watchers, which fire every interval until stopped.
enum class TimerId {
    OpenDelayed,    // 0 ms: open the file named on the command line once the window shows
    WatchColour,    // 1000 ms: the external editor's colour picture
    WatchAlpha,     // 1000 ms: the external editor's alpha picture
    CloseLog,       // 200 ms: close the trawl log after a trawl
    TrawlSlow,      // TrawlSpeed ms: the trawl's step after image work
    CloseWindow,    // 500 ms: close the main window
    OpenWithSetup,  // 1000 ms: the open-with set-up after start
    TrawlFast,      // 10 ms: the trawl's step after an entry without image work
};

inline constexpr std::array<TimerId, 8> kTimers = {
    TimerId::OpenDelayed, TimerId::WatchColour, TimerId::WatchAlpha,    TimerId::CloseLog,
    TimerId::TrawlSlow,   TimerId::CloseWindow, TimerId::OpenWithSetup, TimerId::TrawlFast};

// Whether a timer fires every interval until stopped, not once per arming.
inline bool TimerRepeats(TimerId id) {
    return id == TimerId::WatchColour || id == TimerId::WatchAlpha;
}

enum class Buttons { YesNo, YesNoCancel };
enum class Answer { Yes, No, Cancel };

// The message log and message boxes: what every part that reports needs,
// the headless conversion included.
class Messages {
public:
    virtual ~Messages() = default;

    // The message log. Reading its lines may first have to wait for lines still
    // being made (a console converting on several workers).
    virtual void AddMemoLine(const std::string& line) = 0;
    virtual int MemoLineCount() const = 0;
    virtual std::vector<std::string> MemoLines() = 0;
    virtual void ClearMemo() = 0;

    virtual void ShowMessage(const std::string& text) = 0;
    // A failure (a file that cannot be read, written or shown): a message box
    // that says so by its look.
    virtual void ShowError(const std::string& text) { ShowMessage(text); }
    virtual void Beep() = 0;
};

// Where a trawl shows how far it is: the title, the file-name label and the
// trawl's buttons. The console prints its own progress and has none.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;

    virtual void SetFileNameLabel(const std::string& text) = 0;  // the open file or trawl entry
    virtual void SetTitle(const std::string& text) = 0;          // application title
    virtual void ShowTrawlButtons() = 0;                         // stop and resume
    // Which of the two can be pressed: Resume only while a trawl is stopped,
    // Stop only while one runs.
    virtual void EnableTrawlButtons(bool /*resume*/, bool /*stop*/) {}
};

// The rest of the labels and the menu states the open image changes.
class StatusDisplay : public ProgressDisplay {
public:
    virtual void SetSizeLabel(const std::string& text) = 0;          // the open image's description
    virtual void SetRecentFileCaption(const std::string& text) = 0;  // the recent-file item
    virtual void SetTransparentChecked(bool checked) = 0;       // the transparent view's check mark
    virtual void SetNonUniformColourVisible(bool visible) = 0;  // the uniform-colour repair item
};

// The two picture panes. `shownWidth` x `shownHeight` is the size after the fit
// into its box; the host stretches the bitmap to it.
class Pictures {
public:
    virtual ~Pictures() = default;

    virtual void ClearPictures() = 0;
    virtual void ShowColourPicture(const core::Bitmap& bitmap, int shownWidth, int shownHeight) = 0;
    virtual void ShowAlphaPicture(const core::Bitmap& bitmap, int shownWidth, int shownHeight) = 0;
};

// Questions and pickers. Pickers return nothing when cancelled.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer Confirm(const std::string& text, Buttons buttons) = 0;
    virtual std::optional<std::string> PickFolder(const std::string& caption,
                                                  const std::string& proposedFolder) = 0;
    // filter uses the "Description|*.a;*.b|Description|*.c" form; filterIndex is 1-based.
    virtual std::optional<std::string> PickOpenFile(const std::string& title,
                                                    const std::string& filter, int filterIndex,
                                                    const std::string& initialFolder) = 0;
    virtual std::optional<std::string> PickSaveFile(const std::string& filter,
                                                    const std::string& proposedName) = 0;
};

class Timers {
public:
    virtual ~Timers() = default;

    virtual void StartTimer(TimerId id, int intervalMs) = 0;
    virtual void StopTimer(TimerId id) = 0;
    virtual bool TimerActive(TimerId id) const = 0;
};

// Other programs, waiting and closing.
class Shell {
public:
    virtual ~Shell() = default;

    virtual void Sleep(int milliseconds) = 0;                // the command line's blocking waits
    virtual void OpenDocument(const std::string& path) = 0;  // default viewer (log, help)
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    virtual void RequestClose() = 0;  // ask the main window to close (close question first)
};

// Everything at once: what the window and the tests' fake implement. Each
// part of the application takes only the pieces it uses; the console
// implements Messages alone.
class Host : public Messages,
             public StatusDisplay,
             public Pictures,
             public Dialogs,
             public Timers,
             public Shell {};

}  // namespace app
