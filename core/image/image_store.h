// The image store: the one image the program is working on, with the state that
// travels with it. Each owner (the desktop window, each batch worker) has its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/byte_buffer.h"
#include "core/io/error.h"

namespace core {

// Largest side any reader accepts; a picture is at most 8192 x 8192 x 4 bytes.
inline constexpr int32_t kMaxSide = 8192;

// What the alpha channel holds; TImageInfo::AlphaKind stores these numbers.
enum class AlphaKind : int32_t {
    None = 0,
    Graded = 1,  // any level from 0 to 255
    OnOff = 2,   // only 0 and 255
};
// The DXT variant a texture's pixels were decoded from; TImageInfo::Compression
// stores these numbers, which the console's info output also prints.
enum class Compression : int32_t { None = 0, DXT1 = 1, DXT3 = 3, DXT5 = 5 };

// Description of the current pixels. Copied as a whole when an operation keeps
// the image aside and puts it back.
struct TImageInfo {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t AlphaKind = 0;    // an AlphaKind
    int32_t Compression = 0;  // a Compression
    int32_t DataSize = 0;     // Width * Height * bytes per pixel
    uint8_t* Data = nullptr;  // always PixelBuffer.data(); never an owner

    bool HasAlpha() const { return AlphaKind != static_cast<int32_t>(AlphaKind::None); }
};

// The data a texture's picture was decoded from, kept beside the pixels when a
// writer can use it unchanged: the level-0 blocks of a DXT texture (written to
// DDS byte for byte) or the floating-point pixels of an HDR texture (written to
// Radiance HDR with the values the 8-bit picture clips). It describes the
// picture only while decoding it again gives the pixels the store holds; an
// edit makes it stale (SourceMatchesPixels tells).
enum class SourceKind { None, DXT1, DXT3, DXT5, Float };
struct SourceData {
    SourceKind Kind = SourceKind::None;
    ByteBuffer Bytes;      // the texture file as read
    size_t Offset = 0;     // where the first face's level-0 data starts in Bytes
    size_t FaceBytes = 0;  // level-0 bytes of one face; the faces follow each other
    int32_t Faces = 0;     // 1, or 6 for a cube map (side by side in the picture)
    int32_t FaceWidth = 0;
    int32_t FaceHeight = 0;
    int32_t BytesPerPixel = 0;  // of the picture decoded from it
    // Where the smaller mip levels start in Bytes, level 1 first; each level's
    // faces follow each other, its sides halved (down to 1) from the one
    // before. Empty when the texture holds level 0 alone, or its other levels
    // could not be told apart.
    std::vector<size_t> SmallerLevels;

    const uint8_t* Data() const { return Bytes.data() + Offset; }
};

// A cube map's faces in their order in the file and in the picture, as named
// in the file names of their TGAs.
inline constexpr int kCubeMapFaces = 6;
inline constexpr const char* kCubeMapFaceNames[kCubeMapFaces] = {"right",  "left",  "top",
                                                                 "bottom", "front", "back"};

// Receives the reader notices that the desktop program shows as memo lines.
using NoticeSink = std::function<void(const std::string& line)>;

class ImageStore {
public:
    bool ImageLoaded = false;
    TImageInfo Image;
    ByteBuffer PixelBuffer;
    bool AlphaView = false;
    bool UniformColour = false;
    std::string LoadErrorText;  // at most 255 characters; see SetLoadError
    std::vector<std::string> TextureDescription;
    bool HasTextureDescription = false;
    std::string TextureFileName;
    uint8_t AlphaFillValue = 127;
    // The container of the texture read ("JIRF" or "E2TF"; empty for other files).
    std::string TextureContainer;
    // Lines about the texture file itself (container, format, mip levels...),
    // shown beside the description but never written to the description file.
    std::vector<std::string> TextureDetails;
    // A cube map: the picture is its six faces side by side, each Width / 6 wide.
    bool CubeMap = false;
    SourceData Source;

    NoticeSink Notice;           // memo lines from the readers; may be empty
    std::function<void()> Beep;  // the error sound; may be empty

    // Bytes per pixel derived from the record: DataSize / (Width * Height), or 0
    // when either side is 0.
    int BytesPerPixel() const;
    // ImageLoaded and neither side 0.
    bool Usable() const { return ImageLoaded && Image.Width != 0 && Image.Height != 0; }

    // Takes ownership of a complete pixel buffer and updates the record to match
    // (Width, Height, DataSize, Data, AlphaKind); sets ImageLoaded.
    void AdoptPixels(ByteBuffer&& pixels, int32_t width, int32_t height, int32_t alphaKind);
    // Points Image.Data at the buffer again (after the record was copied back).
    void SyncData() { Image.Data = PixelBuffer.empty() ? nullptr : PixelBuffer.data(); }

    void AddNotice(const std::string& line) const {
        if (Notice) Notice(line);
    }
    void SoundBeep() const {
        if (Beep) Beep();
    }
};

// Stores the message of `error` about `path` in LoadErrorText.
void SetLoadError(ImageStore& store, Error error, std::string_view path,
                  std::string_view detail = {});
// Stores a message made elsewhere (a target's refusal), cut to 255 characters.
void SetLoadErrorText(ImageStore& store, std::string_view text);

// Empties the store: releases the pixels, the texture description, details
// and source data. Image, LoadErrorText and TextureFileName stay as they are.
void ResetImage(ImageStore& store);

}  // namespace core
