// The newer Trainz texture container, "E2TF" (its four-character codes are
// stored reversed, so the file starts with the bytes "FT2E"): a fixed header,
// a colour hint, a table of the byte size of every level's every face, then
// the data with the smallest level first and level 0, the picture, last.
// Every field is checked, and the whole table against the file's length,
// before anything is sized from them.
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/texture_description.h"
#include "core/formats/texture_faces.h"
#include "core/formats/texture_picture.h"
#include "core/image/alpha_channel.h"
#include "core/io/byte_order.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace core {

namespace {

constexpr size_t kHeaderBytes = 28;  // up to and including the format code
constexpr int kCubeFaces = kCubeMapFaces;

struct E2TFHeader {
    uint32_t version = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t mipSkip = 0;
    uint8_t levels = 0;
    uint8_t alphaMode = 0;
    uint8_t type = 0;
    uint8_t faces = 0;
    uint8_t wrapS = 0;
    uint8_t wrapT = 0;
    uint8_t wrapR = 0;
    char code[4] = {};  // as stored, reversed
    uint8_t blockWidth = 0;
    uint8_t blockHeight = 0;
    uint8_t hint[4] = {};
};

// The format code as it reads forwards ("dxt5" for the stored "5txd"), with
// any byte that is not printable shown as \xNN.
std::string CodeName(const char code[4]) {
    static const char kHex[] = "0123456789abcdef";
    std::string name;
    for (int i = 3; i >= 0; --i) {
        const auto c = static_cast<unsigned char>(code[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            name += static_cast<char>(c);
        } else {
            name += "\\x";
            name += kHex[c >> 4];
            name += kHex[c & 15];
        }
    }
    return name;
}

bool CodeIs(const char code[4], const char* stored) {
    return std::memcmp(code, stored, 4) == 0;
}

// The format from its stored code; false for a code this reader does not know.
bool FormatOf(const E2TFHeader& header, FaceFormat& format) {
    const char* const codes[] = {"abgr", "1txd", "3txd", "5txd", "f4dh", "ctsa"};
    const FaceFormat formats[] = {FaceFormat::BGRA8, FaceFormat::DXT1,  FaceFormat::DXT3,
                                  FaceFormat::DXT5,  FaceFormat::Float, FaceFormat::ASTC};
    for (int i = 0; i < 6; ++i) {
        if (CodeIs(header.code, codes[i])) {
            format = formats[i];
            return true;
        }
    }
    return false;
}

std::string FormatText(const FaceLayout& layout) {
    switch (layout.Format) {
        case FaceFormat::BGRA8:
            return "8-bit BGRA (abgr)";
        case FaceFormat::DXT1:
            return "DXT1";
        case FaceFormat::DXT3:
            return "DXT3";
        case FaceFormat::DXT5:
            return "DXT5";
        case FaceFormat::Float:
            return "32-bit float RGBA (f4dh)";
        case FaceFormat::ASTC:
            return "ASTC " + std::to_string(layout.BlockWidth) + "x" +
                   std::to_string(layout.BlockHeight);
    }
    return {};
}

bool PowerOfTwo(uint32_t n) {
    return std::has_single_bit(n);
}

// What the description beside the TGA says of this texture.
TextureHints HintsOf(const E2TFHeader& header, bool hasAlpha) {
    TextureHints hints;
    hints.cubeMap = header.faces == kCubeFaces;
    hints.alpha = hasAlpha;
    hints.tilesS = header.wrapS == 3;
    hints.tilesT = header.wrapT == 3;
    if (header.alphaMode == 2) hints.alphaHint = TextureHints::Alpha::Masked;
    if (header.alphaMode == 3) hints.alphaHint = TextureHints::Alpha::Semitransparent;
    hints.nonPowerOfTwo = !PowerOfTwo(header.width) || !PowerOfTwo(header.height);
    return hints;
}

// The description's lines: the alpha is named when the picture has a channel for it.
std::vector<std::string> DescriptionOf(const E2TFHeader& header, const FaceLayout& layout,
                                       const std::string& path) {
    return TextureDescriptionLines(HintsOf(header, layout.BytesPerPixel == 4), path);
}

// Lines about the file itself, shown beside the description.
std::vector<std::string> DetailLines(const E2TFHeader& header, const FaceLayout& layout,
                                     const FloatClipping& clipping) {
    std::vector<std::string> lines;
    lines.push_back("Container=E2TF version " + std::to_string(header.version));
    lines.push_back("Format=" + FormatText(layout));
    static const char* const kAlphaModes[] = {"opaque", "masked", "transparent"};
    if (header.alphaMode >= 1 && header.alphaMode <= 3) {
        lines.push_back(std::string("AlphaMode=") + kAlphaModes[header.alphaMode - 1]);
    } else {
        lines.push_back("AlphaMode=" + std::to_string(header.alphaMode) +
                        " (not understood; no alpha hint written)");
    }
    lines.push_back(TileLine(header.wrapS == 3, header.wrapT == 3));
    const char* const wrapNames[] = {"WrapS", "WrapT", "WrapR"};
    const uint8_t wraps[] = {header.wrapS, header.wrapT, header.wrapR};
    for (int i = 0; i < 3; ++i) {
        if (wraps[i] != 1 && wraps[i] != 3)
            lines.push_back(std::string(wrapNames[i]) + "=" + std::to_string(wraps[i]) +
                            " (not understood; taken as clamp to edge)");
    }
    lines.push_back("MipLevels=" + std::to_string(header.levels) + " (level 0 shown)");
    if (header.mipSkip != 0)
        lines.push_back("MipSkip=" + std::to_string(header.mipSkip) +
                        " (meaning unknown; ignored)");
    if (header.faces == kCubeFaces)
        lines.push_back("Cubemap=6 faces side by side: right, left, top, bottom, front, back");
    lines.push_back("ColourHint=" + std::to_string(header.hint[0]) + "," +
                    std::to_string(header.hint[1]) + "," + std::to_string(header.hint[2]) + "," +
                    std::to_string(header.hint[3]));
    if (clipping.Above) lines.push_back("Clipped=values above 1 were shown as 1 (255)");
    if (clipping.Below) lines.push_back("Clipped=values below 0, or not numbers, were shown as 0");
    return lines;
}

// Why a file is refused, in words that say what it holds; the reader adds
// the file's name.
Failure Refused(std::string_view detail) {
    return {Error::TextureRefused, {}, detail};
}

// The fixed header and, for ASTC, the block size: every field checked before
// anything is sized from it. `pos` ends after what was read.
Failure ReadHeader(const uint8_t* file, size_t fileSize, E2TFHeader& header, FaceLayout& layout,
                   size_t& pos) {
    header.version = LoadLE32(file + 4);
    header.width = LoadLE32(file + 8);
    header.height = LoadLE32(file + 12);
    header.mipSkip = file[16];
    header.levels = file[17];
    header.alphaMode = file[18];
    header.type = file[19];
    header.faces = file[20];
    header.wrapS = file[21];
    header.wrapT = file[22];
    header.wrapR = file[23];
    std::memcpy(header.code, file + 24, 4);

    if (header.width < 1 || header.height < 1 || header.width > kMaxSide ||
        header.height > kMaxSide)
        return Refused("Texture size " + std::to_string(header.width) + " x " +
                       std::to_string(header.height) + " not supported");
    if (header.levels == 0) return Refused("Texture has no mip levels");
    if (header.type != 0 && header.type != 2)
        return Refused("Texture type " + std::to_string(header.type) + " not supported");
    if (header.faces != 1 && header.faces != kCubeFaces)
        return Refused("Texture with " + std::to_string(header.faces) + " faces not supported");
    if ((header.type == 2) != (header.faces == kCubeFaces))
        return Refused("Texture type " + std::to_string(header.type) + " with " +
                       (header.faces == 1 ? "1 face" : "6 faces") + " not supported");

    if (!FormatOf(header, layout.Format))
        return Refused("Texture format \"" + CodeName(header.code) + "\" not supported");
    pos = kHeaderBytes;
    if (layout.Format == FaceFormat::ASTC) {
        if (fileSize < pos + 2) return Error::TextureData;
        header.blockWidth = file[pos];
        header.blockHeight = file[pos + 1];
        pos += 2;
        layout.BlockWidth = header.blockWidth;
        layout.BlockHeight = header.blockHeight;
        if (!AstcCodecAvailable())
            return Refused("Texture format ASTC not supported by this build");
        if (!AstcBlockSizeSupported(layout.BlockWidth, layout.BlockHeight))
            return Refused("ASTC block size " + std::to_string(header.blockWidth) + " x " +
                           std::to_string(header.blockHeight) + " not supported");
    }
    layout.FaceWidth = static_cast<int32_t>(header.width);
    layout.FaceHeight = static_cast<int32_t>(header.height);
    layout.Faces = header.faces;
    // The faces of a cube map are one picture side by side, up to 6 x 4096 wide.
    if (header.faces == kCubeFaces &&
        (header.width > ReaderLimits::CubeFaceSide || header.height > ReaderLimits::CubeFaceSide))
        return Refused("Cube map faces of " + std::to_string(header.width) + " x " +
                       std::to_string(header.height) + " not supported (at most " +
                       std::to_string(ReaderLimits::CubeFaceSide) + " x " +
                       std::to_string(ReaderLimits::CubeFaceSide) + ")");
    // DXT1's punch-through transparency counts unless the texture says it is opaque.
    const bool dxt1Opaque =
        layout.Format == FaceFormat::DXT1 && header.alphaMode != 2 && header.alphaMode != 3;
    layout.BytesPerPixel = dxt1Opaque ? 3 : 4;
    return {};
}

// The colour hint, then the size table (level 0 first, face by face), checked
// against the layout and the file's length; `levelStarts` is where each
// level's data starts, level 0 (the picture) first.
Failure ReadSizeTable(const uint8_t* file, size_t fileSize, size_t pos, E2TFHeader& header,
                      const FaceLayout& layout, std::vector<size_t>& levelStarts) {
    if (fileSize < pos + 4) return Error::TextureData;
    std::memcpy(header.hint, file + pos, 4);
    pos += 4;
    const size_t entries = size_t{header.levels} * header.faces;
    if (fileSize - pos < entries * 4) return Error::TextureData;
    const uint8_t* table = file + pos;
    const size_t dataStart = pos + entries * 4;

    // Each level halves the sides, down to 1 x 1 and no further.
    const int maxLevels = static_cast<int>(std::bit_width(std::max(header.width, header.height)));
    if (header.levels > maxLevels)
        return Refused("Texture has " + std::to_string(header.levels) + " mip levels where a " +
                       std::to_string(header.width) + " x " + std::to_string(header.height) +
                       " picture has at most " + std::to_string(maxLevels));
    for (size_t i = 0; i < entries; ++i) {
        const size_t level = i / header.faces;
        FaceLayout levelLayout = layout;
        levelLayout.FaceWidth = std::max(1, layout.FaceWidth >> level);
        levelLayout.FaceHeight = std::max(1, layout.FaceHeight >> level);
        const uint64_t faceBytes = FaceDataBytes(levelLayout);
        const uint32_t entry = LoadLE32(table + 4 * i);
        if (entry != faceBytes)
            return Refused("Level " + std::to_string(level) + " holds " + std::to_string(entry) +
                           " bytes where a " + std::to_string(levelLayout.FaceWidth) + " x " +
                           std::to_string(levelLayout.FaceHeight) + " " + FormatText(layout) +
                           " face needs " + std::to_string(faceBytes));
    }
    uint64_t total = 0;
    for (size_t i = 0; i < entries; ++i) total += LoadLE32(table + 4 * i);
    if (total != fileSize - dataStart)
        return Refused("Texture sizes add up to " + std::to_string(total) + " bytes where " +
                       std::to_string(fileSize - dataStart) + " follow the size table");
    // The data holds the smallest level first.
    levelStarts.assign(header.levels, 0);
    size_t start = dataStart;
    for (size_t level = header.levels; level-- > 0;) {
        levelStarts[level] = start;
        for (size_t f = 0; f < header.faces; ++f)
            start += LoadLE32(table + 4 * (level * header.faces + f));
    }
    return {};
}

// The decoded picture into the store with what the file says of it; a DXT or
// floating-point texture keeps the file's buffer as its source.
void StorePicture(Image& image, const std::string& path, const E2TFHeader& header,
                  const FaceLayout& layout, ByteBuffer&& pixels, const FloatClipping& clipping,
                  ByteBuffer&& bytes, const std::vector<size_t>& levelStarts) {
    int32_t alphaKind = 0;
    SourceKind source = SourceKind::None;
    switch (layout.Format) {
        case FaceFormat::DXT1:
            image.Compression = 1;
            alphaKind = layout.BytesPerPixel == 4 ? 2 : 0;
            source = SourceKind::DXT1;
            break;
        case FaceFormat::DXT3:
            image.Compression = 3;
            alphaKind = 1;
            source = SourceKind::DXT3;
            break;
        case FaceFormat::DXT5:
            image.Compression = 5;
            alphaKind = 1;
            source = SourceKind::DXT5;
            break;
        case FaceFormat::Float:
            source = SourceKind::Float;
            [[fallthrough]];
        case FaceFormat::BGRA8:
        case FaceFormat::ASTC:
            image.Compression = 0;
            alphaKind = ClassifyAlpha(pixels.data(), pixels.size() / 4);
            break;
    }
    image.AdoptPixels(std::move(pixels), layout.FaceWidth * layout.Faces, layout.FaceHeight,
                      alphaKind);
    image.CubeMap = header.faces == kCubeFaces;
    image.Description = DescriptionOf(header, layout, path);
    image.HasDescription = true;
    image.Details = DetailLines(header, layout, clipping);
    if (source != SourceKind::None) {
        image.Source.Kind = source;
        image.Source.Offset = levelStarts[0];
        image.Source.SmallerLevels.assign(levelStarts.begin() + 1, levelStarts.end());
        image.Source.FaceBytes = static_cast<size_t>(FaceDataBytes(layout));
        image.Source.Faces = layout.Faces;
        image.Source.FaceWidth = layout.FaceWidth;
        image.Source.FaceHeight = layout.FaceHeight;
        image.Source.BytesPerPixel = layout.BytesPerPixel;
        // The buffer, and so the starts, stays put.
        image.Source.Bytes = std::make_shared<const ByteBuffer>(std::move(bytes));
    }
}

// Reads the file and makes every check there is before anything is decoded.
// A failure names no file: the caller adds it.
Failure ReadChecked(const std::string& path, ByteBuffer& bytes, E2TFHeader& header,
                    FaceLayout& layout, std::vector<size_t>& levelStarts) {
    switch (ReadWholeFile(path, bytes, ReaderLimits::E2tfBytes)) {
        case ReadResult::Ok:
            break;
        case ReadResult::CannotOpen:
            return Error::FileNotFound;
        case ReadResult::TooLarge:
            return Error::TextureTooLarge;
        case ReadResult::ReadError:
            return Error::TextureData;
    }
    const uint8_t* file = bytes.data();
    const size_t fileSize = bytes.size();
    if (fileSize < kHeaderBytes) return Error::TextureData;
    if (std::memcmp(file, "FT2E", 4) != 0) return Error::TextureNotTexture;
    size_t pos = 0;
    if (Failure f = ReadHeader(file, fileSize, header, layout, pos)) return f;
    return ReadSizeTable(file, fileSize, pos, header, layout, levelStarts);
}

}  // namespace

Failure LoadE2TF(const std::string& path, Image& image, const ReaderNotices&) {
    image.TextureFileName = path;

    ByteBuffer bytes;
    E2TFHeader header;
    FaceLayout layout;
    std::vector<size_t> levelStarts;
    if (Failure failure = ReadChecked(path, bytes, header, layout, levelStarts)) {
        failure.path = path;
        return failure;
    }
    image.Container = "E2TF";
    const uint8_t* file = bytes.data();

    // Everything is checked against the file: the picture may be allocated.
    ByteBuffer pixels(static_cast<size_t>(layout.FaceWidth) * layout.Faces * layout.FaceHeight *
                      layout.BytesPerPixel);
    FloatClipping clipping;
    std::string codecError;
    if (!DecodeFaces(layout, file + levelStarts[0], pixels.data(), clipping, codecError))
        return {Error::TextureUndecodable, path, codecError};
    StorePicture(image, path, header, layout, std::move(pixels), clipping, std::move(bytes),
                 levelStarts);
    return {};
}

bool ExamineE2TF(const std::string& path, ByteBuffer& bytes, TexturePicture& picture) {
    E2TFHeader header;
    FaceLayout layout;
    std::vector<size_t> levelStarts;
    if (ReadChecked(path, bytes, header, layout, levelStarts)) return false;
    picture = TexturePicture();
    picture.width = layout.FaceWidth;
    picture.height = layout.FaceHeight;
    picture.bytesPerPixel = layout.BytesPerPixel;
    picture.data = bytes.data() + levelStarts[0];
    picture.size = static_cast<size_t>(FaceDataBytes(layout));
    picture.description = DescriptionOf(header, layout, path);
    // A cube map's faces make one picture side by side, which only the reader
    // puts together.
    if (layout.Faces != 1) return true;
    switch (layout.Format) {
        case FaceFormat::DXT1:
            picture.coding = PictureCoding::DXT1;
            break;
        case FaceFormat::DXT3:
            picture.coding = PictureCoding::DXT3;
            break;
        case FaceFormat::DXT5:
            picture.coding = PictureCoding::DXT5;
            break;
        default:
            break;
    }
    return true;
}

}  // namespace core
