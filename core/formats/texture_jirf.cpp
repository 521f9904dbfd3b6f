// The Trainz texture container: "JIRF", "MMTFINFO", an info block whose fields
// depend on its version, then image chunks tagged "MMAP" of which only the last
// is the picture. The file is read once into memory and walked with every size
// checked against what is really there.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/codecs/dxt.h"
#include "core/codecs/etc2.h"
#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/texture_description.h"
#include "core/formats/texture_faces.h"
#include "core/formats/texture_picture.h"
#include "core/image/alpha_channel.h"
#include "core/image/channel_order.h"
#include "core/io/byte_order.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace core {

namespace {

enum TextureFormat : int32_t {
    kFormat24Bit = 3,
    kFormatDXT1 = 10,
    kFormatDXT3 = 11,
    kFormatDXT5 = 12,
    kFormatDXT5Variant = 13,  // "Bridge It": DXT5 blocks under another number
    kFormatETC2 = 28          // mobile ETC2 RGB
};

constexpr int64_t kInfoStart = 20;

struct TextureInfo {
    int32_t version = 0;
    int32_t type = 0;  // 2: a cube map, of which only the last face is the picture
    int32_t firstCount = 0;
    int32_t secondCount = 0;
    int32_t format = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t dynamic = 0;
    int32_t sWrap = 0;
    int32_t tWrap = 0;
    int32_t alphaHint = 0;
    int32_t normalMap = 0;
};

// A bounds-checked read position over the file held in memory.
class FileCursor {
public:
    FileCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Has(int64_t count) const { return pos_ >= 0 && count >= 0 && pos_ <= Size() - count; }
    bool Tag(const char* tag, size_t length, bool& matches) {
        if (!Has(static_cast<int64_t>(length))) return false;
        matches = std::memcmp(data_ + pos_, tag, length) == 0;
        pos_ += static_cast<int64_t>(length);
        return true;
    }
    bool Int32(int32_t& value) {
        if (!Has(4)) return false;
        value = static_cast<int32_t>(LoadLE32(data_ + pos_));
        pos_ += 4;
        return true;
    }
    bool Skip(int64_t count) {
        if (!Has(count)) return false;
        pos_ += count;
        return true;
    }
    // Any position is allowed; the next read checks it.
    void Seek(int64_t pos) { pos_ = pos; }
    int64_t Pos() const { return pos_; }
    const uint8_t* Here() const { return data_ + pos_; }

private:
    int64_t Size() const { return static_cast<int64_t>(size_); }
    const uint8_t* data_;
    size_t size_;
    int64_t pos_ = 0;
};

// The header and the info block, up to (not including) the chunks.
Error ReadInfo(FileCursor& file, TextureInfo& info, int64_t& infoEnd) {
    bool matches = false;
    int32_t ignored = 0;
    if (!file.Tag("JIRF", 4, matches)) return Error::TextureData;
    if (!matches) return Error::TextureNotTexture;
    if (!file.Int32(ignored)) return Error::TextureData;
    if (!file.Tag("MMTFINFO", 8, matches)) return Error::TextureData;
    if (!matches) return Error::TextureNotTexture;
    int32_t infoSize = 0;
    if (!file.Int32(infoSize)) return Error::TextureData;
    infoEnd = kInfoStart + infoSize;

    if (!file.Int32(info.version) || !file.Int32(info.type) || !file.Int32(info.firstCount) ||
        !file.Int32(info.secondCount) || !file.Int32(info.format))
        return Error::TextureData;
    if (info.format > kFormatDXT5 && info.format != kFormatDXT5Variant &&
        info.format != kFormatETC2)
        return Error::TextureFormat;
    if (!file.Int32(info.width) || !file.Int32(info.height)) return Error::TextureData;
    // Sides are checked before anything is sized from them.
    if (info.width < 1 || info.height < 1 || info.width > kMaxSide || info.height > kMaxSide)
        return Error::TextureTooLarge;
    if (!file.Int32(info.dynamic) || !file.Int32(info.sWrap) || !file.Int32(info.tWrap) ||
        !file.Skip(16) || !file.Int32(info.alphaHint))
        return Error::TextureData;
    if (info.version > 259 && !file.Skip(4)) return Error::TextureData;
    if (info.version > 260 && !file.Skip(12)) return Error::TextureData;
    if (info.version > 262 && !file.Int32(info.normalMap)) return Error::TextureData;
    return Error::None;
}

// What the description beside the TGA says of this texture.
TextureHints HintsOf(const TextureInfo& info, bool opaque = false) {
    TextureHints hints;
    hints.alpha =
        !opaque && info.format != kFormat24Bit && info.format != kFormatDXT1 && info.alphaHint != 2;
    hints.tilesS = info.sWrap == 2;
    hints.tilesT = info.tWrap == 2;
    hints.dynamic = info.dynamic == 1;
    if (info.alphaHint == 1) hints.alphaHint = TextureHints::Alpha::Semitransparent;
    if (info.alphaHint == 2) hints.alphaHint = TextureHints::Alpha::Masked;
    hints.normalMap = info.normalMap == 1;
    return hints;
}

// Uncompressed chunk: blue, green, red, alpha, top row first. Format 3 keeps
// only the colour.
void DecodeUncompressed(Image& image, const TextureInfo& info, const uint8_t* data) {
    const size_t width = static_cast<size_t>(info.width);
    const size_t height = static_cast<size_t>(info.height);
    const bool opaque = info.format == kFormat24Bit;
    const size_t bpp = opaque ? 3 : 4;
    ByteBuffer pixels(width * height * bpp);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* src = data + (height - 1 - y) * width * 4;
        uint8_t* dst = pixels.data() + y * width * bpp;
        if (opaque) {
            CopyBgraToRgb(src, dst, width);
        } else {
            CopySwappingRedBlue(src, dst, width, 4);
        }
    }
    const int32_t alphaKind = opaque ? 0 : ClassifyAlpha(pixels.data(), width * height);
    image.AdoptPixels(std::move(pixels), info.width, info.height, alphaKind);
}

// A DXT picture's level-0 blocks stay with the store for writers that take them
// as they are.
void KeepDxtBlocks(Image& image, const TextureInfo& info, int32_t format, ByteBuffer&& bytes,
                   size_t offset, size_t size) {
    FaceLayout layout;
    SourceKind kind = SourceKind::None;
    switch (format) {
        case kFormatDXT1:
            layout.Format = FaceFormat::DXT1, kind = SourceKind::DXT1;
            break;
        case kFormatDXT3:
            layout.Format = FaceFormat::DXT3, kind = SourceKind::DXT3;
            break;
        case kFormatDXT5:
            layout.Format = FaceFormat::DXT5, kind = SourceKind::DXT5;
            break;
        default:
            return;
    }
    layout.FaceWidth = info.width;
    layout.FaceHeight = info.height;
    const uint64_t blocks = FaceDataBytes(layout);
    if (blocks == 0 || size < blocks) return;
    image.Source.Kind = kind;
    image.Source.Offset = offset;
    image.Source.FaceBytes = static_cast<size_t>(blocks);
    image.Source.Faces = 1;
    image.Source.FaceWidth = info.width;
    image.Source.FaceHeight = info.height;
    image.Source.BytesPerPixel = image.BytesPerPixel();
    image.Source.Bytes = std::make_shared<const ByteBuffer>(std::move(bytes));
}

// A chunk's data: where it starts in the file and its size.
struct ChunkSpan {
    int64_t start = 0;
    int32_t size = 0;
};

// Levels a picture of the largest side has, down to 1 x 1.
constexpr int64_t kMaxLevels = 14;

// The chunks before the picture are its smaller mip levels, the smallest
// first, when every one holds exactly the blocks of its level; anything else
// (a chunk of another size, more chunks than levels) keeps level 0 alone.
// `recent` holds the last chunks read, chunk i at i % kMaxLevels.
void KeepSmallerLevels(SourceData& source, const std::array<ChunkSpan, kMaxLevels>& recent,
                       int64_t chunks) {
    const int32_t side = std::max(source.FaceWidth, source.FaceHeight);
    const int64_t levels = std::bit_width(static_cast<uint32_t>(side));
    if (chunks < 2 || chunks > levels) return;
    FaceLayout layout;
    layout.Format = source.Kind == SourceKind::DXT1   ? FaceFormat::DXT1
                    : source.Kind == SourceKind::DXT3 ? FaceFormat::DXT3
                                                      : FaceFormat::DXT5;
    std::vector<size_t> starts;
    for (int64_t k = 1; k < chunks; ++k) {
        const ChunkSpan& chunk = recent[static_cast<size_t>((chunks - 1 - k) % kMaxLevels)];
        layout.FaceWidth = std::max(1, source.FaceWidth >> k);
        layout.FaceHeight = std::max(1, source.FaceHeight >> k);
        if (static_cast<uint64_t>(chunk.size) != FaceDataBytes(layout)) return;
        starts.push_back(static_cast<size_t>(chunk.start));
    }
    source.SmallerLevels = std::move(starts);
}

// Where the picture is, as the checks found it.
struct LocatedPicture {
    TextureInfo info;
    int64_t chunks = 0;
    std::array<ChunkSpan, kMaxLevels> recent{};  // the last chunks read
    const uint8_t* data = nullptr;
    size_t size = 0;
    int32_t format = 0;  // as decoded: 13 as 12, 13 and 28 of plain pixels' size as 0
    std::string kind;
};

// Reads the file and makes every check there is before anything is decoded.
// A failure names no file: the caller adds it.
Failure LocatePicture(const std::string& path, ByteBuffer& bytes, LocatedPicture& picture) {
    // Large files land in huge pages through ByteBuffer's allocator.
    switch (ReadWholeFile(path, bytes, ReaderLimits::JirfBytes)) {
        case ReadResult::Ok:
            break;
        case ReadResult::CannotOpen:
            return Error::FileNotFound;
        case ReadResult::TooLarge:
        case ReadResult::ReadError:
            return Error::TextureData;
    }
    FileCursor file(bytes.data(), bytes.size());

    TextureInfo& info = picture.info;
    int64_t infoEnd = 0;
    if (const Error error = ReadInfo(file, info, infoEnd); error != Error::None) return error;

    // The info size alone says where the chunks begin, whatever was read.
    file.Seek(infoEnd);
    const int64_t chunks = static_cast<int64_t>(info.firstCount) * info.secondCount;
    picture.chunks = chunks;
    if (chunks <= 0) return Error::TextureData;
    // Each chunk advances by at least its 8-byte header, so the walk ends at
    // the end of the file whatever the count says. The last few chunks are
    // remembered: they may be the picture's smaller mip levels.
    int32_t dataSize = 0;
    for (int64_t i = 0;; ++i) {
        bool matches = false;
        if (!file.Tag("MMAP", 4, matches) || !matches || !file.Int32(dataSize) || dataSize < 0)
            return Error::TextureData;
        picture.recent[static_cast<size_t>(i % kMaxLevels)] = {file.Pos(), dataSize};
        if (i == chunks - 1) break;
        if (!file.Skip(dataSize)) return Error::TextureData;
    }
    if (!file.Has(dataSize)) return Error::TextureData;
    picture.data = file.Here();
    const size_t size = static_cast<size_t>(dataSize);
    picture.size = size;

    // Formats 13 and 28 hold blocks, but a chunk of exactly width x height x 4
    // bytes is read as plain pixels like every format below 10.
    const uint64_t plainBytes = static_cast<uint64_t>(info.width) * info.height * 4;
    int32_t& format = picture.format;
    format = info.format;
    if ((format == kFormatDXT5Variant || format == kFormatETC2) && size == plainBytes)
        format = 0;
    else if (format == kFormatDXT5Variant)
        format = kFormatDXT5;

    // A chunk too short for its picture is refused before anything is decoded:
    // its missing lines would otherwise show as black.
    const uint64_t blocks = static_cast<uint64_t>((info.width + 3) / 4) * ((info.height + 3) / 4);
    uint64_t needed = plainBytes;
    std::string& kind = picture.kind;
    kind = "uncompressed";
    switch (format) {
        case kFormatDXT1:
            needed = blocks * 8, kind = "DXT1";
            break;
        case kFormatDXT3:
            needed = blocks * 16, kind = "DXT3";
            break;
        case kFormatDXT5:
            needed = blocks * 16, kind = "DXT5";
            break;
        case kFormatETC2:
            needed = Etc2DataBytes(info.width, info.height), kind = "ETC2 RGB";
            break;
        default:
            break;
    }
    const bool blockFormat = format >= kFormatDXT1;
    if (blockFormat ? size < needed : size != needed)
        return {Error::TextureRefused,
                {},
                "Image data holds " + std::to_string(size) + " bytes where a " +
                    std::to_string(info.width) + " x " + std::to_string(info.height) + " " + kind +
                    " picture needs " + std::to_string(needed)};
    // DXT data is read a whole block row at a time, so data that is not a
    // whole number of block rows ends inside a block.
    const uint64_t blockRows = (static_cast<uint64_t>(info.height) + 3) / 4;
    if (format >= kFormatDXT1 && format <= kFormatDXT5 && size % (needed / blockRows) != 0)
        return Error::TextureData;
    return {};
}

// The description's lines: ETC2 blocks carry no alpha, so that TGA has none to name.
std::vector<std::string> DescriptionOf(const LocatedPicture& picture, const std::string& path) {
    return TextureDescriptionLines(HintsOf(picture.info, picture.format == kFormatETC2), path);
}

}  // namespace

Failure LoadTexture(const std::string& path, Image& image, const ReaderNotices&) {
    image.TextureFileName = path;

    ByteBuffer bytes;
    LocatedPicture picture;
    if (Failure failure = LocatePicture(path, bytes, picture)) {
        failure.path = path;
        return failure;
    }
    const TextureInfo& info = picture.info;
    const uint8_t* data = picture.data;
    const size_t size = picture.size;
    const int32_t format = picture.format;
    const int64_t chunks = picture.chunks;
    const std::string& kind = picture.kind;

    image.Container = "JIRF";
    image.Description = DescriptionOf(picture, path);
    image.HasDescription = true;
    if (info.type == 2) image.Details.push_back("Cubemap=only its last face is shown");

    bool decoded = true;
    switch (format) {
        case kFormatDXT1:
            decoded = DecodeDXT1(image, data, size, info.width, info.height, info.alphaHint);
            break;
        case kFormatDXT3:
            decoded = DecodeDXT3(image, data, size, info.width, info.height);
            break;
        case kFormatDXT5:
            decoded = DecodeDXT5(image, data, size, info.width, info.height);
            break;
        case kFormatETC2:
            decoded = DecodeETC2(image, data, size, info.width, info.height);
            break;
        default:
            DecodeUncompressed(image, info, data);
    }
    if (!decoded) return {Error::TextureData, path};
    const size_t offset = static_cast<size_t>(data - bytes.data());
    KeepDxtBlocks(image, info, format, std::move(bytes), offset, size);
    if (image.Source.Kind != SourceKind::None && info.type != 2)
        KeepSmallerLevels(image.Source, picture.recent, chunks);

    // What the container says, for the details view and `info`.
    std::vector<std::string> details{
        "Container=JIRF version " + std::to_string(info.version),
        "Format=" + kind +
            (info.format == kFormatDXT5Variant && format == kFormatDXT5 ? " (format 13)" : "")};
    details.push_back("Chunks=" + std::to_string(chunks) +
                      (chunks > 1 ? " (the last one shown)" : ""));
    if (!image.Source.SmallerLevels.empty())
        details.push_back("MipLevels=" + std::to_string(image.Source.SmallerLevels.size() + 1) +
                          " (level 0 shown)");
    image.Details.insert(image.Details.begin(), details.begin(), details.end());
    return {};
}

bool ExamineJirf(const std::string& path, ByteBuffer& bytes, TexturePicture& picture) {
    LocatedPicture located;
    if (LocatePicture(path, bytes, located)) return false;
    picture = TexturePicture();
    picture.width = located.info.width;
    picture.height = located.info.height;
    picture.data = located.data;
    picture.size = located.size;
    picture.description = DescriptionOf(located, path);
    switch (located.format) {
        case kFormatDXT1:
            picture.coding = PictureCoding::DXT1;
            picture.bytesPerPixel = located.info.alphaHint == 2 ? 4 : 3;
            break;
        case kFormatDXT3:
            picture.coding = PictureCoding::DXT3;
            picture.bytesPerPixel = 4;
            break;
        case kFormatDXT5:
            picture.coding = PictureCoding::DXT5;
            picture.bytesPerPixel = 4;
            break;
        case kFormatETC2:
            picture.coding = PictureCoding::ETC2;
            picture.bytesPerPixel = 3;
            break;
        default:
            break;
    }
    return true;
}

}  // namespace core
