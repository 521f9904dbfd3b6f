#include "core/formats/texture_faces.h"

#if SKEINPRESS_HAVE_ASTC
#include <astcenc.h>
#endif

#include <cmath>
#include <cstring>
#include <memory>

#include "core/codecs/dxt.h"
#include "core/image/channel_order.h"
#include "core/io/byte_order.h"

namespace core {

namespace {

// Each channel clamped to 0..1, times 255, rounded half to even.
uint8_t FloatToByte(float value, FloatClipping& clipping) {
    if (!(value >= 0.0f)) {  // negative, or not a number
        if (value != 0.0f) clipping.Below = true;
        return 0;
    }
    if (value > 1.0f) {
        clipping.Above = true;
        return 255;
    }
    // In double the product is exact, so only the rounding decides: ties go to
    // the even neighbour (the default rounding mode).
    return static_cast<uint8_t>(std::nearbyint(static_cast<double>(value) * 255.0));
}

#if SKEINPRESS_HAVE_ASTC
struct ContextFree {
    void operator()(astcenc_context* context) const { astcenc_context_free(context); }
};
using AstcContext = std::unique_ptr<astcenc_context, ContextFree>;

bool AstcConfig(int blockWidth, int blockHeight, astcenc_config& config) {
    if (blockWidth < 1 || blockHeight < 1) return false;
    return astcenc_config_init(ASTCENC_PRF_LDR, static_cast<unsigned>(blockWidth),
                               static_cast<unsigned>(blockHeight), 1, ASTCENC_PRE_FASTEST,
                               ASTCENC_FLG_DECOMPRESS_ONLY, &config) == ASTCENC_SUCCESS;
}
#endif

// One face into `out` (FaceWidth x FaceHeight, bottom row first). `scratch` is
// a face-sized buffer for the codecs that decode top row first.
class FaceDecoder {
public:
    FaceDecoder(const FaceLayout& layout, FloatClipping& clipping, std::string& error)
        : layout_(layout), clipping_(clipping), error_(error) {}

    bool Start() {
        if (layout_.Format != FaceFormat::ASTC) return true;
#if !SKEINPRESS_HAVE_ASTC
        error_ = "no ASTC codec in this build";
        return false;
#else
        astcenc_config config;
        astcenc_context* context = nullptr;
        if (!AstcConfig(layout_.BlockWidth, layout_.BlockHeight, config)) {
            error_ = "ASTC block size not supported";
            return false;
        }
        const astcenc_error status = astcenc_context_alloc(&config, 1, &context);
        astc_.reset(context);
        if (status != ASTCENC_SUCCESS) {
            error_ = std::string("ASTC codec: ") + astcenc_get_error_string(status);
            return false;
        }
        scratch_.resize(static_cast<size_t>(layout_.FaceWidth) * layout_.FaceHeight * 4);
        return true;
#endif
    }

    bool Decode(const uint8_t* data, size_t size, uint8_t* out) {
        const size_t width = static_cast<size_t>(layout_.FaceWidth);
        const size_t height = static_cast<size_t>(layout_.FaceHeight);
        switch (layout_.Format) {
            case FaceFormat::DXT1:
            case FaceFormat::DXT3:
            case FaceFormat::DXT5: {
                const DxtVariant variant = layout_.Format == FaceFormat::DXT1   ? DxtVariant::DXT1
                                           : layout_.Format == FaceFormat::DXT3 ? DxtVariant::DXT3
                                                                                : DxtVariant::DXT5;
                if (DecodeDxtBlocks(variant, data, size, layout_.FaceWidth, layout_.FaceHeight,
                                    layout_.BytesPerPixel, out))
                    return true;
                error_ = "DXT data ends inside a block";
                return false;
            }
            case FaceFormat::BGRA8:
                for (size_t y = 0; y < height; ++y)
                    CopySwappingRedBlue(data + (height - 1 - y) * width * 4, out + y * width * 4,
                                        width, 4);
                return true;
            case FaceFormat::Float:
                for (size_t y = 0; y < height; ++y) {
                    const uint8_t* src = data + (height - 1 - y) * width * 16;
                    uint8_t* dst = out + y * width * 4;
                    for (size_t i = 0; i < width * 4; ++i)
                        dst[i] = FloatToByte(LoadLEFloat(src + i * 4), clipping_);
                }
                return true;
            case FaceFormat::ASTC: {
#if SKEINPRESS_HAVE_ASTC
                void* slices[1] = {scratch_.data()};
                astcenc_image image{static_cast<unsigned>(width), static_cast<unsigned>(height), 1,
                                    ASTCENC_TYPE_U8, slices};
                const astcenc_swizzle identity{ASTCENC_SWZ_R, ASTCENC_SWZ_G, ASTCENC_SWZ_B,
                                               ASTCENC_SWZ_A};
                const astcenc_error status =
                    astcenc_decompress_image(astc_.get(), data, size, &image, &identity, 0);
                astcenc_decompress_reset(astc_.get());
                if (status != ASTCENC_SUCCESS) {
                    error_ = std::string("ASTC codec: ") + astcenc_get_error_string(status);
                    return false;
                }
                for (size_t y = 0; y < height; ++y)
                    std::memcpy(out + y * width * 4, scratch_.data() + (height - 1 - y) * width * 4,
                                width * 4);
                return true;
#else
                return false;
#endif
            }
        }
        return false;
    }

private:
    const FaceLayout& layout_;
    FloatClipping& clipping_;
    std::string& error_;
#if SKEINPRESS_HAVE_ASTC
    AstcContext astc_;
#endif
    ByteBuffer scratch_;
};

}  // namespace

uint64_t FaceDataBytes(const FaceLayout& layout) {
    if (layout.FaceWidth < 1 || layout.FaceHeight < 1 || layout.FaceWidth > kMaxSide ||
        layout.FaceHeight > kMaxSide)
        return 0;
    const uint64_t w = static_cast<uint64_t>(layout.FaceWidth);
    const uint64_t h = static_cast<uint64_t>(layout.FaceHeight);
    switch (layout.Format) {
        case FaceFormat::BGRA8:
            return w * h * 4;
        case FaceFormat::DXT1:
            return (w + 3) / 4 * ((h + 3) / 4) * 8;
        case FaceFormat::DXT3:
        case FaceFormat::DXT5:
            return (w + 3) / 4 * ((h + 3) / 4) * 16;
        case FaceFormat::Float:
            return w * h * 16;
        case FaceFormat::ASTC: {
            if (layout.BlockWidth < 1 || layout.BlockHeight < 1) return 0;
            const uint64_t bw = static_cast<uint64_t>(layout.BlockWidth);
            const uint64_t bh = static_cast<uint64_t>(layout.BlockHeight);
            return (w + bw - 1) / bw * ((h + bh - 1) / bh) * 16;
        }
    }
    return 0;
}

bool AstcCodecAvailable() {
    return SKEINPRESS_HAVE_ASTC;
}

bool AstcBlockSizeSupported(int blockWidth, int blockHeight) {
#if SKEINPRESS_HAVE_ASTC
    astcenc_config config;
    return AstcConfig(blockWidth, blockHeight, config);
#else
    (void)blockWidth, (void)blockHeight;
    return false;
#endif
}

bool DecodeFaces(const FaceLayout& layout, const uint8_t* data, uint8_t* out,
                 FloatClipping& clipping, std::string& error) {
    const size_t faceBytes = static_cast<size_t>(FaceDataBytes(layout));
    if (faceBytes == 0 || layout.Faces < 1) {
        error = "face size out of range";
        return false;
    }
    FaceDecoder decoder(layout, clipping, error);
    if (!decoder.Start()) return false;
    if (layout.Faces == 1) return decoder.Decode(data, faceBytes, out);

    const size_t faceRow = static_cast<size_t>(layout.FaceWidth) * layout.BytesPerPixel;
    const size_t stripRow = faceRow * static_cast<size_t>(layout.Faces);
    ByteBuffer face(faceRow * static_cast<size_t>(layout.FaceHeight));
    for (int32_t f = 0; f < layout.Faces; ++f) {
        if (!decoder.Decode(data + static_cast<size_t>(f) * faceBytes, faceBytes, face.data()))
            return false;
        for (int32_t y = 0; y < layout.FaceHeight; ++y)
            std::memcpy(out + static_cast<size_t>(y) * stripRow + static_cast<size_t>(f) * faceRow,
                        face.data() + static_cast<size_t>(y) * faceRow, faceRow);
    }
    return true;
}

bool SourceMatchesPixels(const Image& image) {
    const SourceData& source = image.Source;
    if (source.Kind == SourceKind::None || !image.Usable()) return false;
    FaceLayout layout;
    layout.Format = source.Kind == SourceKind::DXT1   ? FaceFormat::DXT1
                    : source.Kind == SourceKind::DXT3 ? FaceFormat::DXT3
                    : source.Kind == SourceKind::DXT5 ? FaceFormat::DXT5
                                                      : FaceFormat::Float;
    layout.FaceWidth = source.FaceWidth;
    layout.FaceHeight = source.FaceHeight;
    layout.Faces = source.Faces;
    layout.BytesPerPixel = source.BytesPerPixel;
    const uint64_t faceBytes = FaceDataBytes(layout);
    if (faceBytes == 0 || faceBytes != source.FaceBytes ||
        source.Offset + faceBytes * static_cast<uint64_t>(source.Faces) > source.Size())
        return false;
    if (image.Width != source.FaceWidth * source.Faces || image.Height != source.FaceHeight ||
        image.BytesPerPixel() != source.BytesPerPixel)
        return false;
    // Face by face, so that a cube map costs one face more, not a second strip.
    FaceLayout one = layout;
    one.Faces = 1;
    const size_t faceRow = static_cast<size_t>(source.FaceWidth) * source.BytesPerPixel;
    const size_t stripRow = faceRow * static_cast<size_t>(source.Faces);
    ByteBuffer face(faceRow * static_cast<size_t>(source.FaceHeight));
    FloatClipping clipping;
    std::string error;
    for (int32_t f = 0; f < source.Faces; ++f) {
        if (!DecodeFaces(one, source.Data() + static_cast<size_t>(f) * faceBytes, face.data(),
                         clipping, error))
            return false;
        for (int32_t y = 0; y < source.FaceHeight; ++y) {
            const uint8_t* shown =
                image.Data() + static_cast<size_t>(y) * stripRow + static_cast<size_t>(f) * faceRow;
            if (std::memcmp(face.data() + static_cast<size_t>(y) * faceRow, shown, faceRow) != 0)
                return false;
        }
    }
    return true;
}

}  // namespace core
