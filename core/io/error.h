// Every failure the readers, writers and edits report, and the one place its
// message is made. A message names the file without its folder, in double
// quotes, and is at most 255 characters.
#pragma once

#include <string>
#include <string_view>

namespace core {

enum class Error {
    None,
    Refused,  // the file system's own words for a refusal, whole in `detail`
    // Any format.
    FileNotFound,
    TypeNotSupported,
    OutOfMemory,
    ReadFailed,
    NothingLoaded,
    NoPicture,
    CannotCreate,
    CannotWrite,
    SizesDiffer,
    NameHasLineBreak,  // `detail` is the name on one line
    TargetNameHasLineBreak,
    // TGA.
    TgaCompressed,
    TgaType,
    TgaColourMapped,
    TgaDepth,
    TgaNoPixels,
    TgaTooLarge,
    TgaShortImageData,
    TgaShortPixels,
    TgaHeaderNotWritten,
    TgaDataNotWritten,
    // BMP.
    BmpUndecodable,
    BmpCannotOpen,
    BmpShortHeader,
    BmpUnsupported,
    BmpShortPalette,
    BmpShortPixels,
    BmpNoPixelsToSave,
    BmpNotSaved,
    // JPEG.
    JpegUndecodable,
    JpegTooManyScans,
    JpegTooCostly,
    JpegNoPixelsToSave,
    JpegNotSaved,
    // PNG; `detail` says why.
    PngUndecodable,
    // Textures, both containers; `detail` completes the E2TF ones.
    TextureNotTexture,
    TextureFormat,
    TextureTooLarge,
    TextureData,
    TextureRefused,
    TextureUndecodable,
    // HDR.
    HdrNotFloat,
    HdrStale,
};

// The user's message for `error` about the file at `path`; `detail` fills the
// messages that carry one (what an E2TF file holds, a codec's reason).
std::string ErrorMessage(Error error, std::string_view path, std::string_view detail = {});

// An error value: what failed, the file it is about and the words that
// complete its message. Empty (Error::None) when nothing failed.
struct Failure {
    Error error = Error::None;
    std::string path;
    std::string detail;

    Failure() = default;
    Failure(Error e, std::string_view p = {}, std::string_view d = {})
        : error(e), path(p), detail(d) {}
    // A refusal already worded by whoever refused.
    static Failure Refusal(std::string_view words) { return {Error::Refused, {}, words}; }

    explicit operator bool() const { return error != Error::None; }
    std::string Message() const { return ErrorMessage(error, path, detail); }
};

}  // namespace core
