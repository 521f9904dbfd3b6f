// The commands of the two picture panes' pop-up menus, File > Merge Alpha Image
// and Make Normal Map, the colour pick, the external editor round trip, and the
// window's own small commands (option toggles, editor choice, help).
#include <system_error>

#include "app/application.h"
#include "core/alpha_channel.h"
#include "core/file_io.h"
#include "core/normal_map.h"
#include "core/operations.h"
#include "core/paths.h"
#include "core/render.h"

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kImageAndEditorFilter =
    "Trainz Images  (*.texture, *.bmp, *jpg, *.tga)|*.texture;*.bmp;*.jpg;*.tga|"
    "Image Editors   (*.exe)|*.exe";

void DeleteFileIfPresent(const std::string& path) {
    std::error_code ec;
    fs::remove(fs::path(path), ec);
}

// The file's modification time, or nothing when it is gone.
std::optional<fs::file_time_type> ModificationTime(const std::string& path) {
    std::error_code ec;
    auto time = fs::last_write_time(fs::path(path), ec);
    if (ec) return std::nullopt;
    return time;
}

// Whether the watched file changed since `age` (which then moves on); a file
// that has gone ends its watch.
bool WatchedFileChanged(Host& host, const std::string& path, fs::file_time_type& age,
                        TimerId timer) {
    const auto now = ModificationTime(path);
    if (!now) {
        host.StopTimer(timer);
        return false;
    }
    if (*now == age) return false;
    age = *now;
    return true;
}

}  // namespace

std::string Application::TempImagePath() const {
    return programDir_ + "tempimage.bmp";
}
std::string Application::TempAlphaPath() const {
    return programDir_ + "tempalpha.bmp";
}

bool Application::DisplayActualSize1Click() {
    PickMode = 0;
    ActualSizeAlpha = false;
    return true;
}

bool Application::DisplayActualSize2Click() {
    if (store_.Image.AlphaKind == 0) return false;
    PickMode = 0;
    ActualSizeAlpha = true;
    return true;
}

bool Application::RenderActualSize(core::Bitmap& bitmap) {
    if (!store_.ImageLoaded) return false;
    const auto width = static_cast<uint16_t>(store_.Image.Width);
    const auto height = static_cast<uint16_t>(store_.Image.Height);
    if (ActualSizeAlpha) {
        store_.AlphaView = true;
        core::RenderImage(store_, bitmap, width, height);
    } else {
        store_.AlphaView = false;
        if (TransparentView) core::RenderTransparent(store_, bitmap, settings_.BGroundColour);
        // The alpha channel may have been removed since the view was switched on.
        if (!TransparentView || bitmap.Empty()) core::RenderImage(store_, bitmap, width, height);
    }
    return !bitmap.Empty();
}

void Application::DisplayTransparent1Click() {
    PickMode = 0;
    if (TransparentView) {
        TransparentView = false;
        host_.SetTransparentChecked(false);
        TransparentPending = false;
    } else if (store_.Image.AlphaKind != 0) {
        TransparentView = true;
        host_.SetTransparentChecked(true);
        TransparentPending = true;
    }
    ViewTexture(false);
}

void Application::TransparentBground1Click(uint32_t chosenColour) {
    settings_.BGroundColour = chosenColour & 0xFFFFFF;
    if (TransparentView) {
        TransparentPending = true;
        ViewTexture(false);
    }
}

void Application::GreyScale1Click() {
    core::GreyScale(store_);
    ViewTexture(false);
    ImageModified = true;
    GreyScaleMade = true;
}

void Application::NonUniformColour1Click() {
    core::NonUniformColour(store_, settings_.PixelSetCount, settings_.PixelSetChange,
                           settings_.PixelSetRandom, Random);
    ImageModified = true;
    ViewTexture(false);
}

void Application::InvertAlphaColour1Click() {
    if (!core::InvertAlpha(store_)) {
        host_.ShowMessage(T("message Nothing1"));
        return;
    }
    ImageModified = true;
    ViewTexture(false);
}

void Application::RemoveAlphaChannel1Click() {
    PickMode = 0;
    if (host_.Confirm(T("dialog Alpha"), Buttons::YesNo) != Answer::Yes) return;
    if (!core::RemoveAlphaChannel(store_)) {
        host_.ShowMessage(T("message Nothing1"));
        return;
    }
    ImageModified = true;
    ViewTexture(false);
}

void Application::MergeAlphaImage1Click() {
    if (!store_.ImageLoaded) {
        host_.ClearMemo();
        host_.AddMemoLine("");
        host_.AddMemoLine(" **** " + T("message NoImage") + " ****");
        host_.Beep();
        return;
    }
    PickMode = 0;
    const auto chosen =
        host_.PickOpenFile(T("message Merge"), kImageAndEditorFilter, 1, settings_.DefaultDir);
    if (!chosen) return;
    if (core::MergeAlphaImage(store_, *chosen)) {
        ImageModified = true;
    } else {
        // The failed merge has also dropped the alpha channel: show the reason and
        // redraw, so the panes do not show an alpha channel that is gone.
        host_.AddMemoLine("  " + store_.LoadErrorText);
    }
    ViewTexture(false);
}

void Application::MakeNormalMap1Click() {
    if (!store_.ImageLoaded) return;
    core::MakeNormalMap(store_.Image.Width, store_.Image.Height, store_.Image.DataSize,
                        store_.Image.Data, store_.AlphaFillValue);
    if (store_.Image.Width != 0 && store_.Image.Height != 0) {
        if (store_.BytesPerPixel() == 3) core::AddAlphaChannel(store_, true);
        core::UpdateAlphaKind(store_);
    }
    ViewTexture(false);
    ImageModified = true;
    NormalMapMade = true;
}

void Application::BeginColourPick(bool accepted, int tolerance) {
    if (!accepted) {
        PickMode = 0;
        return;
    }
    PickTolerance = tolerance;
    PickMode = 2;
}

std::string Application::ColourPicked(uint8_t red, uint8_t green, uint8_t blue) {
    if (PickMode != 2) return {};
    const std::string spec = std::to_string(red) + "," + std::to_string(green) + "," +
                             std::to_string(blue) + "," + std::to_string(PickTolerance);
    if (core::CreateAlphaMask(store_, spec)) ImageModified = true;
    ViewTexture(false);
    PickMode = 0;
    return spec;
}

// ---- External editor round trip

namespace {

// The editor must be chosen before a round trip can work; say so instead of
// starting a watcher that would wait forever.
bool EditorChosen(Application& app) {
    if (core::IsFile(app.settings().EditorPath)) return true;
    app.host().ShowMessage(app.T("message Editor") + " (" + app.T("menu Setup") + " > " +
                           app.T("menu Editor") + ")");
    return false;
}

void StartEditor(Application& app, const std::string& file, fs::file_time_type& age,
                 TimerId watch) {
    // Let the file just saved settle, so the watch does not take its own
    // write for the editor's.
    app.host().Sleep(500);
    age = ModificationTime(file).value_or(fs::file_time_type{});
    if (!app.host().StartProgram(app.settings().EditorPath, {file})) {
        app.host().ShowError("Could not start the image editor \"" + app.settings().EditorPath +
                             "\".");
        return;
    }
    app.host().StartTimer(watch, 1000);
}

}  // namespace

void Application::Edit1Click() {
    PickMode = 0;
    if (!EditorChosen(*this)) return;
    const bool hasAlpha = store_.Image.AlphaKind != 0;
    DeleteFileIfPresent(TempImagePath());
    DeleteFileIfPresent(TempAlphaPath());
    if (!core::SaveColourImage(store_, TempImagePath())) {
        host_.ShowError(store_.LoadErrorText);
        return;
    }
    if (hasAlpha && !core::SaveAlphaImage(store_, TempAlphaPath())) {
        host_.ShowError(store_.LoadErrorText);
        return;
    }
    StartEditor(*this, TempImagePath(), TempImageAge, TimerId::WatchColour);
}

void Application::Timer2Timer() {
    if (!WatchedFileChanged(host_, TempImagePath(), TempImageAge, TimerId::WatchColour)) return;
    const bool hadAlpha = store_.Image.AlphaKind != 0;
    const std::string openFile = settings_.CurrentFile;
    settings_.CurrentFile = TempImagePath();
    ViewTexture(true);
    ImageModified = true;
    if (hadAlpha && core::IsFile(TempAlphaPath())) {
        if (!core::MergeAlphaImage(store_, TempAlphaPath()))
            host_.AddMemoLine("  " + store_.LoadErrorText);
        ViewTexture(false);
    }
    settings_.CurrentFile = openFile;
}

void Application::Edit2Click() {
    PickMode = 0;
    if (store_.Image.AlphaKind == 0) {
        host_.ShowMessage(T("message Nothing1"));
        return;
    }
    if (!EditorChosen(*this)) return;
    DeleteFileIfPresent(TempAlphaPath());
    if (!core::SaveAlphaImage(store_, TempAlphaPath())) {
        host_.ShowError(store_.LoadErrorText);
        return;
    }
    StartEditor(*this, TempAlphaPath(), TempAlphaAge, TimerId::WatchAlpha);
}

void Application::Timer3Timer() {
    if (!WatchedFileChanged(host_, TempAlphaPath(), TempAlphaAge, TimerId::WatchAlpha)) return;
    if (store_.Image.AlphaKind == 0) return;
    if (core::MergeAlphaImage(store_, TempAlphaPath()))
        ImageModified = true;
    else
        host_.AddMemoLine("  " + store_.LoadErrorText);
    ViewTexture(false);
}

// ---- Options, editor choice, help

bool Application::ToggleOption(bool Settings::*option) {
    settings_.*option = !(settings_.*option);
    return settings_.*option;
}

void Application::SetUp1Click() {
    if (host_.Confirm(T("dialog Editor"), Buttons::YesNo) != Answer::Yes) return;
    const auto chosen = host_.PickOpenFile(T("message Editor"), kImageAndEditorFilter, 2,
                                           std::string(core::FolderPart(settings_.EditorPath)));
    if (chosen) settings_.EditorPath = *chosen;
}

void Application::Help2Click(const std::string& dataDir) {
    std::vector<std::string> candidates{programDir_ + "help/Skeinpress.chm",
                                        programDir_ + "Skeinpress.chm",
                                        programDir_ + "help/index.html"};
    if (!dataDir.empty()) candidates.push_back(dataDir + "help/index.html");
    for (const auto& candidate : candidates) {
        if (core::IsFile(candidate)) {
            host_.OpenDocument(candidate);
            return;
        }
    }
}

}  // namespace app
