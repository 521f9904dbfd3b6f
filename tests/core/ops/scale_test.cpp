#include <gtest/gtest.h>

#include <tuple>

#include "core/ops/scale.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using Pixels = std::vector<uint8_t>;

namespace {

Pixels Averaged(const Pixels& source, core::PictureSize from, int bpp, core::PictureSize to) {
    Pixels out(static_cast<size_t>(to.Width) * to.Height * bpp);
    core::AreaAverage(source.data(), from, bpp, out.data(), to);
    return out;
}

}  // namespace

TEST(FitWithin, LongerSideBecomesTheBoxShapeKeptNeverEnlarged) {
    const std::tuple<int, int, int, core::PictureSize> cases[] = {
        {2048, 2048, 256, {256, 256}}, {6144, 1024, 256, {256, 43}}, {1024, 6144, 256, {43, 256}},
        {300, 200, 100, {100, 67}},    {8192, 1, 256, {256, 1}},     {100, 50, 256, {100, 50}},
        {256, 256, 256, {256, 256}},   {0, 5, 256, {0, 0}},          {5, 5, 0, {0, 0}},
    };
    for (const auto& [width, height, box, fit] : cases)
        EXPECT_EQ(core::FitWithin(width, height, box), fit) << width << "x" << height << " " << box;
}

TEST(AreaAverage, EdgePixelsCountByTheShareTheyCover) {
    // Three pixels into two: each target takes one whole pixel and half the middle one.
    EXPECT_EQ(Averaged({0, 0, 0, 90, 90, 90, 180, 180, 180}, {3, 1}, 3, {2, 1}),
              (Pixels{30, 30, 30, 150, 150, 150}));
    // The same down the rows, which are summed apart from the columns.
    EXPECT_EQ(Averaged({0, 0, 0, 90, 90, 90, 180, 180, 180}, {1, 3}, 3, {1, 2}),
              (Pixels{30, 30, 30, 150, 150, 150}));
}

TEST(AreaAverage, ColourIsWeightedByAlphaSoTransparentPixelsLendNone) {
    const std::pair<Pixels, Pixels> cases[] = {
        {{255, 0, 0, 255, 0, 255, 0, 0}, {255, 0, 0, 128}},    // no green from the hole
        {{200, 0, 0, 255, 0, 0, 100, 85}, {150, 0, 25, 170}},  // three parts red, one blue
        {{255, 0, 0, 0, 0, 255, 0, 0}, {0, 0, 0, 0}},          // nothing shows: black
    };
    for (const auto& [source, expected] : cases)
        EXPECT_EQ(Averaged(source, {2, 1}, 4, {1, 1}), expected);
}

// Any ratio, either depth, the four-pixel steps and the pixels after them, and
// the largest sums a column can reach: one colour stays exactly that colour.
TEST(AreaAverage, OneColourStaysThatColourAtAnyRatio) {
    const std::tuple<core::PictureSize, core::PictureSize, Pixels> cases[] = {
        {{37, 23}, {10, 6}, {10, 200, 30, 77}},
        {{37, 23}, {10, 6}, {10, 200, 30}},
        {{1023, 5}, {256, 1}, {1, 2, 3, 254}},
        {{1, 8192}, {1, 1}, {255, 255, 255, 255}},
    };
    for (const auto& [from, to, pixel] : cases) {
        const int bpp = static_cast<int>(pixel.size());
        const size_t count = static_cast<size_t>(from.Width) * from.Height;
        EXPECT_EQ(Averaged(Repeated(count, pixel), from, bpp, to),
                  Repeated(static_cast<size_t>(to.Width) * to.Height, pixel))
            << from.Width << "x" << from.Height;
    }
}

TEST(ScaleToFit, KeepsRowOrderAndDescribesTheNewPixels) {
    // Bottom half black, top half white: the bottom row stays first.
    core::ImageStore source, target;
    Pixels picture = Repeated(8, {0, 0, 0});
    picture.resize(48, 255);
    FillImage(source.Current, 4, 4, 3, picture);
    ASSERT_TRUE(core::ScaleToFit(source.Current, 2, target.Current));
    EXPECT_EQ(target.Current.DataSize(), 12);
    EXPECT_EQ(Pixels(target.Current.Pixels.begin(), target.Current.Pixels.end()),
              (Pixels{0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255}));

    // On/off alpha averaged is graded; nothing to scale leaves the target empty.
    FillImage(source.Current, 2, 1, 4, {9, 9, 9, 0, 9, 9, 9, 255}, 2);
    ASSERT_TRUE(core::ScaleToFit(source.Current, 1, target.Current));
    EXPECT_EQ(target.Current.AlphaKind, static_cast<int32_t>(core::AlphaKind::Graded));
    EXPECT_FALSE(core::ScaleToFit(core::Image(), 16, target.Current));
    EXPECT_FALSE(target.Loaded());
}
