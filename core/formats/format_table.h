// The formats the program reads and writes, one row each: how a file is
// recognised, its reader and writer, and what the rest of the program may do
// with it. Loading, saving, the dialogs, the command line's help and the trawl
// all ask this table rather than listing extensions of their own.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/image.h"
#include "core/io/error.h"
#include "core/io/file_io.h"

namespace core {

// Where a writer's bytes go: the target's atomic writer, opened at the first
// write, so that a writer which refuses the picture first leaves no trace.
class ImageSink {
public:
    explicit ImageSink(std::string target) : target_(std::move(target)) {}
    const std::string& Target() const { return target_; }
    // All bytes, or false (the sink then stays failed).
    bool Write(const void* data, size_t size);
    // Gives the written file the target's name.
    bool Commit();
    // The target, or its folder, refused the open.
    bool OpenFailed() const { return openFailed_; }
    // Why the target itself refused ("\"a.png\" is read-only"), or empty.
    const std::string& Refusal() const { return file_.Refusal(); }

private:
    bool Open();

    std::string target_;
    AtomicFileWriter file_;
    bool opened_ = false;
    bool openFailed_ = false;
};

// What a format allows beyond being read or written.
enum FormatCapability : unsigned {
    kOpened = 1u << 0,             // the desktop program and the command line open it
    kTrawled = 1u << 1,            // a trawl converts it to TGA, by its own option
    kRepairedInPlace = 1u << 2,    // a trawl saves a picture of one colour over itself
    kKeepsDxtBlocks = 1u << 3,     // a DXT texture's blocks are written as they are
    kNeedsFloats = 1u << 4,        // only a floating-point texture's own values are written
    kSplitsCubeMaps = 1u << 5,     // a cube map is written as one file per face
    kWritesDescription = 1u << 6,  // a texture's description is written beside it
    kSizeChecked = 1u << 7,        // a trawl refuses a size the simulator cannot use
    kOpaque = 1u << 8,             // a trawl drops any alpha channel before converting
};

// Reads `path` into the image, or says why not.
using FormatReader = Failure (*)(const std::string& path, Image& image,
                                 const ReaderNotices& notices);
// Writes the picture, or with `face` >= 0 that face of a cube map, into the
// sink. Error::CannotWrite stands for a failed write, which SaveImage words
// with the row's own message.
using FormatWriter = Error (*)(const Image& image, ImageSink& sink, int face);

struct FormatRow {
    std::string_view name;       // "TGA", "E2TF texture"
    std::string_view extension;  // lower case, with its dot
    // The first bytes that choose this row among rows of one extension;
    // empty: whatever the file starts with (the last such row).
    std::string_view magic;
    FormatReader read = nullptr;
    FormatWriter write = nullptr;
    Error cannotCreate = Error::CannotCreate;  // the target could not be opened
    Error cannotWrite = Error::CannotWrite;    // a write or the final rename failed
    std::string_view description;              // for dialogs and help
    unsigned capabilities = 0;

    bool Has(FormatCapability capability) const { return (capabilities & capability) != 0; }
};

// Every row, readers in the order the help lists them, then the writers.
std::span<const FormatRow> Formats();

// The row whose reader takes `path`: its extension in any letter case, and
// where rows share an extension, the first bytes. Null when none does.
const FormatRow* ReaderFor(const std::string& path);
// The row whose writer makes files with the extension of `path`; null if none.
const FormatRow* WriterFor(std::string_view path);
// The row of that name ("PNG"), for a caller that picks a format rather than
// a file name; null if none.
const FormatRow* FormatNamed(std::string_view name);
// Whether the desktop program and the command line open `path` (by extension).
bool CanOpen(std::string_view path);
// The first row the program opens files of `path`'s extension with, by the
// extension alone (a .texture's container is told by its bytes when it is
// read); null when none does.
const FormatRow* OpenedFormatOf(std::string_view path);
// Whether `path` has the extension of a row with `capability`.
bool ExtensionHas(std::string_view path, FormatCapability capability);
// The extensions of the rows with `capability`, in table order, each once
// (".texture", ".tga", ".bmp", ".jpg", ".jpeg", ".png" for kOpened).
std::vector<std::string_view> ExtensionsWith(FormatCapability capability);
// The extension of the files a conversion writes, which a texture's
// description names: that of the row with kWritesDescription (".tga").
std::string_view ConversionExtension();
// The extensions a save may name (".tga", ".bmp", ".jpg", ".jpeg", ".png", ".dds", ".hdr").
std::vector<std::string_view> WrittenExtensions();

}  // namespace core
