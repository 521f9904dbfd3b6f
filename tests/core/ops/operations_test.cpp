// The edit operations: their pixels, their refusals and what each must leave
// of the image, and a normal map worked by hand. The command line and the
// editing commands only show that each edit is reached.
#include "core/ops/operations.h"

#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "core/image/alpha_channel.h"
#include "core/ops/normal_map.h"

#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

using Pixels = std::vector<uint8_t>;

Pixels StorePixels(const core::Image& s) {
    return Pixels(s.Pixels.begin(), s.Pixels.end());
}

// Everything an operation that keeps the image must put back.
auto State(const core::Image& s) {
    return std::make_tuple(s.Width, s.Height, s.AlphaKind, s.Compression, StorePixels(s));
}

TEST(CreateAlphaMask, MasksPixelsWithinTheToleranceAndRefusesMalformedMaskTexts) {
    // (255, 0, 255), one channel off by 10, off by 11, and black.
    core::Image store;
    FillImage(store, 4, 1, 3, {255, 0, 255, 245, 0, 255, 255, 11, 255, 0, 0, 0});
    ASSERT_TRUE(core::CreateAlphaMask(store, " 255, 0 ,255 , 10"));
    EXPECT_EQ(store.AlphaKind, 2);
    EXPECT_EQ(StorePixels(store),
              (Pixels{255, 0, 255, 0, 245, 0, 255, 0, 255, 11, 255, 255, 0, 0, 0, 255}));

    const auto before = State(store);
    for (const char* text : {"255,0,255", "255,0,255,", "a,0,0,1", "0,0,0,1x", "1,2,3,4,5",
                             "256,0,0,1", "0,0,0,-1", "99999999999999999999,0,0,1"}) {
        EXPECT_FALSE(core::CreateAlphaMask(store, text)) << text;
        EXPECT_EQ(State(store), before) << text;
    }
}

// Which red becomes alpha: the editing commands' test. A failed merge
// changes nothing, alpha channel or not.
TEST(MergeAlphaImage, FailureChangesNothingAndSuccessForgetsTheDescription) {
    TempDir dir;
    WriteBytes(dir.File("big.tga"), MakeTga(2, 2, 24, Pixels(12, 9)));
    // Stored blue, green, red: the reds are 0 and 255.
    WriteBytes(dir.File("a.tga"), MakeTga(2, 1, 24, {7, 8, 0, 7, 8, 255}));
    core::Image store;
    for (int bpp : {3, 4}) {
        FillImage(store, 2, 1, bpp, Pixels(2 * bpp, 1));
        const auto before = State(store);
        EXPECT_TRUE(core::MergeAlphaFile(store, dir.File("missing.tga")));
        EXPECT_EQ(core::MergeAlphaFile(store, dir.File("big.tga")).Message(),
                  "Images not the same size");
        EXPECT_EQ(State(store), before) << bpp;
    }
    store.HasDescription = true;
    ASSERT_FALSE(core::MergeAlphaFile(store, dir.File("a.tga")));
    EXPECT_EQ(store.AlphaKind, 2);
    EXPECT_FALSE(store.HasDescription);
}

// The colour copy is also the 24-bit TGA writer's byte-for-byte check.
TEST(SaveColourAndAlphaImage, KeepTheImageEvenWhenTheWriteFails) {
    TempDir dir;
    core::Image store;
    FillImage(store, 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200}, 1);
    const auto before = State(store);
    ASSERT_FALSE(core::SaveColourImage(store, dir.File("colour.tga")));
    EXPECT_EQ(ReadBytes(dir.File("colour.tga")), MakeTga(2, 1, 24, {30, 20, 10, 60, 50, 40}));
    ASSERT_FALSE(core::SaveAlphaImage(store, dir.File("alpha.tga")));
    EXPECT_EQ(State(store), before);
    EXPECT_TRUE(core::SaveAlphaImage(store, dir.File("alpha.xyz")));
    EXPECT_EQ(State(store), before);
}

TEST(BadDimensions, SizeRulesOfTheSimulator) {
    EXPECT_TRUE(core::BadDimensions(0, 0));
    EXPECT_TRUE(core::BadDimensions(-256, 256));   // compared as unsigned: not a power of two
    EXPECT_FALSE(core::BadDimensions(1024, 128));  // ratio exactly 8
    EXPECT_TRUE(core::BadDimensions(2048, 128));   // ratio 16
    EXPECT_TRUE(core::BadDimensions(96, 64));
}

// Random placement with fewer pixels of the reference red (pixel 0's, which
// stays) than asked for: each of the others changes once, dark reds going up,
// and the search ends. Even placement, three steps over two pixels: two fall
// in the first pixel, which is changed once, not changed and changed back.
TEST(NonUniformColour, ChangesDistinctPixelsOfTheReferenceRedAndNoneTwice) {
    std::mt19937 rng(1);
    core::Image store;
    FillImage(store, 4, 1, 3, {90, 0, 0, 5, 0, 0, 90, 0, 0, 90, 0, 0});
    core::NonUniformColour(store, 6, 20, true, rng);
    EXPECT_EQ(StorePixels(store), (Pixels{90, 0, 0, 5, 0, 0, 110, 0, 0, 110, 0, 0}));
    FillImage(store, 2, 1, 3, Pixels(6, 50));
    core::NonUniformColour(store, 3, 20, false, rng);
    EXPECT_EQ(StorePixels(store), (Pixels{70, 50, 50, 70, 50, 50}));
}

// Grey is the mean of red, green and blue, alpha kept; inverting turns each
// alpha a into 255 - a; an added channel holds the fill level, or is opaque
// (on/off) without one; removing it keeps the colours. What cannot be done
// is refused and changes nothing.
TEST(Edits, GreyInvertAddAndRemoveAlphaPixelByPixel) {
    const struct {
        const char* name;
        Pixels before;
        std::function<bool(core::Image&)> edit;
        Pixels after;  // empty: refused
        int alphaKind;
    } cases[] = {
        {"grey",
         {10, 20, 33, 200, 255, 0, 1, 0},
         [](core::Image& s) { return core::GreyScale(s), true; },
         {21, 21, 21, 200, 85, 85, 85, 0},
         2},
        {"invert", {1, 2, 3, 0, 4, 5, 6, 200}, core::InvertAlpha, {1, 2, 3, 255, 4, 5, 6, 55}, 2},
        {"invert 24-bit", {1, 2, 3, 4, 5, 6}, core::InvertAlpha, {}, 0},
        {"add at the level",
         {1, 2, 3, 4, 5, 6},
         [](core::Image& s) { return core::AddAlphaChannel(s, 127); },
         {1, 2, 3, 127, 4, 5, 6, 127},
         1},
        {"add opaque",
         {1, 2, 3, 4, 5, 6},
         [](core::Image& s) { return core::AddAlphaChannel(s); },
         {1, 2, 3, 255, 4, 5, 6, 255},
         2},
        {"add to 32-bit",
         {1, 2, 3, 4, 5, 6, 7, 8},
         [](core::Image& s) { return core::AddAlphaChannel(s); },
         {},
         2},
        {"remove", {1, 2, 3, 9, 4, 5, 6, 200}, core::RemoveAlphaChannel, {1, 2, 3, 4, 5, 6}, 0},
        {"remove from 24-bit", {1, 2, 3, 4, 5, 6}, core::RemoveAlphaChannel, {}, 0},
    };
    for (const auto& c : cases) {
        core::Image store;
        FillImage(store, 2, 1, static_cast<int>(c.before.size()) / 2, c.before);
        const auto before = State(store);
        EXPECT_EQ(c.edit(store), !c.after.empty()) << c.name;
        if (c.after.empty()) {
            EXPECT_EQ(State(store), before) << c.name;
            continue;
        }
        EXPECT_EQ(StorePixels(store), c.after) << c.name;
        EXPECT_EQ(store.AlphaKind, c.alphaKind) << c.name;
    }
    core::Image empty;
    EXPECT_FALSE(core::AddAlphaChannel(empty) || core::RemoveAlphaChannel(empty) || empty.Loaded());
}

// One raised pixel in the middle of 3 x 3 (bottom row first), so every
// neighbour of every pixel is found across both edges. Side neighbours tilt
// by 2/sqrt(5), corners by 1/sqrt(3) on both axes.
TEST(MakeNormalMap, BothAxesWrapTheAlphaIsSetAndWhatCannotBeAddressedIsRefused) {
    Pixels pixels(9 * 4, 0);
    pixels[4 * 4] = 255;
    ASSERT_TRUE(core::MakeNormalMap(3, 3, 36, pixels.data(), 77));
    EXPECT_EQ(pixels, (Pixels{54, 201, 201, 77, 128, 242, 185, 77, 201, 201, 201, 77,
                              13, 128, 185, 77, 128, 128, 255, 77, 242, 128, 185, 77,
                              54, 54,  201, 77, 128, 13,  185, 77, 201, 54,  201, 77}));

    pixels = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(core::MakeNormalMap(0, 2, 6, pixels.data(), 127));
    EXPECT_FALSE(core::MakeNormalMap(2, 1, 6, nullptr, 127));
    // Two bytes per pixel would be written as four, past the end.
    EXPECT_FALSE(core::MakeNormalMap(3, 1, 6, pixels.data(), 127));
    EXPECT_EQ(pixels, (Pixels{1, 2, 3, 4, 5, 6}));
}

}  // namespace
