// Radiance HDR, for a floating-point texture: its own values, which the 8-bit
// picture clips.
#include <vector>

#include "core/formats/save_image.h"
#include "core/formats/stb_encoders.h"
#include "core/formats/texture_faces.h"
#include "core/io/byte_order.h"

namespace core {

namespace {

// Radiance's shared exponent holds no negative value, no infinity and no NaN.
float ForRadiance(float value) {
    constexpr float kLargest = 1e30f;
    if (!(value > 0.0f)) return 0.0f;
    return value < kLargest ? value : kLargest;
}

}  // namespace

Error WriteHDR(const Image& image, ImageSink& sink, int) {
    if (!HasWritablePicture(image)) return Error::NoPicture;
    const SourceData& source = image.Source;
    if (source.Kind != SourceKind::Float) return Error::HdrNotFloat;
    if (!SourceMatchesPixels(image)) return Error::HdrStale;
    // Red, green and blue of every face side by side, top row first.
    const size_t faceWidth = static_cast<size_t>(source.FaceWidth);
    const size_t height = static_cast<size_t>(source.FaceHeight);
    const size_t faces = static_cast<size_t>(source.Faces);
    std::vector<float> rgb(faceWidth * faces * height * 3);
    float* out = rgb.data();
    for (size_t y = 0; y < height; ++y) {
        for (size_t f = 0; f < faces; ++f) {
            const uint8_t* src = source.Data() + f * source.FaceBytes + y * faceWidth * 16;
            for (size_t x = 0; x < faceWidth; ++x, src += 16) {
                for (size_t c = 0; c < 3; ++c) *out++ = ForRadiance(LoadLEFloat(src + 4 * c));
            }
        }
    }
    return EncodeHdr(sink, static_cast<int>(faceWidth * faces), static_cast<int>(height),
                     rgb.data())
               ? Error::None
               : Error::CannotWrite;
}

}  // namespace core
