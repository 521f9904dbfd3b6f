// DDS, for engines and tools: a DXT texture's own blocks with every mip level
// it holds, else level 0's 32-bit pixels.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/formats/save_image.h"
#include "core/formats/texture_faces.h"
#include "core/image/channel_order.h"
#include "core/io/byte_order.h"

namespace core {

namespace {

constexpr uint32_t kDdsCaps = 0x1, kDdsHeight = 0x2, kDdsWidth = 0x4, kDdsPitch = 0x8,
                   kDdsPixelFormat = 0x1000, kDdsMipMapCount = 0x20000, kDdsLinearSize = 0x80000;
constexpr uint32_t kPixelAlpha = 0x1, kPixelFourCC = 0x4, kPixelRgb = 0x40;
constexpr uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipMap = 0x400000;
constexpr uint32_t kCaps2CubeMapAllFaces = 0x200 | 0xFC00;
constexpr size_t kDdsHeaderBytes = 128;

// The 128 bytes before the data: `fourCC` names the block format, or is null
// for 32-bit pixels (blue, green, red, alpha in memory). `faceBytes` is level
// 0's size of one face; `levels` above 1 is a mip chain.
std::array<uint8_t, kDdsHeaderBytes> DdsHeader(int32_t width, int32_t height, int32_t faces,
                                               const char* fourCC, size_t faceBytes,
                                               size_t levels) {
    std::array<uint8_t, kDdsHeaderBytes> h{};
    std::memcpy(h.data(), "DDS ", 4);
    StoreLE32(&h[4], 124);
    const uint32_t sizeFlag = fourCC ? kDdsLinearSize : kDdsPitch;
    StoreLE32(&h[8], kDdsCaps | kDdsHeight | kDdsWidth | kDdsPixelFormat | sizeFlag |
                         (levels > 1 ? kDdsMipMapCount : 0));
    StoreLE32(&h[12], static_cast<uint32_t>(height));
    StoreLE32(&h[16], static_cast<uint32_t>(width));
    StoreLE32(&h[20], fourCC ? static_cast<uint32_t>(faceBytes) : static_cast<uint32_t>(width) * 4);
    if (levels > 1) StoreLE32(&h[28], static_cast<uint32_t>(levels));
    StoreLE32(&h[76], 32);
    if (fourCC) {
        StoreLE32(&h[80], kPixelFourCC);
        std::memcpy(&h[84], fourCC, 4);
    } else {
        StoreLE32(&h[80], kPixelRgb | kPixelAlpha);
        StoreLE32(&h[88], 32);
        StoreLE32(&h[92], 0x00FF0000);
        StoreLE32(&h[96], 0x0000FF00);
        StoreLE32(&h[100], 0x000000FF);
        StoreLE32(&h[104], 0xFF000000);
    }
    StoreLE32(&h[108], kCapsTexture | (faces > 1 || levels > 1 ? kCapsComplex : 0) |
                           (levels > 1 ? kCapsMipMap : 0));
    StoreLE32(&h[112], faces > 1 ? kCaps2CubeMapAllFaces : 0);
    return h;
}

const char* FourCCOf(SourceKind kind) {
    switch (kind) {
        case SourceKind::DXT1:
            return "DXT1";
        case SourceKind::DXT3:
            return "DXT3";
        case SourceKind::DXT5:
            return "DXT5";
        default:
            return nullptr;
    }
}

// One face of each kept level of a DXT source: where it starts in the source's
// bytes and how many bytes it holds.
struct LevelFaces {
    size_t start = 0;
    size_t faceBytes = 0;
};

// Level 0 and, when every one of them lies whole within the bytes held, the
// smaller levels. A chain that does not fit is left out, not written in part.
std::vector<LevelFaces> KeptLevels(const SourceData& source) {
    FaceLayout layout;
    layout.Format = source.Kind == SourceKind::DXT1   ? FaceFormat::DXT1
                    : source.Kind == SourceKind::DXT3 ? FaceFormat::DXT3
                                                      : FaceFormat::DXT5;
    std::vector<LevelFaces> levels{{source.Offset, source.FaceBytes}};
    const size_t faces = static_cast<size_t>(source.Faces);
    for (size_t k = 1; k <= source.SmallerLevels.size(); ++k) {
        layout.FaceWidth = std::max(1, source.FaceWidth >> k);
        layout.FaceHeight = std::max(1, source.FaceHeight >> k);
        const uint64_t faceBytes = FaceDataBytes(layout);
        const size_t start = source.SmallerLevels[k - 1];
        if (k >= 32 || faceBytes == 0 || start > source.Size() ||
            faceBytes * faces > source.Size() - start)
            return {levels.front()};
        levels.push_back({start, static_cast<size_t>(faceBytes)});
    }
    return levels;
}

// A DXT source's blocks as they are: face after face (+X, -X, +Y, -Y, +Z, -Z
// for a cube map), each with its levels from the largest down.
bool WriteOwnBlocks(const SourceData& source, const std::vector<LevelFaces>& levels,
                    ImageSink& sink) {
    for (size_t f = 0; f < static_cast<size_t>(source.Faces); ++f) {
        for (const LevelFaces& level : levels) {
            if (!sink.Write(source.Bytes->data() + level.start + f * level.faceBytes,
                            level.faceBytes))
                return false;
        }
    }
    return true;
}

// The picture's pixels as 32-bit DDS data: face by face, each top row first,
// blue, green, red, alpha (255 where the picture has no alpha).
bool WriteUncompressedDds(const Image& image, ImageSink& sink, int32_t faces) {
    const size_t bpp = static_cast<size_t>(image.BytesPerPixel());
    const size_t width = static_cast<size_t>(image.Width);
    const size_t faceWidth = width / static_cast<size_t>(faces);
    std::vector<uint8_t> row(faceWidth * 4);
    for (int32_t f = 0; f < faces; ++f) {
        for (int32_t y = image.Height - 1; y >= 0; --y) {
            const uint8_t* src =
                image.Data() + (static_cast<size_t>(y) * width + f * faceWidth) * bpp;
            if (bpp == 4) {
                CopySwappingRedBlue(src, row.data(), faceWidth, 4);
            } else {
                for (size_t x = 0; x < faceWidth; ++x) {
                    row[4 * x] = src[3 * x + 2];
                    row[4 * x + 1] = src[3 * x + 1];
                    row[4 * x + 2] = src[3 * x];
                    row[4 * x + 3] = 255;
                }
            }
            if (!sink.Write(row.data(), row.size())) return false;
        }
    }
    return true;
}

}  // namespace

Error WriteDDS(const Image& image, ImageSink& sink, int) {
    if (!HasWritablePicture(image)) return Error::NoPicture;
    const int32_t faces = image.CubeMap && image.Width % kCubeMapFaces == 0 ? kCubeMapFaces : 1;
    const SourceData& source = image.Source;
    const char* fourCC = FourCCOf(source.Kind);
    const bool ownBlocks = fourCC && source.Faces == faces && SourceMatchesPixels(image);
    bool written;
    if (ownBlocks) {
        const std::vector<LevelFaces> levels = KeptLevels(source);
        const auto header = DdsHeader(source.FaceWidth, source.FaceHeight, faces, fourCC,
                                      source.FaceBytes, levels.size());
        written = sink.Write(header.data(), header.size()) && WriteOwnBlocks(source, levels, sink);
    } else {
        const auto header = DdsHeader(image.Width / faces, image.Height, faces, nullptr, 0, 1);
        written =
            sink.Write(header.data(), header.size()) && WriteUncompressedDds(image, sink, faces);
    }
    return written ? Error::None : Error::CannotWrite;
}

}  // namespace core
