#include "core/operations.h"

#include <gtest/gtest.h>

#include "core/load_image.h"
#include "tests/support/test_support.h"

namespace {

using Pixels = std::vector<uint8_t>;
using testing_support::FillStore;

Pixels StorePixels(const core::ImageStore& store) {
    return Pixels(store.PixelBuffer.begin(), store.PixelBuffer.end());
}

// Pixel bytes of a stored image, with the record it describes.
struct Snapshot {
    core::TImageInfo record;
    Pixels pixels;
    bool loaded;
    explicit Snapshot(const core::ImageStore& s) : record(s.Image), pixels(StorePixels(s)), loaded(s.ImageLoaded) {}
};

void ExpectUnchanged(const core::ImageStore& store, const Snapshot& before) {
    EXPECT_EQ(store.ImageLoaded, before.loaded);
    EXPECT_EQ(store.Image.Width, before.record.Width);
    EXPECT_EQ(store.Image.Height, before.record.Height);
    EXPECT_EQ(store.Image.AlphaKind, before.record.AlphaKind);
    EXPECT_EQ(store.Image.Compression, before.record.Compression);
    EXPECT_EQ(store.Image.DataSize, before.record.DataSize);
    EXPECT_EQ(store.Image.Data, store.PixelBuffer.data());
    EXPECT_EQ(StorePixels(store), before.pixels);
}

// Red bytes of every pixel.
Pixels Reds(const core::ImageStore& store) {
    Pixels reds;
    const int bpp = store.BytesPerPixel();
    for (size_t i = 0; i < store.PixelBuffer.size(); i += bpp) reds.push_back(store.PixelBuffer[i]);
    return reds;
}

Pixels Uniform(int pixels, int bpp, Pixels colour) {
    Pixels out;
    for (int i = 0; i < pixels; ++i) out.insert(out.end(), colour.begin(), colour.begin() + bpp);
    return out;
}

TEST(InvertAlpha, FlipsAlphaAndNeedsAnAlphaChannel) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {1, 2, 3, 0, 4, 5, 6, 200}, 1);
    ASSERT_TRUE(core::InvertAlpha(store));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 255, 4, 5, 6, 55}));
    EXPECT_EQ(store.Image.AlphaKind, 1);

    core::ImageStore colourOnly;
    FillStore(colourOnly, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    const Snapshot before(colourOnly);
    EXPECT_FALSE(core::InvertAlpha(colourOnly));
    ExpectUnchanged(colourOnly, before);

    core::ImageStore empty;
    EXPECT_FALSE(core::InvertAlpha(empty));
}

TEST(CreateAlphaMask, MasksPixelsWithinTheTolerance) {
    // Colour (255, 0, 255), one channel off by 10, off by 11, and another colour.
    const Pixels colours = {255, 0, 255, 245, 0, 255, 255, 11, 255, 0, 0, 0};
    core::ImageStore store;
    FillStore(store, 4, 1, 3, colours);
    ASSERT_TRUE(core::CreateAlphaMask(store, "255,0,255,0"));
    ASSERT_EQ(store.BytesPerPixel(), 4);
    EXPECT_EQ(store.Image.AlphaKind, 2);
    EXPECT_EQ(StorePixels(store), (Pixels{255, 0, 255, 0, 245, 0, 255, 255, 255, 11, 255, 255, 0, 0, 0, 255}));

    ASSERT_TRUE(core::CreateAlphaMask(store, " 255, 0 ,255 , 10"));
    EXPECT_EQ(Pixels({store.PixelBuffer[3], store.PixelBuffer[7], store.PixelBuffer[11], store.PixelBuffer[15]}),
              (Pixels{0, 0, 255, 255}));

    ASSERT_TRUE(core::CreateAlphaMask(store, "255,0,255,255"));
    for (size_t i = 3; i < store.PixelBuffer.size(); i += 4) EXPECT_EQ(store.PixelBuffer[i], 0);

    // A graded image keeps its kind: the mask does not reclassify.
    core::ImageStore graded;
    FillStore(graded, 1, 1, 4, {9, 9, 9, 100}, 1);
    ASSERT_TRUE(core::CreateAlphaMask(graded, "0,0,0,0"));
    EXPECT_EQ(graded.PixelBuffer[3], 255);
    EXPECT_EQ(graded.Image.AlphaKind, 1);
}

TEST(CreateAlphaMask, RefusesMalformedSpecsChangingNothing) {
    core::ImageStore store;
    FillStore(store, 2, 1, 3, {255, 0, 255, 1, 2, 3});
    const Snapshot before(store);
    for (const char* spec : {"255,0,255", "255,0,255,", "", ",,,", "a,0,0,1", "0,0,0,1x", "1,2,3,4,5",
                             "256,0,0,1", "-1,0,0,1", "0,0,0,-1", "0x10,0,0,1", "0,,0,1",
                             "99999999999999999999,0,0,1"}) {
        EXPECT_FALSE(core::CreateAlphaMask(store, spec)) << spec;
        ExpectUnchanged(store, before);
    }
    core::ImageStore empty;
    EXPECT_FALSE(core::CreateAlphaMask(empty, "0,0,0,0"));
    EXPECT_FALSE(empty.ImageLoaded);
}

class MergeAlphaImage : public ::testing::Test {
protected:
    testing_support::TempDir dir;

    // A 24-bit TGA whose pixel i has red = reds[i] (green, blue fixed).
    std::string AlphaFile(const std::string& name, int w, int h, const Pixels& reds, int depth = 24) {
        Pixels bytes;
        for (uint8_t r : reds) {
            bytes.insert(bytes.end(), {7, 8, r});  // blue, green, red
            if (depth == 32) bytes.push_back(1);
        }
        const std::string path = dir.File(name);
        testing_support::WriteBytes(path, testing_support::MakeTga(w, h, depth, bytes));
        return path;
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
    EXPECT_TRUE(store.ImageLoaded);
    EXPECT_FALSE(store.HasTextureDescription);
    EXPECT_TRUE(store.TextureDescription.empty());

    // A 32-bit alpha image gives its red too (not its alpha); on/off values give kind 2.
    ASSERT_TRUE(core::MergeAlphaImage(store, AlphaFile("b.tga", 2, 2, {255, 0, 0, 255}, 32)));
    EXPECT_EQ(StorePixels(store), (Pixels{1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 255}));
    EXPECT_EQ(store.Image.AlphaKind, 2);
}

TEST_F(MergeAlphaImage, FailureLeavesTheImageWithoutAlpha) {
    core::ImageStore store;
    const Pixels colours = Uniform(64 * 64, 4, {10, 20, 30, 77});
    FillStore(store, 64, 64, 4, colours, 1);
    EXPECT_FALSE(core::MergeAlphaImage(store, AlphaFile("big.tga", 128, 128, Pixels(128 * 128, 9))));
    EXPECT_EQ(store.LoadErrorText, "Images not the same size");
    EXPECT_TRUE(store.ImageLoaded);
    EXPECT_EQ(store.BytesPerPixel(), 3);
    EXPECT_EQ(store.Image.AlphaKind, 0);
    EXPECT_EQ(StorePixels(store), Uniform(64 * 64, 3, {10, 20, 30}));

    core::ImageStore other;
    FillStore(other, 1, 1, 3, {1, 2, 3});
    EXPECT_FALSE(core::MergeAlphaImage(other, dir.File("missing.tga")));
    EXPECT_NE(other.LoadErrorText.find("missing.tga"), std::string::npos) << other.LoadErrorText;
    EXPECT_EQ(StorePixels(other), (Pixels{1, 2, 3}));
    EXPECT_EQ(other.Image.AlphaKind, 0);

    core::ImageStore empty;
    EXPECT_FALSE(core::MergeAlphaImage(empty, AlphaFile("c.tga", 1, 1, {1})));
    EXPECT_FALSE(empty.ImageLoaded);
}

TEST(SaveColourAndAlphaImage, WriteOnePartAndKeepTheStore) {
    testing_support::TempDir dir;
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {10, 20, 30, 0, 40, 50, 60, 200}, 1);
    store.Image.Compression = 3;
    const Snapshot before(store);

    ASSERT_TRUE(core::SaveColourImage(store, dir.File("colour.tga")));
    ExpectUnchanged(store, before);
    EXPECT_EQ(testing_support::ReadBytes(dir.File("colour.tga")),
              testing_support::MakeTga(2, 1, 24, {30, 20, 10, 60, 50, 40}));

    ASSERT_TRUE(core::SaveAlphaImage(store, dir.File("alpha.tga")));
    ExpectUnchanged(store, before);
    EXPECT_EQ(testing_support::ReadBytes(dir.File("alpha.tga")),
              testing_support::MakeTga(2, 1, 24, {0, 0, 0, 200, 200, 200}));

    // Failed writes report and still leave the image as it was.
    EXPECT_FALSE(core::SaveColourImage(store, dir.File("no/such/folder/colour.tga")));
    ExpectUnchanged(store, before);
    EXPECT_FALSE(store.LoadErrorText.empty());
    EXPECT_FALSE(core::SaveAlphaImage(store, dir.File("alpha.xyz")));
    ExpectUnchanged(store, before);

    // A colour-only image: its colour copy is the image; it has no alpha copy.
    core::ImageStore colourOnly;
    FillStore(colourOnly, 1, 1, 3, {1, 2, 3});
    const Snapshot colourBefore(colourOnly);
    ASSERT_TRUE(core::SaveColourImage(colourOnly, dir.File("c3.tga")));
    EXPECT_EQ(testing_support::ReadBytes(dir.File("c3.tga")), testing_support::MakeTga(1, 1, 24, {3, 2, 1}));
    EXPECT_FALSE(core::SaveAlphaImage(colourOnly, dir.File("a3.tga")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("a3.tga")));
    ExpectUnchanged(colourOnly, colourBefore);
}

TEST(GreyScale, AveragesColourAndKeepsAlpha) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {10, 20, 33, 99, 255, 255, 254, 0}, 1);
    core::GreyScale(store);
    EXPECT_EQ(StorePixels(store), (Pixels{21, 21, 21, 99, 254, 254, 254, 0}));

    core::ImageStore rgb;
    FillStore(rgb, 1, 1, 3, {10, 20, 33});
    core::GreyScale(rgb);
    EXPECT_EQ(StorePixels(rgb), (Pixels{21, 21, 21}));
}

TEST(NonUniformColour, EvenPlacementFollowsTheByteSteps) {
    core::ImageStore store;
    FillStore(store, 4, 4, 3, Uniform(16, 3, {200, 50, 50}));
    std::mt19937 rng(1);
    core::NonUniformColour(store, 3, 20, false, rng);
    Pixels expected(16, 200);
    expected[0] = expected[5] = expected[10] = 180;
    EXPECT_EQ(Reds(store), expected);
    // Only red moves.
    for (size_t i = 0; i < store.PixelBuffer.size(); i += 3) {
        EXPECT_EQ(store.PixelBuffer[i + 1], 50);
        EXPECT_EQ(store.PixelBuffer[i + 2], 50);
    }

    // A dark red goes up. Steps smaller than a pixel change each pixel once:
    // changing 118 twice would give 118 again.
    core::ImageStore dark;
    FillStore(dark, 1, 1, 4, {118, 0, 0, 255});
    core::NonUniformColour(dark, 5, 20, false, rng);
    EXPECT_EQ(StorePixels(dark), (Pixels{138, 0, 0, 255}));
    core::ImageStore small;
    FillStore(small, 3, 1, 3, Uniform(3, 3, {118, 0, 0}));
    core::NonUniformColour(small, 4, 20, false, rng);  // bytes 0, 2, 4, 6: pixels 0, 0, 1, 2
    EXPECT_EQ(Reds(small), (Pixels{138, 138, 138}));
}

TEST(NonUniformColour, RandomPlacementChangesDistinctPixelsAndAlwaysEnds) {
    std::mt19937 rng(42);
    core::ImageStore store;
    FillStore(store, 4, 4, 3, Uniform(16, 3, {200, 50, 50}));
    core::NonUniformColour(store, 1, 20, true, rng);
    Pixels reds = Reds(store);
    EXPECT_EQ(reds[0], 200);
    EXPECT_EQ(std::count(reds.begin(), reds.end(), 180), 1);
    EXPECT_EQ(std::count(reds.begin(), reds.end(), 200), 15);

    core::ImageStore bigger;
    FillStore(bigger, 8, 8, 4, Uniform(64, 4, {30, 1, 2, 3}));
    core::NonUniformColour(bigger, 5, 7, true, rng);
    reds = Reds(bigger);
    EXPECT_EQ(reds[0], 30);
    EXPECT_EQ(std::count(reds.begin(), reds.end(), 37), 5);

    // Fewer pixels of the reference red than asked for: all of them change, and
    // the call returns.
    core::ImageStore sparse;
    FillStore(sparse, 4, 1, 3, {90, 0, 0, 5, 0, 0, 90, 0, 0, 90, 0, 0});
    core::NonUniformColour(sparse, 6, 20, true, rng);
    EXPECT_EQ(Reds(sparse), (Pixels{90, 5, 110, 110}));

    core::ImageStore lone;
    FillStore(lone, 1, 1, 3, {90, 0, 0});
    core::NonUniformColour(lone, 3, 20, true, rng);
    EXPECT_EQ(Reds(lone), (Pixels{90}));

    // The generator alone decides the placement.
    core::ImageStore first, second;
    FillStore(first, 16, 16, 3, Uniform(256, 3, {128, 0, 0}));
    FillStore(second, 16, 16, 3, Uniform(256, 3, {128, 0, 0}));
    std::mt19937 a(9), b(9);
    core::NonUniformColour(first, 10, 20, true, a);
    core::NonUniformColour(second, 10, 20, true, b);
    EXPECT_EQ(StorePixels(first), StorePixels(second));
    reds = Reds(first);
    EXPECT_EQ(std::count(reds.begin(), reds.end(), 108), 10);
}

}  // namespace
