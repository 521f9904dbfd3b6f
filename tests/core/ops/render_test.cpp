#include <gtest/gtest.h>

#include "core/ops/render.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// Pixel x of bitmap row y (top row 0), in the bitmap's own byte order.
std::vector<int> At(const core::Bitmap& bmp, int x, int y) {
    const uint8_t* p = bmp.Row(y).data() + x * (bmp.BitsPerPixel() / 8);
    return std::vector<int>(p, p + bmp.BitsPerPixel() / 8);
}

}  // namespace

TEST(RenderImage, ColourBottomUpAlphaAsGreyAndTheStoreUntouched) {
    core::ImageStore store;
    FillImage(store.Current, 2, 2, 3, Repeated(4, {10, 20, 30}));
    store.Current.Data()[0] = 11;  // bottom-left red
    store.AlphaView = true;        // which a three-byte image has not: it draws colour
    core::Bitmap bmp;
    core::RenderImage(store, bmp, 2, 2);
    EXPECT_EQ(At(bmp, 0, 1), (std::vector<int>{30, 20, 11}));
    EXPECT_EQ(At(bmp, 1, 0), (std::vector<int>{30, 20, 10}));

    // The alpha view is grey; the colour image is drawn whatever the view.
    // Drawing leaves the uniform-colour finding as it was.
    FillImage(store.Current, 2, 1, 4, {5, 6, 7, 0, 5, 6, 7, 200}, 1);
    store.UniformColour = false;
    core::RenderImage(store, bmp, 2, 1);
    EXPECT_EQ(At(bmp, 1, 0), (std::vector<int>{200, 200, 200}));
    core::RenderColourImage(store.Current, bmp, 2, 1);
    EXPECT_EQ(At(bmp, 1, 0), (std::vector<int>{7, 6, 5, 200}));
    EXPECT_FALSE(store.UniformColour);
}

// Alpha does not count against uniformity; the first pixel, the last or none differ.
TEST(NoteUniformColour, ComparesRedGreenAndBlueOfEveryPixel) {
    for (int bpp : {3, 4}) {
        for (int changed : {0, 14, -1}) {
            core::ImageStore store;
            FillImage(store.Current, 5, 3, bpp, Repeated(15 * bpp, {9}));
            if (bpp == 4) store.Current.Data()[7] = 1;  // the second pixel's alpha
            if (changed >= 0) store.Current.Data()[changed * bpp + 1] ^= 1;
            store.UniformColour = changed >= 0;
            core::NoteUniformColour(store);
            EXPECT_EQ(store.UniformColour, changed < 0) << bpp << " " << changed;
        }
    }
}

TEST(RenderTransparent, CheckerboardFromTheClampedBackgroundUnderTransparentPixelsOnly) {
    std::vector<uint8_t> px = Repeated(32, {0, 0, 0, 0});
    px[4 * 31 + 0] = 12, px[4 * 31 + 1] = 34, px[4 * 31 + 2] = 56,
                px[4 * 31 + 3] = 255;  // one opaque pixel
    core::ImageStore store;
    FillImage(store.Current, 32, 1, 4, px, 2);
    core::Bitmap bmp;
    core::RenderTransparent(store.Current, bmp, 0xFF8000);  // red 0, green 128, blue 255
    ASSERT_EQ(bmp.BitsPerPixel(), 32);
    EXPECT_EQ(At(bmp, 0, 0), (std::vector<int>{255, 143, 30, At(bmp, 0, 0)[3]}));
    EXPECT_EQ(At(bmp, 16, 0), (std::vector<int>{225, 113, 0, At(bmp, 16, 0)[3]}));
    EXPECT_EQ(At(bmp, 31, 0), (std::vector<int>{56, 34, 12, At(bmp, 31, 0)[3]}));
}
