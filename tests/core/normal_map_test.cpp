#include "core/normal_map.h"

#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Pixels = std::vector<uint8_t>;

// The filter written out directly, pixel by pixel with modulo neighbours and a
// separate output, to check the row-cached version against.
Pixels Reference(int w, int h, int bpp, const Pixels& in, uint8_t alpha) {
    Pixels out(in.size());
    const auto height = [&](int x, int y) {
        return static_cast<float>(in[(static_cast<size_t>(y) * w + x) * bpp]) / 255.0f;
    };
    const auto toByte = [](float v) { return static_cast<uint8_t>(std::nearbyint((v + 1.0f) / 2.0f * 255.0f)); };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int l = (x - 1 + w) % w, r = (x + 1) % w, d = (y - 1 + h) % h, u = (y + 1) % h;
            const float sy = -height(l, u) - 2 * height(x, u) - height(r, u) + height(l, d) +
                             2 * height(x, d) + height(r, d);
            const float sx = -height(l, d) - 2 * height(l, y) - height(l, u) + height(r, d) +
                             2 * height(r, y) + height(r, u);
            const float nx = -sx, ny = -sy, nz = 1.0f;
            const float k = 1.0f / std::sqrt(nx * nx + ny * ny + nz * nz);
            uint8_t* o = &out[(static_cast<size_t>(y) * w + x) * bpp];
            o[0] = toByte(nx * k);
            o[1] = toByte(ny * k);
            o[2] = toByte(nz * k);
            if (bpp == 4) o[3] = alpha;
        }
    }
    return out;
}

// Worked by hand, as a check on the reference filter: a ridge in a row
// that wraps around.
TEST(MakeNormalMap, SlopesTiltTheNormalAndEdgesWrapAround) {
    Pixels row = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0};
    ASSERT_TRUE(core::MakeNormalMap(4, 1, 12, row.data(), 127));
    EXPECT_EQ(row, (Pixels{251, 128, 158, 4, 128, 158, 4, 128, 158, 251, 128, 158}));
}

TEST(MakeNormalMap, MatchesTheDirectFilterOnAnySize) {
    std::mt19937 rng(7);
    // Small sizes exercise every wrap (1 and 2 rows, 1 and 2 columns).
    const int sizes[][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 5}, {5, 3}, {7, 2}, {16, 9}, {33, 17}};
    for (const auto& size : sizes) {
        for (int bpp : {3, 4}) {
            Pixels pixels(static_cast<size_t>(size[0]) * size[1] * bpp);
            for (auto& b : pixels) b = static_cast<uint8_t>(rng());
            const Pixels expected = Reference(size[0], size[1], bpp, pixels, 77);
            ASSERT_TRUE(core::MakeNormalMap(size[0], size[1], static_cast<int32_t>(pixels.size()), pixels.data(), 77));
            EXPECT_EQ(pixels, expected) << size[0] << " x " << size[1] << " x " << bpp;
        }
    }
}

TEST(MakeNormalMap, RefusesWhatItCannotAddress) {
    Pixels pixels = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(core::MakeNormalMap(0, 2, 6, pixels.data(), 127));
    EXPECT_FALSE(core::MakeNormalMap(2, 1, 6, nullptr, 127));
    // Two bytes per pixel would be written as four, past the end.
    EXPECT_FALSE(core::MakeNormalMap(3, 1, 6, pixels.data(), 127));
    EXPECT_EQ(pixels, (Pixels{1, 2, 3, 4, 5, 6}));
}

}  // namespace
