// An image as a value: its pixels, their layout, and what the reader learnt
// from the file it came from. Readers make one, writers and edits take one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/byte_buffer.h"
#include "core/io/error.h"

namespace core {

// Largest side any reader accepts; a picture is at most 8192 x 8192 x 4 bytes.
inline constexpr int32_t kMaxSide = 8192;

// What the alpha channel holds; Image::AlphaKind stores these numbers.
enum class AlphaKind : int32_t {
    None = 0,
    Graded = 1,  // any level from 0 to 255
    OnOff = 2,   // only 0 and 255
};
// The DXT variant a texture's pixels were decoded from; Image::Compression
// stores these numbers, which the console's info output also prints.
enum class Compression : int32_t { None = 0, DXT1 = 1, DXT3 = 3, DXT5 = 5 };

// The data a texture's picture was decoded from, kept beside the pixels when a
// writer can use it unchanged: the level-0 blocks of a DXT texture (written to
// DDS byte for byte) or the floating-point pixels of an HDR texture (written to
// Radiance HDR with the values the 8-bit picture clips). It describes the
// picture only while decoding it again gives the pixels the image holds; an
// edit makes it stale (SourceMatchesPixels tells).
enum class SourceKind { None, DXT1, DXT3, DXT5, Float };
struct SourceData {
    SourceKind Kind = SourceKind::None;
    // The texture file as read; never changed after, so copies of an image share it.
    std::shared_ptr<const ByteBuffer> Bytes;
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

    size_t Size() const { return Bytes ? Bytes->size() : 0; }
    const uint8_t* Data() const { return Bytes->data() + Offset; }
};

// A cube map's faces in their order in the file and in the picture, as named
// in the file names of their TGAs.
inline constexpr int kCubeMapFaces = 6;
inline constexpr const char* kCubeMapFaceNames[kCubeMapFaces] = {"right",  "left",  "top",
                                                                 "bottom", "front", "back"};

// Receives the reader notices that the desktop program shows as memo lines,
// and the error sound a reader may ask for. Either may be empty.
struct ReaderNotices {
    std::function<void(const std::string& line)> line;
    std::function<void()> beep;

    void Add(const std::string& text) const {
        if (line) line(text);
    }
    void Beep() const {
        if (beep) beep();
    }
};

// What a reader learnt from the file besides the pixels: the compression they
// were decoded from and, for a texture, its description lines (HasDescription
// also for an empty one), the texture file, its container ("JIRF" or "E2TF"),
// lines about the file itself (container, format, mip levels..., shown beside
// the description but never written to it), whether the picture is a cube
// map's six faces side by side (each Width / 6 wide), and the data the pixels
// were decoded from.
struct FileFacts {
    int32_t Compression = 0;  // a Compression
    std::vector<std::string> Description;
    bool HasDescription = false;
    std::string TextureFileName;
    std::string Container;
    std::vector<std::string> Details;
    bool CubeMap = false;
    SourceData Source;
};

struct Image : FileFacts {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t AlphaKind = 0;  // an AlphaKind
    ByteBuffer Pixels;      // the bottom row first; red, green, blue (and alpha)

    // Pixels.size() / (Width * Height), or 0 when either side is 0.
    int BytesPerPixel() const;
    bool Loaded() const { return !Pixels.empty(); }
    // Loaded and neither side 0.
    bool Usable() const { return Loaded() && Width != 0 && Height != 0; }
    bool HasAlpha() const { return AlphaKind != static_cast<int32_t>(AlphaKind::None); }
    size_t DataSize() const { return Pixels.size(); }
    uint8_t* Data() { return Pixels.data(); }
    const uint8_t* Data() const { return Pixels.data(); }

    // Takes a complete pixel buffer and sets the sides and alpha kind to match.
    void AdoptPixels(ByteBuffer&& pixels, int32_t width, int32_t height, int32_t alphaKind);
    // This image's file facts with other pixels: what a derived picture (the
    // alpha channel as grey, say) is saved as.
    Image WithPixels(ByteBuffer&& pixels, int32_t width, int32_t height, int32_t alphaKind) const;
};

}  // namespace core
