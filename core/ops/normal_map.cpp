#include "core/ops/normal_map.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

// The results must be the same bytes on every machine: this file is compiled
// without floating-point contraction, and each sum keeps its written order.

namespace core {

namespace {

// Adding and subtracting 1.5 * 2^23 rounds a float of magnitude below 2^22 to an
// integer, halves to even, in the default rounding mode: nearbyint, but in a
// form the compiler can vectorise.
inline float RoundHalfEven(float v) {
    constexpr float kMagic = 12582912.0f;
    return (v + kMagic) - kMagic;
}

// One row of heights with one wrapped neighbour on each side: index 0 holds the
// last column, index width + 1 the first, so columns need no modulo.
void LoadHeights(const uint8_t* row, int width, int bpp, const std::array<float, 256>& table,
                 float* out) {
    for (int x = 0; x < width; ++x) out[x + 1] = table[row[static_cast<size_t>(x) * bpp]];
    out[0] = out[width];
    out[width + 1] = out[1];
}

// Normal bytes of one row from the rows below (d), at (c) and above (u).
void NormalRow(const float* d, const float* c, const float* u, int width, uint8_t* red,
               uint8_t* green, uint8_t* blue) {
    for (int x = 0; x < width; ++x) {
        const int l = x;  // padded indices: left, centre, right = x, x + 1, x + 2
        const int m = x + 1;
        const int r = x + 2;
        const float sy = -u[l] - 2.0f * u[m] - u[r] + d[l] + 2.0f * d[m] + d[r];
        const float sx = -d[l] - 2.0f * c[l] - u[l] + d[r] + 2.0f * c[r] + u[r];
        const float nx = -sx;
        const float ny = -sy;
        const float nz = 1.0f;
        const float k = 1.0f / std::sqrt(nx * nx + ny * ny + nz * nz);
        red[x] =
            static_cast<uint8_t>(static_cast<int>(RoundHalfEven((nx * k + 1.0f) / 2.0f * 255.0f)));
        green[x] =
            static_cast<uint8_t>(static_cast<int>(RoundHalfEven((ny * k + 1.0f) / 2.0f * 255.0f)));
        blue[x] =
            static_cast<uint8_t>(static_cast<int>(RoundHalfEven((nz * k + 1.0f) / 2.0f * 255.0f)));
    }
}

}  // namespace

bool MakeNormalMap(int32_t width, int32_t height, int32_t dataSize, uint8_t* data,
                   uint8_t alphaFill) {
    if (width <= 0 || height <= 0 || data == nullptr || dataSize <= 0) return false;
    const int64_t pixels = static_cast<int64_t>(width) * height;
    const int64_t bpp = dataSize / pixels;
    if (bpp != 3 && bpp != 4) return false;

    std::array<float, 256> table;
    for (int v = 0; v < 256; ++v) table[v] = static_cast<float>(v) / 255.0f;

    // The output replaces the source row by row. Heights of a row are read into
    // floats before the row is overwritten; row 0 is kept aside because the top
    // row needs it after it has been replaced.
    const size_t padded = static_cast<size_t>(width) + 2;
    std::vector<float> heights(padded * 4);
    float* first = heights.data();
    float* below = first + padded;
    float* here = below + padded;
    float* above = here + padded;
    std::vector<uint8_t> channels(static_cast<size_t>(width) * 3);
    uint8_t* red = channels.data();
    uint8_t* green = red + width;
    uint8_t* blue = green + width;

    const size_t stride = static_cast<size_t>(width) * bpp;
    const auto rowAt = [&](int32_t y) { return data + static_cast<size_t>(y) * stride; };
    LoadHeights(rowAt(0), width, static_cast<int>(bpp), table, first);
    LoadHeights(rowAt(height - 1), width, static_cast<int>(bpp), table, below);
    std::memcpy(here, first, padded * sizeof(float));
    const auto loadRow = [&](int32_t y, float* out) {
        if (y == 0) {
            std::memcpy(out, first, padded * sizeof(float));
        } else {
            LoadHeights(rowAt(y), width, static_cast<int>(bpp), table, out);
        }
    };
    loadRow(height > 1 ? 1 : 0, above);

    for (int32_t y = 0; y < height; ++y) {
        NormalRow(below, here, above, width, red, green, blue);
        uint8_t* out = rowAt(y);
        if (bpp == 3) {
            for (int32_t x = 0; x < width; ++x, out += 3) {
                out[0] = red[x];
                out[1] = green[x];
                out[2] = blue[x];
            }
        } else {
            for (int32_t x = 0; x < width; ++x, out += 4) {
                out[0] = red[x];
                out[1] = green[x];
                out[2] = blue[x];
                out[3] = alphaFill;
            }
        }
        // Rotate: the row below is no longer needed; the next "above" is y + 2,
        // which is still unchanged unless it wraps to row 0.
        float* spare = below;
        below = here;
        here = above;
        above = spare;
        if (y + 1 < height) loadRow((y + 2) % height, above);
    }
    return true;
}

}  // namespace core
