#include "core/bitmap.h"

namespace core {

void Bitmap::Reset(int bitsPerPixel, int width, int height) {
    bits_ = bitsPerPixel == 32 ? 32 : 24;
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    stride_ = (width_ * (bits_ / 8) + 3) & ~3;
    pixels_.assign(static_cast<size_t>(stride_) * height_, 0);
}

}  // namespace core
