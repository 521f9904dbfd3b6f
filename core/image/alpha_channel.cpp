#include "core/image/alpha_channel.h"

namespace core {

bool AddAlphaChannel(ImageStore& store, bool useLevel) {
    if (!store.Usable() || store.BytesPerPixel() != 3) return false;
    const size_t n = static_cast<size_t>(store.Image.Width) * store.Image.Height;
    const uint8_t alpha = useLevel ? store.AlphaFillValue : 255;
    ByteBuffer out(n * 4);
    const uint8_t* in = store.Image.Data;
    uint8_t* o = out.data();
    for (size_t i = 0; i < n; ++i, in += 3, o += 4) {
        o[0] = in[0];
        o[1] = in[1];
        o[2] = in[2];
        o[3] = alpha;
    }
    store.AdoptPixels(std::move(out), store.Image.Width, store.Image.Height, useLevel ? 1 : 2);
    return true;
}

bool RemoveAlphaChannel(ImageStore& store) {
    if (!store.Usable() || store.BytesPerPixel() != 4) return false;
    const size_t n = static_cast<size_t>(store.Image.Width) * store.Image.Height;
    ByteBuffer out(n * 3);
    const uint8_t* in = store.Image.Data;
    uint8_t* o = out.data();
    for (size_t i = 0; i < n; ++i, in += 4, o += 3) {
        o[0] = in[0];
        o[1] = in[1];
        o[2] = in[2];
    }
    store.AdoptPixels(std::move(out), store.Image.Width, store.Image.Height, 0);
    return true;
}

int32_t ClassifyAlpha(const uint8_t* pixels, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t a = pixels[i * 4 + 3];
        if (a != 0 && a != 255) return 1;
    }
    return 2;
}

void UpdateAlphaKind(ImageStore& store) {
    if (!store.Usable() || store.BytesPerPixel() != 4) return;
    store.Image.AlphaKind = ClassifyAlpha(
        store.Image.Data, static_cast<size_t>(store.Image.Width) * store.Image.Height);
}

}  // namespace core
