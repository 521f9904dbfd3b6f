// temporary: replaced by core operations
#include <random>

#include "core/image_store.h"

namespace core {

#if !__has_include("core/operations.h")
void GreyScale(ImageStore& store) {
    const int bpp = store.BytesPerPixel();
    if (!store.ImageLoaded || bpp < 3) return;
    for (int32_t i = 0; i + bpp <= store.Image.DataSize; i += bpp) {
        uint8_t* p = store.Image.Data + i;
        p[0] = p[1] = p[2] = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
    }
}

void NonUniformColour(ImageStore& store, int count, int change, bool, std::mt19937&) {
    const int bpp = store.BytesPerPixel();
    if (!store.ImageLoaded || bpp < 3 || count < 1) return;
    const int32_t pixels = store.Image.DataSize / bpp;
    for (int32_t i = 0; i < count && i < pixels; ++i) {
        uint8_t& red = store.Image.Data[static_cast<size_t>(i) * (pixels / count) * bpp];
        red = static_cast<uint8_t>(red < 128 ? red + change : red - change);
    }
}
#endif

#if !__has_include("core/normal_map.h")
bool MakeNormalMap(int32_t width, int32_t height, int32_t dataSize, uint8_t* data,
                   uint8_t alphaFill) {
    if (width == 0 || height == 0) return false;
    const int bpp = dataSize / (width * height);
    for (int32_t i = 0; i + bpp <= dataSize; i += bpp) {
        data[i] = 128;
        data[i + 1] = 128;
        data[i + 2] = 255;
        if (bpp == 4) data[i + 3] = alphaFill;
    }
    return true;
}
#endif

}  // namespace core
