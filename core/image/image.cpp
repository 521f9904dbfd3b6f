#include "core/image/image.h"

namespace core {

int Image::BytesPerPixel() const {
    if (Width == 0 || Height == 0) return 0;
    const int64_t pixels = static_cast<int64_t>(Width) * Height;
    return static_cast<int>(static_cast<int64_t>(Pixels.size()) / pixels);
}

void Image::AdoptPixels(ByteBuffer&& pixels, int32_t width, int32_t height, int32_t alphaKind) {
    Pixels = std::move(pixels);
    Width = width;
    Height = height;
    AlphaKind = alphaKind;
}

Image Image::WithPixels(ByteBuffer&& pixels, int32_t width, int32_t height,
                        int32_t alphaKind) const {
    Image image;
    static_cast<FileFacts&>(image) = *this;
    image.AdoptPixels(std::move(pixels), width, height, alphaKind);
    return image;
}

}  // namespace core
