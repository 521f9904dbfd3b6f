#include "core/normal_map.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using Pixels = std::vector<uint8_t>;

// A ridge along one row is checked through skeinpress-cli. Worked by hand:
// one raised pixel in the middle of 3 x 3 (bottom row first), so every
// neighbour of every pixel is found across both edges. Side neighbours tilt
// by 2/sqrt(5), corners by 1/sqrt(3) on both axes.
TEST(MakeNormalMap, BothAxesWrapAndTheAlphaIsSet) {
    Pixels pixels(9 * 4, 0);
    pixels[4 * 4] = 255;
    ASSERT_TRUE(core::MakeNormalMap(3, 3, 36, pixels.data(), 77));
    EXPECT_EQ(pixels, (Pixels{54, 201, 201, 77, 128, 242, 185, 77, 201, 201, 201, 77,
                              13, 128, 185, 77, 128, 128, 255, 77, 242, 128, 185, 77,
                              54, 54,  201, 77, 128, 13,  185, 77, 201, 54,  201, 77}));
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
