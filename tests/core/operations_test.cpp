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

// One channel of every pixel: 0 red, 3 alpha.
Pixels Channel(const core::ImageStore& s, int channel) {
    Pixels values;
    for (size_t i = channel; i < s.PixelBuffer.size(); i += s.BytesPerPixel()) values.push_back(s.PixelBuffer[i]);
    return values;
}

TEST(InvertAlpha, FlipsAlphaAndNeedsAnAlphaChannel) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {1, 2, 3, 0, 4, 5, 6, 200}, 1);
    ASSERT_TRUE(core::InvertAlpha(store));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 255, 4, 5, 6, 55}));
    FillStore(store, 1, 1, 3, {1, 2, 3});
    EXPECT_FALSE(core::InvertAlpha(store));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3}));
}

TEST(CreateAlphaMask, MasksPixelsWithinTheToleranceAndRefusesMalformedMaskTexts) {
    // (255, 0, 255), one channel off by 10, off by 11, and black.
    core::ImageStore store;
    FillStore(store, 4, 1, 3, {255, 0, 255, 245, 0, 255, 255, 11, 255, 0, 0, 0});
    ASSERT_TRUE(core::CreateAlphaMask(store, "255,0,255,0"));
    EXPECT_EQ(store.Image.AlphaKind, 2);
    EXPECT_EQ(StorePixels(store), (Pixels{255, 0, 255, 0, 245, 0, 255, 255, 255, 11, 255, 255, 0, 0, 0, 255}));
    ASSERT_TRUE(core::CreateAlphaMask(store, " 255, 0 ,255 , 10"));
    EXPECT_EQ(Channel(store, 3), (Pixels{0, 0, 255, 255}));

    const auto before = State(store);
    for (const char* text : {"255,0,255", "255,0,255,", "a,0,0,1", "0,0,0,1x", "1,2,3,4,5", "256,0,0,1", "0,0,0,-1",
                             "99999999999999999999,0,0,1"}) {
        EXPECT_FALSE(core::CreateAlphaMask(store, text)) << text;
        EXPECT_EQ(State(store), before) << text;
    }
    // The mask does not reclassify: a graded image stays graded.
    FillStore(store, 1, 1, 4, {9, 9, 9, 100}, 1);
    ASSERT_TRUE(core::CreateAlphaMask(store, "0,0,0,0"));
    EXPECT_EQ(store.Image.AlphaKind, 1);
}

// A TGA whose pixel i has red = reds[i]; a 32-bit one has alpha 1 throughout.
std::string AlphaFile(const testing_support::TempDir& dir, const std::string& name, int side, const Pixels& reds,
                      int depth = 24) {
    Pixels bytes;
    for (uint8_t r : reds) {
        bytes.insert(bytes.end(), {7, 8, r});
        if (depth == 32) bytes.push_back(1);
    }
    testing_support::WriteBytes(dir.File(name), MakeTga(side, side, depth, bytes));
    return dir.File(name);
}

TEST(MergeAlphaImage, RedOfTheOtherImageBecomesAlphaAndFailureLeavesNoAlpha) {
    testing_support::TempDir dir;
    core::ImageStore store;
    FillStore(store, 2, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    store.HasTextureDescription = true;
    ASSERT_TRUE(core::MergeAlphaImage(store, AlphaFile(dir, "a.tga", 2, {0, 255, 128, 255})));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 0, 4, 5, 6, 255, 7, 8, 9, 128, 10, 11, 12, 255}));
    EXPECT_EQ(store.Image.AlphaKind, 1);
    EXPECT_FALSE(store.HasTextureDescription);
    // From a 32-bit image too it is the red that counts; on/off values give kind 2.
    ASSERT_TRUE(core::MergeAlphaImage(store, AlphaFile(dir, "b.tga", 2, {255, 0, 0, 255}, 32)));
    EXPECT_EQ(Channel(store, 3), (Pixels{255, 0, 0, 255}));
    EXPECT_EQ(store.Image.AlphaKind, 2);

    EXPECT_FALSE(core::MergeAlphaImage(store, AlphaFile(dir, "big.tga", 4, Pixels(16, 9))));
    EXPECT_EQ(store.LoadErrorText, "Images not the same size");
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_FALSE(core::MergeAlphaImage(store, dir.File("missing.tga")));
    EXPECT_NE(store.LoadErrorText.find("missing.tga"), std::string::npos) << store.LoadErrorText;
}

TEST(SaveColourAndAlphaImage, WriteOnePartAndKeepTheStore) {
    testing_support::TempDir dir;
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200}, 1);
    const auto before = State(store);
    ASSERT_TRUE(core::SaveColourImage(store, dir.File("colour.tga")));
    EXPECT_EQ(ReadBytes(dir.File("colour.tga")), MakeTga(2, 1, 24, {30, 20, 10, 60, 50, 40}));
    ASSERT_TRUE(core::SaveAlphaImage(store, dir.File("alpha.tga")));
    EXPECT_EQ(State(store), before);
    EXPECT_EQ(ReadBytes(dir.File("alpha.tga")), MakeTga(2, 1, 24, {0, 0, 0, 200, 200, 200}));
    // A failed write still puts the image back.
    EXPECT_FALSE(core::SaveAlphaImage(store, dir.File("alpha.xyz")));
    EXPECT_EQ(State(store), before);
}

TEST(GreyScale, AveragesColourAndKeepsAlpha) {  // (10 + 20 + 33) / 3 = 21
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {10, 20, 33, 99, 255, 255, 254, 0}, 1);
    core::GreyScale(store);
    EXPECT_EQ(StorePixels(store), (Pixels{21, 21, 21, 99, 254, 254, 254, 0}));
}

TEST(NonUniformColour, EvenOrRandomPlacementChangesDistinctPixelsOfTheReferenceRed) {
    std::mt19937 rng(1);
    core::ImageStore store;
    // Steps smaller than a pixel change each pixel once (118 changed twice would
    // be 118 again); dark reds go up.
    FillStore(store, 3, 1, 3, {118, 0, 0, 118, 0, 0, 118, 0, 0});
    core::NonUniformColour(store, 4, 20, false, rng);  // bytes 0, 2, 4, 6: pixels 0, 0, 1, 2
    EXPECT_EQ(Channel(store, 0), (Pixels{138, 138, 138}));
    // Random placement: fewer pixels of the reference red (pixel 0's, which
    // stays) than asked for: each of the others changes once, and the search ends.
    FillStore(store, 4, 1, 3, {90, 0, 0, 5, 0, 0, 90, 0, 0, 90, 0, 0});
    core::NonUniformColour(store, 6, 20, true, rng);
    EXPECT_EQ(Channel(store, 0), (Pixels{90, 5, 110, 110}));
}

}  // namespace
