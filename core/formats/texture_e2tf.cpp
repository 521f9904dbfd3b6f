// The newer Trainz texture container, "E2TF" (its four-character codes are
// stored reversed, so the file starts with the bytes "FT2E"): a fixed header,
// a colour hint, a table of the byte size of every level's every face, then
// the data with the smallest level first and level 0, the picture, last.
// Every field is checked, and the whole table against the file's length,
// before anything is sized from them.
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/texture_faces.h"
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

std::string TileLine(bool sTiles, bool tTiles) {
    return sTiles && tTiles ? "Tile=st" : sTiles ? "Tile=s" : tTiles ? "Tile=t" : "Tile=none";
}

bool PowerOfTwo(uint32_t n) {
    return std::has_single_bit(n);
}

// The lines of the .texture.txt description, named after the texture's own file.
std::vector<std::string> DescriptionLines(const E2TFHeader& header, bool hasAlpha,
                                          const std::string& path) {
    const std::string_view name = FileNamePart(path);
    const std::string stem(name.substr(0, name.size() >= 8 ? name.size() - 8 : 0));
    const std::string tile = TileLine(header.wrapS == 3, header.wrapT == 3);
    std::vector<std::string> lines;
    if (header.faces == kCubeFaces) {
        lines.push_back("Cubemap=1");
        for (const char* face : kCubeMapFaceNames) {
            std::string key = face;
            key[0] = static_cast<char>(key[0] - 'a' + 'A');
            lines.push_back(key + "=" + stem + "_" + face + ".tga");
        }
        lines.push_back(tile);
    } else {
        lines.push_back("Primary=" + stem + ".tga");
        if (hasAlpha) lines.push_back("Alpha=" + stem + ".tga");
        lines.push_back(tile);
        if (header.alphaMode == 2) lines.push_back("AlphaHint=masked");
        if (header.alphaMode == 3) lines.push_back("AlphaHint=semitransparent");
    }
    if (!PowerOfTwo(header.width) || !PowerOfTwo(header.height)) lines.push_back("nonpoweroftwo=1");
    return lines;
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

class Refusal {
public:
    Refusal(ImageStore& store, const std::string& path) : store_(store), path_(path) {}
    // `what` followed by the file's name in double quotes and a full stop.
    bool operator()(const std::string& what) const {
        SetLoadError(store_, what + " \"", path_, "\".");
        return false;
    }

private:
    ImageStore& store_;
    const std::string& path_;
};

}  // namespace

bool IsE2TF(const std::string& path) {
    ByteBuffer start;
    return ReadFilePrefix(path, start, 4) == ReadResult::Ok && start.size() == 4 &&
           std::memcmp(start.data(), "FT2E", 4) == 0;
}

bool LoadE2TF(ImageStore& store, const std::string& path) {
    store.TextureFileName = path;
    const Refusal refuse(store, path);

    ByteBuffer bytes;
    switch (ReadWholeFile(path, bytes, ReaderLimits::E2tfBytes)) {
        case ReadResult::Ok:
            break;
        case ReadResult::CannotOpen:
            SetLoadError(store, "File not found : \"", path, "\"");
            return false;
        case ReadResult::TooLarge:
            return refuse("Texture too large in");
        case ReadResult::ReadError:
            return refuse("Couldn't read texture data in");
    }
    const uint8_t* file = bytes.data();
    const size_t fileSize = bytes.size();
    if (fileSize < kHeaderBytes || std::memcmp(file, "FT2E", 4) != 0)
        return refuse(fileSize < kHeaderBytes ? "Couldn't read texture data in"
                                              : "Not a Trainz texture");
    store.TextureContainer = "E2TF";

    E2TFHeader header;
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
        return refuse("Texture size " + std::to_string(header.width) + " x " +
                      std::to_string(header.height) + " not supported in");
    if (header.levels == 0) return refuse("Texture has no mip levels in");
    if (header.type != 0 && header.type != 2)
        return refuse("Texture type " + std::to_string(header.type) + " not supported in");
    if (header.faces != 1 && header.faces != kCubeFaces)
        return refuse("Texture with " + std::to_string(header.faces) + " faces not supported in");
    if ((header.type == 2) != (header.faces == kCubeFaces))
        return refuse("Texture type " + std::to_string(header.type) + " with " +
                      (header.faces == 1 ? "1 face" : "6 faces") + " not supported in");

    FaceLayout layout;
    if (!FormatOf(header, layout.Format))
        return refuse("Texture format \"" + CodeName(header.code) + "\" not supported in");
    size_t pos = kHeaderBytes;
    if (layout.Format == FaceFormat::ASTC) {
        if (fileSize < pos + 2) return refuse("Couldn't read texture data in");
        header.blockWidth = file[pos];
        header.blockHeight = file[pos + 1];
        pos += 2;
        layout.BlockWidth = header.blockWidth;
        layout.BlockHeight = header.blockHeight;
        if (!AstcCodecAvailable())
            return refuse("Texture format ASTC not supported by this build in");
        if (!AstcBlockSizeSupported(layout.BlockWidth, layout.BlockHeight))
            return refuse("ASTC block size " + std::to_string(header.blockWidth) + " x " +
                          std::to_string(header.blockHeight) + " not supported in");
    }
    layout.FaceWidth = static_cast<int32_t>(header.width);
    layout.FaceHeight = static_cast<int32_t>(header.height);
    layout.Faces = header.faces;
    // The faces of a cube map are shown side by side: the strip is one picture.
    if (uint64_t{header.width} * header.faces > kMaxSide)
        return refuse("Cube map too wide to show its six faces side by side in");
    const bool dxt1Alpha = header.alphaMode == 2;
    layout.BytesPerPixel = layout.Format == FaceFormat::DXT1 && !dxt1Alpha ? 3 : 4;

    // Colour hint, then the size table: level 0 first, face by face.
    if (fileSize < pos + 4) return refuse("Couldn't read texture data in");
    std::memcpy(header.hint, file + pos, 4);
    pos += 4;
    const size_t entries = size_t{header.levels} * header.faces;
    if (fileSize - pos < entries * 4) return refuse("Couldn't read texture data in");
    const uint8_t* table = file + pos;
    const size_t dataStart = pos + entries * 4;

    const uint64_t faceBytes = FaceDataBytes(layout);
    for (size_t f = 0; f < header.faces; ++f) {
        const uint32_t entry = LoadLE32(table + 4 * f);
        if (entry != faceBytes)
            return refuse("Level 0 holds " + std::to_string(entry) + " bytes where a " +
                          std::to_string(header.width) + " x " + std::to_string(header.height) +
                          " " + FormatText(layout) + " face needs " + std::to_string(faceBytes) +
                          " in");
    }
    uint64_t total = 0, smallerLevels = 0;
    for (size_t i = 0; i < entries; ++i) {
        const uint32_t entry = LoadLE32(table + 4 * i);
        total += entry;
        if (i >= header.faces) smallerLevels += entry;
    }
    if (total != fileSize - dataStart)
        return refuse("Texture sizes add up to " + std::to_string(total) + " bytes where " +
                      std::to_string(fileSize - dataStart) + " follow the size table in");

    // Everything is checked against the file: the picture may be allocated.
    const size_t level0 = dataStart + static_cast<size_t>(smallerLevels);
    const int32_t pictureWidth = layout.FaceWidth * layout.Faces;
    ByteBuffer pixels(static_cast<size_t>(pictureWidth) * layout.FaceHeight * layout.BytesPerPixel);
    FloatClipping clipping;
    std::string codecError;
    if (!DecodeFaces(layout, file + level0, pixels.data(), clipping, codecError))
        return refuse("Couldn't decode texture data (" + codecError + ") in");

    int32_t alphaKind = 0;
    SourceKind source = SourceKind::None;
    switch (layout.Format) {
        case FaceFormat::DXT1:
            store.Image.Compression = 1;
            alphaKind = dxt1Alpha ? 2 : 0;
            source = SourceKind::DXT1;
            break;
        case FaceFormat::DXT3:
            store.Image.Compression = 3;
            alphaKind = 1;
            source = SourceKind::DXT3;
            break;
        case FaceFormat::DXT5:
            store.Image.Compression = 5;
            alphaKind = 1;
            source = SourceKind::DXT5;
            break;
        case FaceFormat::Float:
            source = SourceKind::Float;
            [[fallthrough]];
        case FaceFormat::BGRA8:
        case FaceFormat::ASTC:
            store.Image.Compression = 0;
            alphaKind = ClassifyAlpha(pixels.data(), pixels.size() / 4);
            break;
    }
    store.AdoptPixels(std::move(pixels), pictureWidth, layout.FaceHeight, alphaKind);
    store.CubeMap = header.faces == kCubeFaces;
    store.TextureDescription = DescriptionLines(header, layout.BytesPerPixel == 4, path);
    store.HasTextureDescription = true;
    store.TextureDetails = DetailLines(header, layout, clipping);
    if (source != SourceKind::None) {
        store.Source.Kind = source;
        store.Source.Offset = level0;
        store.Source.FaceBytes = static_cast<size_t>(faceBytes);
        store.Source.Faces = layout.Faces;
        store.Source.FaceWidth = layout.FaceWidth;
        store.Source.FaceHeight = layout.FaceHeight;
        store.Source.BytesPerPixel = layout.BytesPerPixel;
        store.Source.Bytes = std::move(bytes);  // the buffer, and so `level0`, stays put
    }
    return true;
}

}  // namespace core
