#include "app/view/pane_picture.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/ops/render.h"
#include "tests/support/test_support.h"

namespace {

TEST(PanePicture, ReductionKeepsWhatAFittedPaneShows) {
    struct Row {
        int width, height, limitWidth, limitHeight, factor;
    } rows[] = {
        {4096, 4096, 1600, 1000, 4},    // bound by the height
        {24576, 4096, 1600, 1000, 15},  // a cube map's strip: by its width
        {1600, 1000, 1600, 1000, 1},   {300, 200, 1600, 1000, 1},
        {4096, 4096, 0, 0, 1},  // no limit given
    };
    for (const Row& r : rows)
        EXPECT_EQ(app::PaneReduction(r.width, r.height, r.limitWidth, r.limitHeight), r.factor)
            << r.width << " x " << r.height;
}

// Pixel (x, y), counted from the top-left, of a store whose rows run bottom-up.
std::vector<uint8_t> Pixels(int width, int height, int bpp) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * bpp);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c)
                pixels[((height - 1 - y) * width + x) * bpp + c] =
                    static_cast<uint8_t>(10 * (y * width + x) + c);
    return pixels;
}

TEST(PanePicture, BlocksAveragedTopDownInDisplayOrder) {
    // 5 x 3 with alpha, halved: 3 x 2, the right column and bottom row of
    // blocks narrower.
    core::ImageStore store;
    testing_support::FillImage(store.Current, 5, 3, 4, Pixels(5, 3, 4), 1);
    core::Bitmap colour, alpha;
    app::RenderReduced(store, 2, &colour, &alpha);
    ASSERT_EQ(colour.Width(), 3);
    ASSERT_EQ(colour.Height(), 2);
    ASSERT_EQ(alpha.Height(), 2);
    // Value of channel c at (x, y) is 10 * (5y + x) + c: a block's mean is
    // that of its mean position.
    auto mean = [](std::vector<int> indices, int c) {
        int sum = 0;
        for (int i : indices) sum += 10 * i + c;
        return static_cast<uint8_t>(sum / static_cast<int>(indices.size()));
    };
    const struct {
        int x, y;
        std::vector<int> block;
    } blocks[] = {{0, 0, {0, 1, 5, 6}}, {2, 0, {4, 9}}, {1, 1, {12, 13}}};
    for (const auto& b : blocks) {
        const uint8_t* c = colour.Row(b.y).data() + b.x * 4;  // blue, green, red
        EXPECT_EQ(c[0], mean(b.block, 2)) << b.x << "," << b.y;
        EXPECT_EQ(c[2], mean(b.block, 0)) << b.x << "," << b.y;
        EXPECT_EQ(alpha.Row(b.y)[b.x * 3], mean(b.block, 3)) << b.x << "," << b.y;
    }

    // Unreduced and without alpha it is the full-size drawing, byte for byte.
    testing_support::FillImage(store.Current, 5, 3, 3, Pixels(5, 3, 3), 0);
    core::Bitmap full;
    core::RenderImage(store, full, 5, 3);
    app::RenderReduced(store, 1, &colour, &alpha);
    EXPECT_TRUE(alpha.Empty());
    ASSERT_EQ(colour.Height(), 3);
    for (int y = 0; y < 3; ++y)
        EXPECT_TRUE(std::equal(full.Row(y).begin(), full.Row(y).end(), colour.Row(y).begin()));
}

}  // namespace
