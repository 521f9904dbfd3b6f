// The display bitmap the renderers draw into: 24-bit (blue, green, red) or
// 32-bit (blue, green, red, unused) pixels, rows top-down, each row padded to
// a multiple of 4 bytes as system bitmaps are laid out, so the desktop program
// wraps it as it is. Its pixels come from the large-buffer allocator: a big
// picture's memory comes ready, not one page fault at a time.
#pragma once

#include <cstdint>
#include <span>

#include "core/image/byte_buffer.h"

namespace core {

class Bitmap {
public:
    // Sets format (24 or 32 bits) and size together; every byte is 0 afterwards.
    void Reset(int bitsPerPixel, int width, int height);

    int BitsPerPixel() const { return bits_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int BytesPerLine() const { return stride_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    std::span<uint8_t> Row(int y) {
        return {pixels_.data() + static_cast<size_t>(y) * stride_, static_cast<size_t>(stride_)};
    }
    std::span<const uint8_t> Row(int y) const {
        return {pixels_.data() + static_cast<size_t>(y) * stride_, static_cast<size_t>(stride_)};
    }
    uint8_t* Bits() { return pixels_.data(); }
    const uint8_t* Bits() const { return pixels_.data(); }

private:
    int bits_ = 24;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    ByteBuffer pixels_;
};

}  // namespace core
