#include "core/ops/render.h"

#include <algorithm>

#include "core/image/channel_order.h"

namespace core {

namespace {

// Whether a picture can be drawn at all: 3 or 4 bytes per pixel, neither side 0.
bool Drawable(const Image& image) {
    const int bpp = image.BytesPerPixel();
    return image.Loaded() && image.Width != 0 && image.Height != 0 && (bpp == 3 || bpp == 4);
}

void DrawAlphaAsGrey(const Image& image, Bitmap& bitmap, uint16_t width, uint16_t height) {
    // Callers pass the image's own size; never read beyond the image.
    const int w = std::min<int>(width, image.Width);
    const int h = std::min<int>(height, image.Height);
    const size_t srcStride = static_cast<size_t>(image.Width) * 4;
    bitmap.Reset(24, width, height);
    for (int r = 0; r < h; ++r) {
        uint8_t* out = bitmap.Row(height - 1 - r).data();
        const uint8_t* in = image.Data() + r * srcStride;
        for (int x = 0; x < w; ++x, in += 4, out += 3) {
            out[0] = out[1] = out[2] = in[3];
        }
    }
}

}  // namespace

void RenderColourImage(const Image& image, Bitmap& bitmap, uint16_t width, uint16_t height) {
    if (!Drawable(image)) return;
    const int bpp = image.BytesPerPixel();
    const int w = std::min<int>(width, image.Width);
    const int h = std::min<int>(height, image.Height);
    const size_t srcStride = static_cast<size_t>(image.Width) * bpp;
    bitmap.Reset(bpp == 3 ? 24 : 32, width, height);
    for (int r = 0; r < h; ++r) {
        uint8_t* out = bitmap.Row(height - 1 - r).data();
        const uint8_t* in = image.Data() + r * srcStride;
        CopySwappingRedBlue(in, out, static_cast<size_t>(w), bpp);
    }
}

void RenderImage(const ImageStore& store, Bitmap& bitmap, uint16_t width, uint16_t height) {
    const Image& image = store.Current;
    if (!Drawable(image)) return;
    if (image.BytesPerPixel() == 4 && store.AlphaView && image.AlphaKind != 0) {
        DrawAlphaAsGrey(image, bitmap, width, height);
    } else {
        RenderColourImage(image, bitmap, width, height);
    }
}

void NoteUniformColour(ImageStore& store) {
    const Image& image = store.Current;
    if (!image.Usable()) return;
    const int bpp = image.BytesPerPixel();
    store.UniformColour = true;
    if (bpp != 3 && bpp != 4) return;
    store.UniformColour = AllOfColour(image.Data(), static_cast<size_t>(image.Width) * image.Height,
                                      bpp, image.Data());
}

bool AllOfColour(const uint8_t* pixels, size_t count, int bytesPerPixel, const uint8_t* colour) {
    const uint8_t* end = pixels + count * static_cast<size_t>(bytesPerPixel);
    for (const uint8_t* p = pixels; p < end; p += bytesPerPixel) {
        if (p[0] != colour[0] || p[1] != colour[1] || p[2] != colour[2]) return false;
    }
    return true;
}

void RenderTransparent(const Image& image, Bitmap& bitmap, uint32_t colour) {
    auto clampComponent = [](uint32_t v) {
        return static_cast<int>(std::clamp<uint32_t>(v, 15, 240));
    };
    const int bR = clampComponent(colour & 0xFF);
    const int bG = clampComponent((colour >> 8) & 0xFF);
    const int bB = clampComponent((colour >> 16) & 0xFF);
    if (!image.Loaded() || image.Width == 0 || image.Height == 0) return;
    if (image.BytesPerPixel() != 4) return;

    const int w = image.Width;
    const int h = image.Height;
    bitmap.Reset(32, w, h);
    const uint8_t* src = image.Data();
    for (int y = 0; y < h; ++y) {
        const int rowOffset = (y % 32) < 16 ? 15 : -15;
        uint8_t* out = bitmap.Row(h - 1 - y).data();
        const uint8_t* in = src + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x, in += 4, out += 4) {
            const int offset = (x % 32) < 16 ? rowOffset : -rowOffset;
            const int a = in[3];
            const int inv = 255 - a;
            out[0] = static_cast<uint8_t>(in[2] * a / 255 + inv * (bB + offset) / 255);
            out[1] = static_cast<uint8_t>(in[1] * a / 255 + inv * (bG + offset) / 255);
            out[2] = static_cast<uint8_t>(in[0] * a / 255 + inv * (bR + offset) / 255);
            out[3] = static_cast<uint8_t>(a);
        }
    }
}

}  // namespace core
