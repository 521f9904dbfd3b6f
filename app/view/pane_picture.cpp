#include "app/view/pane_picture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace app {

int PaneReduction(int width, int height, int limitWidth, int limitHeight) {
    if (limitWidth <= 0 || limitHeight <= 0 || width <= 0 || height <= 0) return 1;
    // The fit is bound by the side that overflows its limit more; the other
    // side may be reduced as far.
    const int factor = std::max(width / limitWidth, height / limitHeight);
    return std::max(1, factor);
}

void RenderReduced(const core::ImageStore& store, int factor, core::Bitmap* colour,
                   core::Bitmap* alpha) {
    if (colour) colour->Reset(24, 0, 0);
    if (alpha) alpha->Reset(24, 0, 0);
    const int bpp = store.BytesPerPixel();
    const int width = store.Image.Width;
    const int height = store.Image.Height;
    if (!store.Usable() || (bpp != 3 && bpp != 4) || !store.Image.Data ||
        static_cast<size_t>(store.Image.DataSize) < static_cast<size_t>(width) * height * bpp)
        return;
    if (alpha && (bpp != 4 || !store.Image.HasAlpha())) alpha = nullptr;
    if (!colour && !alpha) return;
    factor = std::clamp(factor, 1, std::max(width, height));
    const int outWidth = (width + factor - 1) / factor;
    const int outHeight = (height + factor - 1) / factor;
    if (colour) colour->Reset(bpp * 8, outWidth, outHeight);
    if (alpha) alpha->Reset(24, outWidth, outHeight);

    // One pass over the image for both pictures: each output row sums its
    // block of input rows, red, green, blue and alpha per output pixel.
    std::vector<uint64_t> sums(static_cast<size_t>(outWidth) * 4);
    const size_t rowBytes = static_cast<size_t>(width) * bpp;
    for (int oy = 0; oy < outHeight; ++oy) {
        std::fill(sums.begin(), sums.end(), 0);
        const int firstRow = oy * factor;  // counted from the top
        const int rows = std::min(factor, height - firstRow);
        for (int y = firstRow; y < firstRow + rows; ++y) {
            // The store's rows run bottom-up.
            const uint8_t* in = store.Image.Data + static_cast<size_t>(height - 1 - y) * rowBytes;
            uint64_t* sum = sums.data();
            for (int x = 0; x < width; x += factor, sum += 4) {
                const int columns = std::min(factor, width - x);
                uint32_t red = 0, green = 0, blue = 0, opacity = 0;
                if (bpp == 4) {
                    for (int i = 0; i < columns; ++i, in += 4) {
                        red += in[0];
                        green += in[1];
                        blue += in[2];
                        opacity += in[3];
                    }
                } else {
                    for (int i = 0; i < columns; ++i, in += 3) {
                        red += in[0];
                        green += in[1];
                        blue += in[2];
                    }
                }
                sum[0] += red;
                sum[1] += green;
                sum[2] += blue;
                sum[3] += opacity;
            }
        }
        uint8_t* colourOut = colour ? colour->Row(oy).data() : nullptr;
        uint8_t* alphaOut = alpha ? alpha->Row(oy).data() : nullptr;
        for (int ox = 0; ox < outWidth; ++ox) {
            const uint64_t count =
                static_cast<uint64_t>(rows) * std::min(factor, width - ox * factor);
            const uint64_t* sum = &sums[static_cast<size_t>(ox) * 4];
            if (colourOut) {
                colourOut[0] = static_cast<uint8_t>(sum[2] / count);
                colourOut[1] = static_cast<uint8_t>(sum[1] / count);
                colourOut[2] = static_cast<uint8_t>(sum[0] / count);
                colourOut += bpp;
            }
            if (alphaOut) {
                alphaOut[0] = alphaOut[1] = alphaOut[2] = static_cast<uint8_t>(sum[3] / count);
                alphaOut += 3;
            }
        }
    }
}

}  // namespace app
