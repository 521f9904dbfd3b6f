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
    const int bpp = store.Current.BytesPerPixel();
    const int width = store.Current.Width;
    const int height = store.Current.Height;
    if (!store.Current.Usable() || (bpp != 3 && bpp != 4) || !store.Current.Data() ||
        static_cast<size_t>(store.Current.DataSize()) < static_cast<size_t>(width) * height * bpp)
        return;
    if (alpha && (bpp != 4 || !store.Current.HasAlpha())) alpha = nullptr;
    if (!colour && !alpha) return;
    factor = std::clamp(factor, 1, std::max(width, height));
    const int outWidth = (width + factor - 1) / factor;
    const int outHeight = (height + factor - 1) / factor;
    if (colour) colour->Reset(bpp * 8, outWidth, outHeight);
    if (alpha) alpha->Reset(24, outWidth, outHeight);

    // One pass over the image for both pictures. Each output row first adds
    // up its block of input rows byte by byte (a loop the compiler widens),
    // then each block's columns per channel.
    const size_t rowBytes = static_cast<size_t>(width) * bpp;
    std::vector<uint32_t> columns(rowBytes);
    std::vector<uint64_t> sums(static_cast<size_t>(outWidth) * 4);
    for (int oy = 0; oy < outHeight; ++oy) {
        std::fill(columns.begin(), columns.end(), 0);
        const int firstRow = oy * factor;  // counted from the top
        const int rows = std::min(factor, height - firstRow);
        for (int y = firstRow; y < firstRow + rows; ++y) {
            // The store's rows run bottom-up.
            const uint8_t* in =
                store.Current.Data() + static_cast<size_t>(height - 1 - y) * rowBytes;
            uint32_t* column = columns.data();
            for (size_t i = 0; i < rowBytes; ++i) column[i] += in[i];
        }
        const uint32_t* in = columns.data();
        for (int ox = 0; ox < outWidth; ++ox) {
            uint64_t* sum = &sums[static_cast<size_t>(ox) * 4];
            sum[0] = sum[1] = sum[2] = sum[3] = 0;
            const int count = std::min(factor, width - ox * factor);
            for (int i = 0; i < count; ++i, in += bpp)
                for (int c = 0; c < bpp; ++c) sum[c] += in[c];
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
