#include "app/view/image_view.h"

#include <algorithm>

#include "app/convert/conversion.h"
#include "app/trawl/folder_listing.h"
#include "app/view/pane_picture.h"
#include "core/formats/format_table.h"
#include "core/formats/save_image.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace app {

namespace {

constexpr const char* kProgramTitle = "Skeinpress";
constexpr int kColourBox = 330;
constexpr int kAlphaBoxWidth = 330;
constexpr int kAlphaBoxHeight = 209;

// The picture the store's image is drawn at: its own size.
void DrawImage(const core::ImageStore& store, core::Bitmap& bitmap) {
    core::RenderImage(store, bitmap, static_cast<uint16_t>(store.Current.Width),
                      static_cast<uint16_t>(store.Current.Height));
}

std::string CompressionText(const Context& ctx, int32_t compression) {
    switch (static_cast<core::Compression>(compression)) {
        case core::Compression::DXT1:
            return ctx.T("message DXT1");
        case core::Compression::DXT3:
            return ctx.T("message DXT3");
        case core::Compression::DXT5:
            return ctx.T("message DXT5");
        case core::Compression::None:
            break;
    }
    return std::string();
}

std::string AlphaKindText(const Context& ctx, const core::ImageStore& store) {
    if (FullyOpaque(store)) return ctx.T("message Opaque");
    switch (static_cast<core::AlphaKind>(store.Current.AlphaKind)) {
        case core::AlphaKind::None:
            return ctx.T("message None");
        case core::AlphaKind::Graded:
            return ctx.T("message Blended");
        case core::AlphaKind::OnOff:
            return ctx.T("message Masked");
    }
    return std::string();
}

// "(*.a, *.b)|*.a;*.b", the dialogs' way of naming a list of extensions. The
// filters are built by appending: GCC 12 warns falsely (-Wrestrict) on a
// literal plus a temporary string.
std::string Patterns(const std::vector<std::string_view>& extensions) {
    std::string shown, patterns;
    for (std::string_view ext : extensions) {
        shown.append(shown.empty() ? "*" : ", *").append(ext);
        patterns.append(patterns.empty() ? "*" : ";*").append(ext);
    }
    std::string filter = "(";
    filter.append(shown).append(")|").append(patterns);
    return filter;
}

}  // namespace

bool FullyOpaque(const core::ImageStore& store) {
    if (store.Current.AlphaKind != static_cast<int32_t>(core::AlphaKind::OnOff) ||
        store.Current.BytesPerPixel() != 4 || !store.Current.Data() || store.Current.Width <= 0 ||
        store.Current.Height <= 0)
        return false;
    const size_t pixels = static_cast<size_t>(store.Current.Width) * store.Current.Height;
    if (static_cast<size_t>(store.Current.DataSize()) / 4 < pixels) return false;
    for (size_t i = 0; i < pixels; ++i)
        if (store.Current.Data()[i * 4 + 3] != 255) return false;
    return true;
}

std::string ImagesFilter(std::string_view second) {
    std::string filter = "Trainz Images  ";
    filter.append(Patterns(core::ExtensionsWith(core::kOpened))).append(second);
    return filter;
}

std::string ImageAndEditorFilter() {
    return ImagesFilter("|Image Editors   (*.exe)|*.exe");
}

std::string OpenImageFilter() {
    return ImagesFilter("|All files (*)|*");
}

std::string SaveFilter() {
    std::vector<std::string_view> opened;
    std::string others;
    for (const core::FormatRow& row : core::Formats()) {
        if (row.write == nullptr) continue;
        if (row.Has(core::kOpened)) {
            opened.push_back(row.extension);
        } else {
            others.append("|")
                .append(row.description)
                .append(" ")
                .append(Patterns({row.extension}));
        }
    }
    std::string filter = "Image files ";
    filter.append(Patterns(opened)).append(others);
    return filter;
}

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

ImageView::ImageView(const Context& context, core::ImageStore& store, StatusDisplay& status,
                     Pictures& pictures, Dialogs& dialogs, Timers& timers, ColourPick& pick,
                     std::function<bool()> inTrawl)
    : ctx_(context),
      store_(store),
      status_(status),
      pictures_(pictures),
      dialogs_(dialogs),
      timers_(timers),
      pick_(pick),
      inTrawl_(std::move(inTrawl)) {}

void ImageView::ReportFailure(const std::string& text) {
    if (inTrawl_()) {
        ctx_.messages.AddMemoLine(text);
    } else {
        ctx_.messages.ShowError(text);
    }
}

std::string ImageView::SizeLabelText() const {
    return ctx_.T("message Size") + ": " + std::to_string(store_.Current.Width) + " " +
           ctx_.T("message Wide") + " x " + std::to_string(store_.Current.Height) + " " +
           ctx_.T("message High") + CompressionText(ctx_, compression_) +
           AlphaKindText(ctx_, store_) +
           (store_.UniformColour ? ctx_.T("message UniformColour") : std::string());
}

// A read on its way: the store it fills and what the readers said, told once
// it is shown (the window is not touched from the reading thread).
struct ImageView::PendingRead {
    core::ImageStore store;
    std::vector<std::string> notices;
    int beeps = 0;
    std::vector<std::string> failures;
    ReadOutcome outcome = ReadOutcome::NothingThere;
};

void ImageView::ReadAndShow(const std::string& path, std::function<void()> before,
                            std::function<void()> after) {
    auto pending = std::make_shared<PendingRead>();
    // A failed read leaves the uniform-colour finding as it was.
    pending->store.UniformColour = store_.UniformColour;
    const bool listed = inTrawl_();
    const uint64_t read = ++reads_;
    auto work = [pending, path, listed] {
        PendingRead* raw = pending.get();
        const core::ReaderNotices notices{
            [raw](const std::string& line) { raw->notices.push_back(line); },
            [raw] { ++raw->beeps; }};
        pending->outcome =
            ReadImageFile(pending->store, path, listed, notices,
                          [raw](const std::string& text) { raw->failures.push_back(text); });
    };
    auto done = [this, pending, read, before = std::move(before), after = std::move(after)] {
        if (read != reads_) return;
        if (before) before();
        // The read's picture in, the old one out with the pending read.
        std::swap(store_, pending->store);
        for (const std::string& line : pending->notices) ctx_.messages.AddMemoLine(line);
        for (int i = 0; i < pending->beeps; ++i) ctx_.messages.Beep();
        for (const std::string& text : pending->failures) ReportFailure(text);
        ShowRead(pending->outcome);
        if (after) after();
    };
    if (runner_) {
        runner_(std::move(work), std::move(done));
    } else {
        work();
        done();
    }
}

bool ImageView::Reload(const std::string& path) {
    const core::ReaderNotices notices{
        [this](const std::string& line) { ctx_.messages.AddMemoLine(line); },
        [this] { ctx_.messages.Beep(); }};
    const ReadOutcome read =
        ReadImageFile(store_, path, inTrawl_(), notices,
                      [this](const std::string& text) { ReportFailure(text); });
    ShowRead(read);
    return read != ReadOutcome::Failed;
}

void ImageView::ShowRead(ReadOutcome read) {
    ++reads_;  // what a read still under way would show is older
    compression_ = read == ReadOutcome::Read ? store_.Current.Compression : 0;
    EndTransparentView();
    pictures_.ClearPictures();
    if (read != ReadOutcome::NothingThere) Draw(read == ReadOutcome::Read);
}

void ImageView::Redraw() {
    pictures_.ClearPictures();
    // A file that is no longer there shows nothing.
    if (core::ExamineFile(ctx_.settings.CurrentFile) != core::FileKind::Regular) return;
    Draw(true);
}

void ImageView::EndTransparentView() {
    transparent_ = false;
    status_.SetTransparentChecked(false);
    transparentPending_ = false;
}

void ImageView::Draw(bool read) {
    const bool drawAlpha = store_.Current.HasAlpha() && read;
    const FittedSize colourShown =
        FitIntoBox(store_.Current.Width, store_.Current.Height, kColourBox, kColourBox);
    const FittedSize alphaShown =
        FitIntoBox(store_.Current.Width, store_.Current.Height, kAlphaBoxWidth, kAlphaBoxHeight);
    const int factor =
        PaneReduction(store_.Current.Width, store_.Current.Height, limitWidth_, limitHeight_);
    // A big picture is drawn reduced, both panes in one pass over the image;
    // the transparent view is blended at full size, its checkerboard in the
    // image's own pixels.
    if (factor > 1 && !transparentPending_) {
        core::Bitmap colour, alpha;
        RenderReduced(store_, factor, &colour, drawAlpha ? &alpha : nullptr);
        store_.AlphaView = false;
        core::NoteUniformColour(store_);
        if (!colour.Empty())
            pictures_.ShowColourPicture(colour, colourShown.width, colourShown.height);
        if (drawAlpha) store_.AlphaView = true;
        if (!alpha.Empty()) pictures_.ShowAlphaPicture(alpha, alphaShown.width, alphaShown.height);
    } else {
        // Colour view.
        {
            core::Bitmap display;
            store_.AlphaView = false;
            if (transparentPending_) {
                core::RenderTransparent(store_.Current, display, ctx_.settings.BGroundColour);
            } else {
                DrawImage(store_, display);
                core::NoteUniformColour(store_);
            }
            if (!display.Empty())
                pictures_.ShowColourPicture(display, colourShown.width, colourShown.height);
        }
        // Alpha view: the alpha channel as grey. The store already holds what
        // the file gives, so the file is not read again.
        if (drawAlpha) {
            core::Bitmap display;
            store_.AlphaView = true;
            DrawImage(store_, display);
            if (!display.Empty())
                pictures_.ShowAlphaPicture(display, alphaShown.width, alphaShown.height);
        }
    }
    transparentPending_ = false;

    status_.SetNonUniformColourVisible(store_.UniformColour);
    status_.SetSizeLabel(SizeLabelText());
    // The store's note is cleared once shown, as its other readers expect; the
    // file's variant stays in the description through every redraw.
    store_.Current.Compression = static_cast<int32_t>(core::Compression::None);
}

void ImageView::ToggleTransparent() {
    pick_.End();
    if (transparent_) {
        transparent_ = false;
        status_.SetTransparentChecked(false);
        transparentPending_ = false;
    } else if (store_.Current.HasAlpha()) {
        transparent_ = true;
        status_.SetTransparentChecked(true);
        transparentPending_ = true;
    }
    Redraw();
}

void ImageView::SetBackground(uint32_t colour) {
    ctx_.settings.BGroundColour = colour & 0xFFFFFF;
    if (transparent_) {
        transparentPending_ = true;
        Redraw();
    }
}

bool ImageView::ColourAt(int x, int y, uint8_t& red, uint8_t& green, uint8_t& blue) const {
    if (!store_.Current.Usable()) return false;
    const int width = store_.Current.Width;
    const int height = store_.Current.Height;
    const int bytesPerPixel = store_.Current.BytesPerPixel();
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    if (bytesPerPixel != 3 && bytesPerPixel != 4) return false;
    // Rows are stored bottom-up.
    const uint8_t* pixel =
        store_.Current.Data() + (static_cast<size_t>(height - 1 - y) * width + x) * bytesPerPixel;
    red = pixel[0];
    green = pixel[1];
    blue = pixel[2];
    return true;
}

bool ImageView::ChooseActualSize(bool alpha) {
    if (alpha && !store_.Current.HasAlpha()) return false;
    pick_.End();
    actualSizeAlpha_ = alpha;
    return true;
}

bool ImageView::RenderActualSize(core::Bitmap& bitmap) {
    if (!store_.Loaded()) return false;
    store_.AlphaView = actualSizeAlpha_;
    if (actualSizeAlpha_) {
        DrawImage(store_, bitmap);
    } else {
        if (transparent_)
            core::RenderTransparent(store_.Current, bitmap, ctx_.settings.BGroundColour);
        // The alpha channel may have been removed since the view was switched on.
        if (!transparent_ || bitmap.Empty()) DrawImage(store_, bitmap);
    }
    return !bitmap.Empty();
}

void ImageView::ShowFileName() {
    const std::string name(core::FileNamePart(ctx_.settings.CurrentFile));
    status_.SetRecentFileCaption(std::string("  ") + name);
    status_.SetFileNameLabel(ctx_.T("label FileName") + ":  " + name);
    // A trawl's title shows its progress instead.
    if (!inTrawl_())
        status_.SetTitle(name.empty() || !store_.Loaded() ? kProgramTitle
                                                          : name + " - " + kProgramTitle);
}

void ImageView::NoteRecentFile(const std::string& path) {
    if (path.empty() || !store_.Loaded()) return;
    auto& recent = ctx_.settings.RecentFiles;
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > static_cast<size_t>(kRecentFileCount)) recent.resize(kRecentFileCount);
}

void ImageView::StartAfresh() {
    ctx_.messages.ClearMemo();
    pick_.End();
    modified_ = false;
    normalMapMade_ = false;
    greyScaleMade_ = false;
}

std::string ImageView::LastFolder() const {
    const std::string folder(core::FolderPart(ctx_.settings.CurrentFile));
    return folder.empty() ? ctx_.settings.DefaultDir : folder;
}

void ImageView::ChooseAndOpen() {
    const auto chosen =
        dialogs_.PickOpenFile(ctx_.T("message Opened"), OpenImageFilter(), 1, LastFolder());
    if (chosen) OpenFile(*chosen);
}

void ImageView::OpenFile(const std::string& path) {
    if (!core::IsFile(path)) {
        std::erase(ctx_.settings.RecentFiles, path);
        ctx_.messages.ShowError(ctx_.Text(Message::FileNotFound, path));
        return;
    }
    ReadAndShow(
        path,
        [this, path] {
            StartAfresh();
            ctx_.settings.CurrentFile = path;
        },
        [this, path] {
            ShowFileName();
            NoteRecentFile(path);
        });
}

void ImageView::ReopenCurrent() {
    StartAfresh();
    if (core::IsFile(ctx_.settings.CurrentFile)) {
        Reload(ctx_.settings.CurrentFile);
    } else {
        ctx_.settings.CurrentFile.clear();
    }
    ShowFileName();
    NoteRecentFile(ctx_.settings.CurrentFile);
}

void ImageView::OpenDelayed() {
    timers_.StopTimer(TimerId::OpenDelayed);
    const std::string path = ctx_.settings.CurrentFile;
    ReadAndShow(path, nullptr, [this, path] {
        ctx_.settings.CurrentFile = path;
        ShowFileName();
        NoteRecentFile(path);
    });
}

std::string ImageView::NeighbourFile(int step) const {
    const std::string& current = ctx_.settings.CurrentFile;
    const std::string folder(core::FolderPart(current));
    const std::string name(core::FileNamePart(current));
    FolderListing listing;
    if (name.empty() || step == 0 || !listing.Open(folder)) return std::string();
    // The current file may be gone: its place in the order still counts.
    std::string found;
    for (bool more = listing.HasCurrent(); more; more = listing.Next()) {
        const FolderEntry& entry = listing.Current();
        if (!entry.regularFile || !core::CanOpen(entry.name)) continue;
        if (step > 0 && NameOrder(name, entry.name)) return core::JoinPath(folder, entry.name);
        if (step < 0 && NameOrder(entry.name, name)) found = entry.name;
    }
    return found.empty() ? std::string() : core::JoinPath(folder, found);
}

void ImageView::OpenNeighbour(int step) {
    const std::string next = NeighbourFile(step);
    if (next.empty()) {
        ctx_.messages.Beep();
        return;
    }
    OpenFile(next);
}

void ImageView::NoteChange(Change change) {
    modified_ = true;
    if (change == Change::GreyScale) greyScaleMade_ = true;
    if (change == Change::NormalMap) normalMapMade_ = true;
}

std::string ImageView::SaveSuffix() const {
    return normalMapMade_ ? "_normal" : greyScaleMade_ ? "_grey" : "";
}

void ImageView::Save() {
    pick_.End();
    if (!store_.Loaded() || !modified_) {
        ctx_.messages.ShowMessage(ctx_.T("message Nothing2"));
        return;
    }
    const std::string& current = ctx_.settings.CurrentFile;
    const std::string_view ext = core::ExtensionOf(current);
    const std::string base = current.substr(0, current.size() - ext.size()) + SaveSuffix();
    // A texture becomes a TGA; any other image is written in its own format,
    // its extension kept exactly as the user wrote it.
    const std::string newName = core::WriterFor(current) == nullptr
                                    ? base + std::string(core::ConversionExtension())
                                    : base + std::string(ext);
    // The user's own save: on the disk before it replaces the old file.
    const core::DurableWrites durable;
    if (const core::Failure failure = core::SaveImage(store_.Current, newName)) {
        ctx_.messages.ShowError(failure.Message());
        return;
    }
    ctx_.settings.CurrentFile = newName;
    modified_ = false;
    ShowFileName();
}

void ImageView::SaveAs() {
    pick_.End();
    if (!store_.Loaded()) {
        ctx_.messages.ShowMessage(ctx_.T("message Nothing2"));
        return;
    }
    const std::string& current = ctx_.settings.CurrentFile;
    const std::string proposed =
        core::WriterFor(current) == nullptr ? TgaNameBeside(current, false) : current;
    const auto chosen = dialogs_.PickSaveFile(SaveFilter(), proposed);
    if (!chosen) return;
    const core::DurableWrites durable;
    if (const core::Failure failure = core::SaveImage(store_.Current, *chosen)) {
        ctx_.messages.ShowError(failure.Message());
        return;
    }
    modified_ = false;
    ctx_.settings.CurrentFile = *chosen;
    ShowFileName();
}

}  // namespace app
