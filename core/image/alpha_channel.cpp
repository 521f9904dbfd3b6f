#include "core/image/alpha_channel.h"

namespace core {

bool AddAlphaChannel(Image& image, std::optional<uint8_t> level) {
    if (!image.Usable() || image.BytesPerPixel() != 3) return false;
    const size_t n = static_cast<size_t>(image.Width) * image.Height;
    const uint8_t alpha = level.value_or(255);
    ByteBuffer out(n * 4);
    const uint8_t* in = image.Data();
    uint8_t* o = out.data();
    for (size_t i = 0; i < n; ++i, in += 3, o += 4) {
        o[0] = in[0];
        o[1] = in[1];
        o[2] = in[2];
        o[3] = alpha;
    }
    image.AdoptPixels(std::move(out), image.Width, image.Height, level ? 1 : 2);
    return true;
}

bool RemoveAlphaChannel(Image& image) {
    if (!image.Usable() || image.BytesPerPixel() != 4) return false;
    const size_t n = static_cast<size_t>(image.Width) * image.Height;
    ByteBuffer out(n * 3);
    const uint8_t* in = image.Data();
    uint8_t* o = out.data();
    for (size_t i = 0; i < n; ++i, in += 4, o += 3) {
        o[0] = in[0];
        o[1] = in[1];
        o[2] = in[2];
    }
    image.AdoptPixels(std::move(out), image.Width, image.Height, 0);
    return true;
}

int32_t ClassifyAlpha(const uint8_t* pixels, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t a = pixels[i * 4 + 3];
        if (a != 0 && a != 255) return 1;
    }
    return 2;
}

void UpdateAlphaKind(Image& image) {
    if (!image.Usable() || image.BytesPerPixel() != 4) return;
    image.AlphaKind = ClassifyAlpha(image.Data(), static_cast<size_t>(image.Width) * image.Height);
}

}  // namespace core
