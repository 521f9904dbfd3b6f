// The main window's work on one image: open, show colour and alpha, save.
#include "app/application.h"
#include "core/bitmap.h"
#include "core/file_io.h"
#include "core/load_image.h"
#include "core/paths.h"
#include "core/render.h"
#include "core/save_image.h"

namespace app {

namespace {

constexpr int kColourBox = 330;
constexpr int kAlphaBoxWidth = 330;
constexpr int kAlphaBoxHeight = 209;

}  // namespace

FittedSize FitIntoBox(int width, int height, int boxWidth, int boxHeight) {
    FittedSize fitted{boxWidth, boxHeight};
    const double widthRatio = static_cast<double>(width) / boxWidth;
    const double heightRatio = static_cast<double>(height) / boxHeight;
    if (widthRatio > heightRatio && width != 0) {
        fitted.height = static_cast<int>(static_cast<int64_t>(boxWidth) * height / width);
    } else if (height != 0) {
        fitted.width = static_cast<int>(static_cast<int64_t>(boxHeight) * width / height);
    }
    return fitted;
}

void Application::ReportLoadError() {
    LastOutcome.refused = true;
    LastOutcome.problems.push_back(store_.LoadErrorText);
    if (TrawlActive) {
        host_.AddMemoLine(store_.LoadErrorText);
    } else {
        host_.ShowError(store_.LoadErrorText);
    }
}

std::string Application::SizeLabelText() const {
    std::string compression;
    switch (store_.Image.Compression) {
        case 1:
            compression = T("message DXT1");
            break;
        case 3:
            compression = T("message DXT3");
            break;
        case 5:
            compression = T("message DXT5");
            break;
        default:
            break;
    }
    std::string alpha;
    switch (store_.Image.AlphaKind) {
        case 0:
            alpha = T("message None");
            break;
        case 1:
            alpha = T("message Blended");
            break;
        case 2:
            alpha = T("message Masked");
            break;
        default:
            break;
    }
    return T("message Size") + ": " + std::to_string(store_.Image.Width) + " " + T("message Wide") +
           " x " + std::to_string(store_.Image.Height) + " " + T("message High") + compression +
           alpha + (store_.UniformColour ? T("message UniformColour") : std::string());
}

void Application::ViewTexture(bool reload) {
    if (reload) {
        core::ResetImage(store_);
        TransparentView = false;
        host_.SetTransparentChecked(false);
        TransparentPending = false;
    }
    host_.ClearPictures();
    // A file that is not there shows nothing. During a trawl, whose walk has
    // just listed it, that is a refusal like any file that cannot be read; and
    // anything else that is not a regular file is refused with a message.
    const core::FileKind kind = core::ExamineFile(settings_.CurrentFile);
    if (kind != core::FileKind::Regular &&
        !(reload && (TrawlActive || kind != core::FileKind::Missing)))
        return;

    // Colour view.
    bool loadFailed = false;
    {
        core::Bitmap display;
        store_.AlphaView = false;
        if (reload && !core::LoadImage(store_, settings_.CurrentFile)) {
            ReportLoadError();
            loadFailed = true;
        }
        if (!host_.ShowsPictures()) {
            // Nothing is drawn; only the uniform-colour finding is wanted.
            if (!TransparentPending) core::NoteUniformColour(store_);
            TransparentPending = false;
        } else if (TransparentPending) {
            core::RenderTransparent(store_, display, settings_.BGroundColour);
            TransparentPending = false;
        } else {
            core::RenderImage(store_, display, static_cast<uint16_t>(store_.Image.Width),
                              static_cast<uint16_t>(store_.Image.Height));
            core::NoteUniformColour(store_);
        }
        if (!display.Empty()) {
            const FittedSize shown =
                FitIntoBox(store_.Image.Width, store_.Image.Height, kColourBox, kColourBox);
            host_.ShowColourPicture(display, shown.width, shown.height);
        }
    }

    // Alpha view: the alpha channel as grey. The store already holds what the
    // file gives, so the file is not read again.
    if (store_.Image.AlphaKind != 0 && !loadFailed && host_.ShowsPictures()) {
        core::Bitmap display;
        store_.AlphaView = true;
        core::RenderImage(store_, display, static_cast<uint16_t>(store_.Image.Width),
                          static_cast<uint16_t>(store_.Image.Height));
        if (!display.Empty()) {
            const FittedSize shown = FitIntoBox(store_.Image.Width, store_.Image.Height,
                                                kAlphaBoxWidth, kAlphaBoxHeight);
            host_.ShowAlphaPicture(display, shown.width, shown.height);
        }
    }

    host_.SetNonUniformColourVisible(store_.UniformColour);

    // A host that shows no pictures has no size label describing them either.
    if (host_.ShowsPictures()) host_.SetSizeLabel(SizeLabelText());
    // The variant is reported once; a later redraw of the same pixels shows none.
    store_.Image.Compression = 0;
}

void Application::ShowCurrentFileName() {
    const std::string name(core::FileNamePart(settings_.CurrentFile));
    host_.SetRecentFileCaption(std::string("  ") + name);
    host_.SetFileNameLabel(T("label FileName") + ":  " + name);
}

void Application::Open1Click() {
    const auto chosen =
        host_.PickOpenFile(T("message Opened"),
                           "Trainz Images  (*.texture, *.bmp, *jpg, "
                           "*.tga)|*.texture;*.bmp;*.jpg;*.tga|Image Editors   (*.exe)|*.exe",
                           1, settings_.DefaultDir);
    if (chosen) OpenFile(*chosen);
}

void Application::OpenFile(const std::string& path) {
    if (!core::IsFile(path)) {
        std::erase(settings_.RecentFiles, path);
        host_.ShowError("Could not find \"" + path + "\".");
        return;
    }
    host_.ClearMemo();
    PickMode = 0;
    ImageModified = false;
    NormalMapMade = false;
    GreyScaleMade = false;
    settings_.CurrentFile = path;
    ViewTexture(true);
    ShowCurrentFileName();
    NoteRecentFile(path);
}

void Application::Open2Click() {
    host_.ClearMemo();
    PickMode = 0;
    ImageModified = false;
    NormalMapMade = false;
    GreyScaleMade = false;
    if (core::IsFile(settings_.CurrentFile)) {
        ViewTexture(true);
    } else {
        settings_.CurrentFile.clear();
    }
    ShowCurrentFileName();
    NoteRecentFile(settings_.CurrentFile);
}

void Application::Timer1Timer() {
    host_.StopTimer(TimerId::OpenDelayed);
    ViewTexture(true);
    ShowCurrentFileName();
    NoteRecentFile(settings_.CurrentFile);
}

void Application::Save1Click() {
    PickMode = 0;
    if (!store_.ImageLoaded || !ImageModified) {
        host_.ShowMessage(T("message Nothing2"));
        return;
    }
    const std::string& current = settings_.CurrentFile;
    const std::string_view ext = core::ExtensionOf(current);
    const std::string suffix = NormalMapMade ? "_normal" : GreyScaleMade ? "_grey" : "";
    const std::string base = current.substr(0, current.size() - ext.size()) + suffix;
    // A texture becomes a TGA; any other image is written in its own format,
    // its extension kept exactly as the user wrote it.
    const std::string newName =
        core::EqualsNoCase(ext, ".texture") ? base + ".tga" : base + std::string(ext);
    // The user's own save: on the disk before it replaces the old file.
    const core::DurableWrites durable;
    if (!core::SaveImage(store_, newName)) {
        host_.ShowError(store_.LoadErrorText);
        return;
    }
    settings_.CurrentFile = newName;
    ImageModified = false;
    ShowCurrentFileName();
}

void Application::SaveAs1Click() {
    PickMode = 0;
    if (!store_.ImageLoaded) {
        host_.ShowMessage(T("message Nothing2"));
        return;
    }
    const std::string& current = settings_.CurrentFile;
    const std::string proposed = core::EndsWithNoCase(current, ".texture")
                                     ? current.substr(0, current.size() - 8) + ".tga"
                                     : current;
    // TGA, BMP and JPEG for the simulator; PNG, DDS and HDR for editors, engines
    // and other tools.
    const auto chosen = host_.PickSaveFile(
        "Image files (*.tga, *.bmp, *.jpg, *.png)|*.tga;*.bmp;*.jpg;*.png|"
        "DDS for engines and tools (*.dds)|*.dds|"
        "Radiance HDR, floating-point textures (*.hdr)|*.hdr",
        proposed);
    if (!chosen) return;
    const core::DurableWrites durable;
    if (!core::SaveImage(store_, *chosen)) {
        host_.ShowError(store_.LoadErrorText);
        return;
    }
    ImageModified = false;
    settings_.CurrentFile = *chosen;
    ShowCurrentFileName();
}

}  // namespace app
