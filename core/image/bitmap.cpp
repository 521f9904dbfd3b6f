#include "core/image/bitmap.h"

#include <algorithm>

namespace core {

void Bitmap::Reset(int bitsPerPixel, int width, int height) {
    bits_ = bitsPerPixel == 32 ? 32 : 24;
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    stride_ = (width_ * (bits_ / 8) + 3) & ~3;
    pixels_.resize(static_cast<size_t>(stride_) * height_);
    std::fill(pixels_.begin(), pixels_.end(), uint8_t{0});
}

}  // namespace core
