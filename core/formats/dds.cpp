// DDS, for engines and tools: a DXT texture's own blocks, else 32-bit pixels.
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
                   kDdsPixelFormat = 0x1000, kDdsLinearSize = 0x80000;
constexpr uint32_t kPixelAlpha = 0x1, kPixelFourCC = 0x4, kPixelRgb = 0x40;
constexpr uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000;
constexpr uint32_t kCaps2CubeMapAllFaces = 0x200 | 0xFC00;
constexpr size_t kDdsHeaderBytes = 128;

// The 128 bytes before the data: `fourCC` names the block format, or is null
// for 32-bit pixels (blue, green, red, alpha in memory).
std::array<uint8_t, kDdsHeaderBytes> DdsHeader(int32_t width, int32_t height, int32_t faces,
                                               const char* fourCC, size_t faceBytes) {
    std::array<uint8_t, kDdsHeaderBytes> h{};
    std::memcpy(h.data(), "DDS ", 4);
    StoreLE32(&h[4], 124);
    const uint32_t sizeFlag = fourCC ? kDdsLinearSize : kDdsPitch;
    StoreLE32(&h[8], kDdsCaps | kDdsHeight | kDdsWidth | kDdsPixelFormat | sizeFlag);
    StoreLE32(&h[12], static_cast<uint32_t>(height));
    StoreLE32(&h[16], static_cast<uint32_t>(width));
    StoreLE32(&h[20], fourCC ? static_cast<uint32_t>(faceBytes) : static_cast<uint32_t>(width) * 4);
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
    StoreLE32(&h[108], kCapsTexture | (faces > 1 ? kCapsComplex : 0));
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

// The picture's pixels as 32-bit DDS data: face by face, each top row first,
// blue, green, red, alpha (255 where the picture has no alpha).
bool WriteUncompressedDds(const ImageStore& store, ImageSink& sink, int32_t faces) {
    const size_t bpp = static_cast<size_t>(store.BytesPerPixel());
    const size_t width = static_cast<size_t>(store.Image.Width);
    const size_t faceWidth = width / static_cast<size_t>(faces);
    std::vector<uint8_t> row(faceWidth * 4);
    for (int32_t f = 0; f < faces; ++f) {
        for (int32_t y = store.Image.Height - 1; y >= 0; --y) {
            const uint8_t* src =
                store.Image.Data + (static_cast<size_t>(y) * width + f * faceWidth) * bpp;
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

Error WriteDDS(const ImageStore& store, ImageSink& sink, int) {
    if (!HasWritablePicture(store)) return Error::NoPicture;
    const int32_t faces =
        store.CubeMap && store.Image.Width % kCubeMapFaces == 0 ? kCubeMapFaces : 1;
    const SourceData& source = store.Source;
    const char* fourCC = FourCCOf(source.Kind);
    const bool ownBlocks = fourCC && source.Faces == faces && SourceMatchesPixels(store);
    bool written;
    if (ownBlocks) {
        const auto header =
            DdsHeader(source.FaceWidth, source.FaceHeight, faces, fourCC, source.FaceBytes);
        written = sink.Write(header.data(), header.size()) &&
                  sink.Write(source.Data(), source.FaceBytes * static_cast<size_t>(faces));
    } else {
        const auto header =
            DdsHeader(store.Image.Width / faces, store.Image.Height, faces, nullptr, 0);
        written =
            sink.Write(header.data(), header.size()) && WriteUncompressedDds(store, sink, faces);
    }
    return written ? Error::None : Error::CannotWrite;
}

}  // namespace core
