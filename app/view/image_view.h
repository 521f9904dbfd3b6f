// The open image and its two pictures. Owns whether the
// image changed since it was opened or saved (and by which named edit, for
// the name Save gives it), whether the colour picture shows the image over a
// checkerboard, and which picture the actual-size window shows. Opening,
// saving and every redraw go through here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/context.h"
#include "app/convert/image_reading.h"
#include "app/view/colour_pick.h"
#include "core/image/bitmap.h"
#include "core/image/image_store.h"

namespace app {

// The size a picture is shown at after the fit into its box: the longer side
// (relative to the box) fills the box, the other keeps the proportion.
struct FittedSize {
    int width = 0;
    int height = 0;
};
FittedSize FitIntoBox(int width, int height, int boxWidth, int boxHeight);

// Whether the image has an alpha channel in which every pixel is wholly
// opaque: an on/off channel that masks nothing.
bool FullyOpaque(const core::ImageStore& store);

// The file dialogs' filters, from the format table: every type the program
// opens, then the editor programs (the editor's dialog) or any file (File >
// Open: a picture under another name).
std::string ImageAndEditorFilter();
std::string OpenImageFilter();
// The Save As dialog's filter: first the types the program also opens, then
// each type it only writes, for other tools.
std::string SaveFilter();

// How the view runs a file's read: `work` reads into a store of its own and
// touches nothing else, so it may run on another thread; `done` then runs on
// the caller's thread. Dropping both after `done` releases the picture it
// replaced. The view's own runner runs both at once, in order.
using ReadRunner = std::function<void(std::function<void()> work, std::function<void()> done)>;

// The edits that name the file Save writes ("_grey", "_normal").
enum class Change { Pixels, GreyScale, NormalMap };

class ImageView {
public:
    // `inTrawl` tells whether a trawl is under way: its failures are memo
    // lines, not message boxes, and a file it listed that is gone is one.
    // Shows the image of `store` (the session's: the conversion reads into it).
    ImageView(const Context& context, core::ImageStore& store, StatusDisplay& status,
              Pictures& pictures, Dialogs& dialogs, Timers& timers, ColourPick& pick,
              std::function<bool()> inTrawl);

    core::ImageStore& Store() { return store_; }
    const core::ImageStore& Store() const { return store_; }

    // ---- Showing
    // Reads `path` afresh and shows it; the transparent view ends. False when
    // the read failed (and was reported).
    bool Reload(const std::string& path);
    // Shows what has just been read into the store by other means (the
    // conversion's read, the editor's colours with their alpha merged), as
    // Reload would have.
    void ShowRead(ReadOutcome read);
    // Shows the store's image again after a change.
    void Redraw();
    // A failure in a message box, or as a memo line during a trawl.
    void ReportFailure(const std::string& text);
    // Display Transparent: on for an image with alpha, off again.
    void ToggleTransparent();
    bool TransparentView() const { return transparent_; }
    // The compression of the file last read (core::Compression), kept while
    // its image is edited and redrawn.
    int32_t FileCompression() const { return compression_; }
    // The largest box the panes fit a picture into (the screen): a bigger
    // picture is handed to them reduced. 0 hands every picture at full size.
    void SetPictureLimit(int width, int height) {
        limitWidth_ = width;
        limitHeight_ = height;
    }
    // The checkerboard's colour (0x00BBGGRR), after the colour dialog's OK.
    void SetBackground(uint32_t colour);
    // The image's own colour at a pixel counted from the picture's top-left
    // corner (not the blend the transparent view shows); false outside it.
    bool ColourAt(int x, int y, uint8_t& red, uint8_t& green, uint8_t& blue) const;
    // Display Actual Size of the colour or the alpha picture: whether the
    // window opens (the alpha picture needs an alpha channel).
    bool ChooseActualSize(bool alpha);
    // What the actual-size window shows; false (bitmap untouched) with no image.
    bool RenderActualSize(core::Bitmap& bitmap);

    // ---- Opening and saving
    // The desktop program reads on a thread of its own; null restores the
    // reads at once.
    void SetReadRunner(ReadRunner runner) { runner_ = std::move(runner); }
    // A read still under way is not shown (the window closes, the image is gone).
    void DropPendingRead() { ++reads_; }
    // File > Open: asks for the file, starting where the last one was.
    void ChooseAndOpen();
    // The folder of the file last open, else the settings' default folder.
    std::string LastFolder() const;
    // Opens and shows `path` as File > Open does once its dialog is answered
    // (a file no longer there is reported and leaves the recent files).
    void OpenFile(const std::string& path);
    // The recent-file item: CurrentFile again.
    void ReopenCurrent();
    // The file named on the command line, shortly after start.
    void OpenDelayed();
    // Next / previous file: the file after (`step` 1) or before (-1) the
    // current one among the openable files of its folder, in the trawl
    // listing's order; "" at either end or with no current file.
    std::string NeighbourFile(int step) const;
    // Opens it as File > Open would; a beep at either end.
    void OpenNeighbour(int step);
    // Save: beside the file, a texture as TGA, with the named edit's suffix.
    void Save();
    void SaveAs();

    // ---- Changes
    bool Modified() const { return modified_; }
    void NoteChange(Change change);
    // "_normal" after a normal map was made, "_grey" after a grey scale, else "".
    std::string SaveSuffix() const;

private:
    struct PendingRead;
    // Reads `path` through the runner; then, unless another read or showing
    // came first: `before`, the read shown as Reload shows it, `after`.
    void ReadAndShow(const std::string& path, std::function<void()> before,
                     std::function<void()> after);
    void EndTransparentView();
    // Draws both pictures (reduced for big ones), the label and the menu
    // state from the store; `read`: it holds what the last read gave.
    void Draw(bool read);
    void StartAfresh();
    void ShowFileName();
    void NoteRecentFile(const std::string& path);
    std::string SizeLabelText() const;

    Context ctx_;
    core::ImageStore& store_;
    StatusDisplay& status_;
    Pictures& pictures_;
    Dialogs& dialogs_;
    Timers& timers_;
    ColourPick& pick_;
    std::function<bool()> inTrawl_;
    bool modified_ = false;
    bool greyScaleMade_ = false;
    bool normalMapMade_ = false;
    bool transparent_ = false;
    bool transparentPending_ = false;  // the next drawing is the transparent one
    bool actualSizeAlpha_ = false;
    int32_t compression_ = 0;
    int limitWidth_ = 0;
    int limitHeight_ = 0;
    ReadRunner runner_;
    uint64_t reads_ = 0;  // reads and showings begun; a stale read is dropped
};

}  // namespace app
