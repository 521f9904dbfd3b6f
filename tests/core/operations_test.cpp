#include "core/operations.h"

#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace {

using Pixels = std::vector<uint8_t>;
using testing_support::FillStore;
using testing_support::MakeTga;
using testing_support::ReadBytes;

Pixels StorePixels(const core::ImageStore& s) { return Pixels(s.PixelBuffer.begin(), s.PixelBuffer.end()); }

// Everything an operation that keeps the image must put back.
auto State(const core::ImageStore& s) {
    const core::TImageInfo& i = s.Image;
    return std::make_tuple(s.ImageLoaded, i.Width, i.Height, i.AlphaKind, i.Compression, i.DataSize,
                           i.Data == s.PixelBuffer.data(), StorePixels(s));
}

Pixels Reds(const core::ImageStore& s) {
    Pixels reds;
    for (size_t i = 0; i < s.PixelBuffer.size(); i += s.BytesPerPixel()) reds.push_back(s.PixelBuffer[i]);
    return reds;
}

Pixels Uniform(int pixels, Pixels colour) {
    Pixels out;
    for (int i = 0; i < pixels; ++i) out.insert(out.end(), colour.begin(), colour.end());
    return out;
}

TEST(InvertAlpha, FlipsAlphaAndNeedsAnAlphaChannel) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {1, 2, 3, 0, 4, 5, 6, 200}, 1);
    ASSERT_TRUE(core::InvertAlpha(store));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 255, 4, 5, 6, 55}));
    EXPECT_EQ(store.Image.AlphaKind, 1);

    core::ImageStore colourOnly;
    FillStore(colourOnly, 1, 1, 3, {1, 2, 3});
    EXPECT_FALSE(core::InvertAlpha(colourOnly));
    EXPECT_EQ(StorePixels(colourOnly), (Pixels{1, 2, 3}));
}

TEST(CreateAlphaMask, MasksPixelsWithinTheTolerance) {
    // (255, 0, 255), one channel off by 10, off by 11, and black.
    core::ImageStore store;
    FillStore(store, 4, 1, 3, {255, 0, 255, 245, 0, 255, 255, 11, 255, 0, 0, 0});
    ASSERT_TRUE(core::CreateAlphaMask(store, "255,0,255,0"));
    EXPECT_EQ(store.Image.AlphaKind, 2);
    EXPECT_EQ(StorePixels(store), (Pixels{255, 0, 255, 0, 245, 0, 255, 255, 255, 11, 255, 255, 0, 0, 0, 255}));
    const auto alphas = [&] {
        return Pixels{store.PixelBuffer[3], store.PixelBuffer[7], store.PixelBuffer[11], store.PixelBuffer[15]};
    };
    ASSERT_TRUE(core::CreateAlphaMask(store, " 255, 0 ,255 , 10"));
    EXPECT_EQ(alphas(), (Pixels{0, 0, 255, 255}));
    ASSERT_TRUE(core::CreateAlphaMask(store, "255,0,255,255"));
    EXPECT_EQ(alphas(), (Pixels{0, 0, 0, 0}));

    // The mask does not reclassify: a graded image stays graded.
    core::ImageStore graded;
    FillStore(graded, 1, 1, 4, {9, 9, 9, 100}, 1);
    ASSERT_TRUE(core::CreateAlphaMask(graded, "0,0,0,0"));
    EXPECT_EQ(graded.Image.AlphaKind, 1);
}

TEST(CreateAlphaMask, RefusesMalformedSpecsChangingNothing) {
    core::ImageStore store;
    FillStore(store, 2, 1, 3, {255, 0, 255, 1, 2, 3});
    const auto before = State(store);
    for (const char* spec : {"255,0,255", "255,0,255,", ",,,", "a,0,0,1", "0,0,0,1x", "1,2,3,4,5", "256,0,0,1",
                             "-1,0,0,1", "0,0,0,-1", "0x10,0,0,1", "99999999999999999999,0,0,1"}) {
        EXPECT_FALSE(core::CreateAlphaMask(store, spec)) << spec;
        EXPECT_EQ(State(store), before) << spec;
    }
}

class MergeAlphaImage : public ::testing::Test {
protected:
    testing_support::TempDir dir;

    // A TGA whose pixel i has red = reds[i]; a 32-bit one has alpha 1 throughout.
    std::string AlphaFile(const std::string& name, int w, int h, const Pixels& reds, int depth = 24) {
        Pixels bytes;
        for (uint8_t r : reds) {
            bytes.insert(bytes.end(), {7, 8, r});
            if (depth == 32) bytes.push_back(1);
        }
        testing_support::WriteBytes(dir.File(name), MakeTga(w, h, depth, bytes));
        return dir.File(name);
    }
};

TEST_F(MergeAlphaImage, RedOfTheOtherImageBecomesAlpha) {
    core::ImageStore store;
    FillStore(store, 2, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    store.Image.Compression = 5;
    store.HasTextureDescription = true;
    store.TextureDescription = {"Primary=wagon.bmp"};
    ASSERT_TRUE(core::MergeAlphaImage(store, AlphaFile("a.tga", 2, 2, {0, 255, 128, 255})));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 0, 4, 5, 6, 255, 7, 8, 9, 128, 10, 11, 12, 255}));
    EXPECT_EQ(store.Image.AlphaKind, 1);
    EXPECT_EQ(store.Image.Compression, 5);
    EXPECT_EQ(store.Image.Data, store.PixelBuffer.data());
    EXPECT_FALSE(store.HasTextureDescription);
    EXPECT_TRUE(store.TextureDescription.empty());

    // From a 32-bit image too it is the red that counts; on/off values give kind 2.
    ASSERT_TRUE(core::MergeAlphaImage(store, AlphaFile("b.tga", 2, 2, {255, 0, 0, 255}, 32)));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 255}));
    EXPECT_EQ(store.Image.AlphaKind, 2);
}

TEST_F(MergeAlphaImage, FailureLeavesTheImageWithoutAlpha) {
    core::ImageStore store;
    FillStore(store, 64, 64, 4, Uniform(64 * 64, {10, 20, 30, 77}), 1);
    EXPECT_FALSE(core::MergeAlphaImage(store, AlphaFile("big.tga", 128, 128, Pixels(128 * 128, 9))));
    EXPECT_EQ(store.LoadErrorText, "Images not the same size");
    EXPECT_TRUE(store.ImageLoaded);
    EXPECT_EQ(store.Image.AlphaKind, 0);
    EXPECT_EQ(StorePixels(store), Uniform(64 * 64, {10, 20, 30}));

    core::ImageStore other;
    FillStore(other, 1, 1, 4, {1, 2, 3, 4});
    EXPECT_FALSE(core::MergeAlphaImage(other, dir.File("missing.tga")));
    EXPECT_NE(other.LoadErrorText.find("missing.tga"), std::string::npos) << other.LoadErrorText;
    EXPECT_EQ(StorePixels(other), (Pixels{1, 2, 3}));
}

TEST(SaveColourAndAlphaImage, WriteOnePartAndKeepTheStore) {
    testing_support::TempDir dir;
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200}, 1);
    store.Image.Compression = 3;
    const auto before = State(store);

    ASSERT_TRUE(core::SaveColourImage(store, dir.File("colour.tga")));
    EXPECT_EQ(State(store), before);
    EXPECT_EQ(ReadBytes(dir.File("colour.tga")), MakeTga(2, 1, 24, {30, 20, 10, 60, 50, 40}));
    ASSERT_TRUE(core::SaveAlphaImage(store, dir.File("alpha.tga")));
    EXPECT_EQ(State(store), before);
    EXPECT_EQ(ReadBytes(dir.File("alpha.tga")), MakeTga(2, 1, 24, {0, 0, 0, 200, 200, 200}));

    // Failed writes report and still put the image back.
    EXPECT_FALSE(core::SaveColourImage(store, dir.File("no/such/folder/colour.tga")));
    EXPECT_FALSE(store.LoadErrorText.empty());
    EXPECT_EQ(State(store), before);
    EXPECT_FALSE(core::SaveAlphaImage(store, dir.File("alpha.xyz")));
    EXPECT_EQ(State(store), before);
}

TEST(GreyScale, AveragesColourAndKeepsAlpha) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {10, 20, 33, 99, 255, 255, 254, 0}, 1);
    core::GreyScale(store);
    EXPECT_EQ(StorePixels(store), (Pixels{21, 21, 21, 99, 254, 254, 254, 0}));
}

TEST(NonUniformColour, EvenPlacementFollowsTheByteSteps) {
    std::mt19937 rng(1);
    core::ImageStore store;
    FillStore(store, 4, 4, 3, Uniform(16, {200, 50, 50}));
    core::NonUniformColour(store, 3, 20, false, rng);
    Pixels expected = Uniform(16, {200, 50, 50});
    expected[0] = expected[15] = expected[30] = 180;
    EXPECT_EQ(StorePixels(store), expected);

    // Steps smaller than a pixel change each pixel once (118 changed twice would
    // be 118 again); dark reds go up.
    core::ImageStore small;
    FillStore(small, 3, 1, 3, Uniform(3, {118, 0, 0}));
    core::NonUniformColour(small, 4, 20, false, rng);  // bytes 0, 2, 4, 6: pixels 0, 0, 1, 2
    EXPECT_EQ(Reds(small), (Pixels{138, 138, 138}));
}

TEST(NonUniformColour, RandomPlacementChangesDistinctPixelsAndAlwaysEnds) {
    std::mt19937 rng(42);
    core::ImageStore store;
    FillStore(store, 8, 8, 4, Uniform(64, {30, 1, 2, 3}));
    core::NonUniformColour(store, 1, 7, true, rng);
    Pixels reds = Reds(store);
    EXPECT_EQ(reds[0], 30);
    EXPECT_EQ(std::count(reds.begin(), reds.end(), 37), 1);
    core::NonUniformColour(store, 5, 7, true, rng);
    reds = Reds(store);
    EXPECT_EQ(reds[0], 30);
    EXPECT_EQ(std::count(reds.begin(), reds.end(), 37), 6);

    // Fewer pixels of the reference red than asked for: all of them change.
    core::ImageStore sparse;
    FillStore(sparse, 4, 1, 3, {90, 0, 0, 5, 0, 0, 90, 0, 0, 90, 0, 0});
    core::NonUniformColour(sparse, 6, 20, true, rng);
    EXPECT_EQ(Reds(sparse), (Pixels{90, 5, 110, 110}));
    core::ImageStore lone;
    FillStore(lone, 1, 1, 3, {90, 0, 0});
    core::NonUniformColour(lone, 3, 20, true, rng);
    EXPECT_EQ(Reds(lone), (Pixels{90}));
}

}  // namespace
