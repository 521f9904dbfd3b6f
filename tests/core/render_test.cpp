#include <gtest/gtest.h>

#include "core/render.h"
#include "tests/support/test_support.h"

using testing_support::FillStore;

namespace {

std::vector<uint8_t> Solid(int n, std::vector<uint8_t> px) {
    std::vector<uint8_t> out;
    for (int i = 0; i < n; ++i) out.insert(out.end(), px.begin(), px.end());
    return out;
}

}  // namespace

TEST(RenderImage, ColourPictureAndUniformColour) {
    core::ImageStore store;
    FillStore(store, 4, 4, 3, Solid(16, {10, 20, 30}));
    core::Bitmap bmp;
    core::RenderImage(store, bmp, 4, 4);
    EXPECT_EQ(bmp.BitsPerPixel(), 24);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const uint8_t* p = bmp.Row(y).data() + x * 3;
            EXPECT_EQ(p[0], 30);
            EXPECT_EQ(p[1], 20);
            EXPECT_EQ(p[2], 10);
        }
    }
    EXPECT_TRUE(store.UniformColour);

    store.Image.Data[15 * 3 + 1] = 21;  // one green differs
    core::RenderImage(store, bmp, 4, 4);
    EXPECT_FALSE(store.UniformColour);

    FillStore(store, 1, 1, 3, {9, 9, 9});
    core::RenderImage(store, bmp, 1, 1);
    EXPECT_TRUE(store.UniformColour);
}

TEST(RenderImage, BottomRowOfTheStoreIsTheBottomRowOfTheBitmap) {
    core::ImageStore store;
    FillStore(store, 1, 2, 3, {1, 2, 3, 4, 5, 6});  // bottom pixel 1,2,3; top 4,5,6
    core::Bitmap bmp;
    core::RenderImage(store, bmp, 1, 2);
    EXPECT_EQ(bmp.Row(0)[0], 6);  // top row, blue first
    EXPECT_EQ(bmp.Row(1)[0], 3);
}

TEST(RenderImage, AlphaIgnoredForUniformityAndShownAsGrey) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {5, 6, 7, 0, 5, 6, 7, 200}, 1);
    core::Bitmap bmp;
    core::RenderImage(store, bmp, 2, 1);
    EXPECT_EQ(bmp.BitsPerPixel(), 32);
    EXPECT_TRUE(store.UniformColour);
    EXPECT_EQ(bmp.Row(0)[3], 0);
    EXPECT_EQ(bmp.Row(0)[7], 200);

    store.AlphaView = true;
    core::RenderImage(store, bmp, 2, 1);
    EXPECT_EQ(bmp.BitsPerPixel(), 24);
    EXPECT_FALSE(store.UniformColour);
    EXPECT_EQ(bmp.Row(0)[3], 200);
    EXPECT_EQ(bmp.Row(0)[4], 200);
    EXPECT_EQ(bmp.Row(0)[5], 200);
}

TEST(RenderImage, AlphaViewOfAThreeByteImageDrawsColourAndComputesNothing) {
    core::ImageStore store;
    FillStore(store, 2, 2, 3, Solid(4, {1, 1, 1}));
    store.AlphaView = true;
    core::Bitmap bmp;
    core::RenderImage(store, bmp, 2, 2);
    EXPECT_EQ(bmp.BitsPerPixel(), 24);
    EXPECT_EQ(bmp.Row(0)[0], 1);
    EXPECT_FALSE(store.UniformColour);
}

TEST(RenderImage, EmptyStoreLeavesEverythingAlone) {
    core::ImageStore store;
    store.UniformColour = true;
    core::Bitmap bmp;
    core::RenderImage(store, bmp, 4, 4);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_TRUE(store.UniformColour);
}

TEST(RenderTransparent, CheckerboardFromTheClampedBackground) {
    core::ImageStore store;
    std::vector<uint8_t> px = Solid(32, {0, 0, 0, 0});
    FillStore(store, 32, 1, 4, px, 2);
    core::Bitmap bmp;
    core::RenderTransparent(store, bmp, 0xFF8000);  // red 0, green 128, blue 255
    ASSERT_EQ(bmp.BitsPerPixel(), 32);
    const uint8_t* at0 = bmp.Row(0).data();
    EXPECT_EQ(at0[2], 30);   // red
    EXPECT_EQ(at0[1], 143);  // green
    EXPECT_EQ(at0[0], 255);  // blue
    const uint8_t* at16 = bmp.Row(0).data() + 16 * 4;
    EXPECT_EQ(at16[2], 0);
    EXPECT_EQ(at16[1], 113);
    EXPECT_EQ(at16[0], 225);
}

TEST(RenderTransparent, OpaquePixelsKeepTheirColourAndThreeByteImagesAreSkipped) {
    core::ImageStore store;
    FillStore(store, 1, 1, 4, {12, 34, 56, 255}, 2);
    core::Bitmap bmp;
    core::RenderTransparent(store, bmp, 0x808080);
    EXPECT_EQ(bmp.Row(0)[0], 56);
    EXPECT_EQ(bmp.Row(0)[1], 34);
    EXPECT_EQ(bmp.Row(0)[2], 12);

    core::ImageStore rgb;
    FillStore(rgb, 1, 1, 3, {1, 2, 3});
    core::Bitmap untouched;
    untouched.Reset(24, 5, 5);
    core::RenderTransparent(rgb, untouched, 0);
    EXPECT_EQ(untouched.Width(), 5);
}
