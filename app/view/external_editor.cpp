#include "app/view/external_editor.h"

#include <optional>
#include <system_error>

#include "core/io/file_io.h"
#include "core/io/paths.h"
#include "core/ops/operations.h"

namespace app {

namespace {

namespace fs = std::filesystem;

constexpr int kWatchMs = 1000;
// Lets the file just saved settle, so the watch does not take its own write
// for the editor's.
constexpr int kSettleMs = 500;

void DeleteFileIfPresent(const std::string& path) {
    std::error_code ec;  // a missing file is no error
    fs::remove(core::PathFromUtf8(path), ec);
}

// The file's modification time, or nothing when it is gone.
std::optional<fs::file_time_type> ModificationTime(const std::string& path) {
    std::error_code ec;
    auto time = fs::last_write_time(core::PathFromUtf8(path), ec);
    if (ec) return std::nullopt;
    return time;
}

// Whether the watched file changed since `age` (which then moves on); a file
// that has gone ends its watch.
bool WatchedFileChanged(Timers& timers, const std::string& path, fs::file_time_type& age,
                        TimerId timer) {
    const auto now = ModificationTime(path);
    if (!now) {
        timers.StopTimer(timer);
        return false;
    }
    if (*now == age) return false;
    age = *now;
    return true;
}

}  // namespace

ExternalEditor::ExternalEditor(const Context& context, Dialogs& dialogs, Timers& timers,
                               Shell& shell, ImageView& view, ColourPick& pick)
    : ctx_(context), dialogs_(dialogs), timers_(timers), shell_(shell), view_(view), pick_(pick) {}

bool ExternalEditor::EditorChosen() {
    // The editor must be chosen before a round trip can work; say so instead of
    // starting a watcher that would wait forever.
    if (core::IsFile(ctx_.settings.EditorPath)) return true;
    ctx_.messages.ShowMessage(ctx_.T("message Editor") + " (" + ctx_.T("menu Setup") + " > " +
                              ctx_.T("menu Editor") + ")");
    return false;
}

void ExternalEditor::Start(const std::string& file, fs::file_time_type& age, TimerId watch) {
    shell_.Sleep(kSettleMs);
    age = ModificationTime(file).value_or(fs::file_time_type{});
    if (!shell_.StartProgram(ctx_.settings.EditorPath, {file})) {
        ctx_.messages.ShowError(ctx_.Text(Message::EditorNotStarted, ctx_.settings.EditorPath));
        return;
    }
    timers_.StartTimer(watch, kWatchMs);
}

void ExternalEditor::EditColour() {
    pick_.End();
    if (!EditorChosen()) return;
    core::ImageStore& store = view_.Store();
    const std::string image = ctx_.files.TempImage(), alpha = ctx_.files.TempAlpha();
    const bool hasAlpha = store.Current.HasAlpha();
    DeleteFileIfPresent(image);
    DeleteFileIfPresent(alpha);
    core::Failure failure = core::SaveColourImage(store.Current, image);
    if (!failure && hasAlpha) failure = core::SaveAlphaImage(store.Current, alpha);
    if (failure) {
        ctx_.messages.ShowError(failure.Message());
        return;
    }
    Start(image, colourAge_, TimerId::WatchColour);
}

void ExternalEditor::CheckColourFile() {
    const std::string image = ctx_.files.TempImage(), alpha = ctx_.files.TempAlpha();
    if (!WatchedFileChanged(timers_, image, colourAge_, TimerId::WatchColour)) return;
    core::ImageStore& store = view_.Store();
    const bool hadAlpha = store.Current.HasAlpha();
    // The edited colours are read as the open file is; the name stays the open file's.
    view_.Reload(image);
    view_.NoteChange(Change::Pixels);
    if (hadAlpha && core::IsFile(alpha)) {
        if (const core::Failure failure = core::MergeAlphaFile(store.Current, alpha))
            ctx_.messages.AddMemoLine("  " + failure.Message());
        view_.ShowRead(ReadOutcome::Read);
    }
}

void ExternalEditor::EditAlpha() {
    pick_.End();
    core::ImageStore& store = view_.Store();
    if (!store.Current.HasAlpha()) {
        ctx_.messages.ShowMessage(ctx_.T("message Nothing1"));
        return;
    }
    if (!EditorChosen()) return;
    const std::string alpha = ctx_.files.TempAlpha();
    DeleteFileIfPresent(alpha);
    if (const core::Failure failure = core::SaveAlphaImage(store.Current, alpha)) {
        ctx_.messages.ShowError(failure.Message());
        return;
    }
    Start(alpha, alphaAge_, TimerId::WatchAlpha);
}

void ExternalEditor::CheckAlphaFile() {
    const std::string alpha = ctx_.files.TempAlpha();
    if (!WatchedFileChanged(timers_, alpha, alphaAge_, TimerId::WatchAlpha)) return;
    core::ImageStore& store = view_.Store();
    if (!store.Current.HasAlpha()) return;
    if (const core::Failure failure = core::MergeAlphaFile(store.Current, alpha))
        ctx_.messages.AddMemoLine("  " + failure.Message());
    else
        view_.NoteChange(Change::Pixels);
    view_.Redraw();
}

void ExternalEditor::ChooseEditor() {
    if (dialogs_.Confirm(ctx_.T("dialog Editor"), Buttons::YesNo) != Answer::Yes) return;
    const auto chosen =
        dialogs_.PickOpenFile(ctx_.T("message Editor"), ImageAndEditorFilter(), 2,
                              std::string(core::FolderPart(ctx_.settings.EditorPath)));
    if (chosen) ctx_.settings.EditorPath = *chosen;
}

void ExternalEditor::RemoveTemporaryFiles() {
    DeleteFileIfPresent(ctx_.files.TempImage());
    DeleteFileIfPresent(ctx_.files.TempAlpha());
}

}  // namespace app
