// Windows bitmaps: the direct path for plain power-of-two files, the complete
// decoder's run-length streams, refusals, and the BMP writer. Plain palette,
// bit-field and run-length files are in the corpus; these are the cases it
// lacks.
#include <gtest/gtest.h>

#include "core/formats/save_image.h"
#include "tests/core/formats/reader_checks.h"

using namespace testing_support;

// The files below are described with designated initializers that name only
// the fields that differ from a plain 4 x 4, 24-bit bitmap.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using reader_checks::BmpFile;
using reader_checks::Bytes;
using reader_checks::MakeBmp;

// A palette of `count` four-byte entries; entry i is (i, i, i).
Bytes Palette(int count) {
    Bytes p(static_cast<size_t>(count) * 4);
    for (int i = 0; i < count; ++i)
        p[i * 4] = p[i * 4 + 1] = p[i * 4 + 2] = static_cast<uint8_t>(i);
    return p;
}

void ExpectLoads(const BmpFile& file, const Bytes& expected) {
    testing_support::TestStore store;
    ASSERT_TRUE(reader_checks::LoadBytes(store, MakeBmp(file), "x.bmp")) << store.error;
    EXPECT_EQ(reader_checks::Pixels(store), expected);
}

TEST(LoadBmp, EightBitDirectPathWithAndWithoutAPalette) {
    ExpectLoads({.bits = 8, .pixels = Bytes(16, 7)}, Bytes(48, 7));  // no palette: grey
    // With no count, the palette fills the gap before the pixels, measured from
    // the header's own end.
    ExpectLoads({.bits = 8, .infoSize = 124, .afterHeader = Palette(256), .pixels = Bytes(16, 9)},
                Bytes(48, 9));
}

TEST(LoadBmp, NamesTheStepThatFailedAndLeavesTheStoreEmpty) {
    reader_checks::ExpectRefusals(
        "x.bmp", {{MakeBmp({.bits = 8, .pixels = Bytes(16), .offBits = 50}),
                   "Bitmap format not supported in \"x.bmp\""},
                  {MakeBmp({.bits = 8, .clrUsed = 256, .afterHeader = Palette(200)}),
                   "Error reading palette in \"x.bmp\""},
                  {MakeBmp({.pixels = Bytes(40)}), "Error reading bitmap data in \"x.bmp\""},
                  {MakeBmp({.width = 3, .height = 3, .infoSize = 16, .pixels = Bytes(36)}),
                   "Couldn't load Bitmap - \"x.bmp\""}});
}

TEST(LoadBmp, RunLengthStreamsStayInsideThePicture) {
    // 4 x 3, RLE8: a run, end of line; an odd absolute run with its pad byte,
    // end of line; a delta of two pixels, a run too long for the row, end.
    // Skipped pixels take palette entry 0.
    Bytes expected;
    for (int i : {5, 5, 5, 0, 1, 2, 3, 0, 0, 0, 7, 7})
        expected.insert(expected.end(), 3, static_cast<uint8_t>(i));
    BmpFile rle8{.width = 4, .height = 3, .bits = 8, .compression = 1, .clrUsed = 256};
    rle8.afterHeader = Palette(256);
    rle8.pixels = {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 0, 9, 7, 0, 1};
    ExpectLoads(rle8, expected);
    // RLE4 with a delta far outside the picture, then a run past it.
    BmpFile rle4{.width = 4, .height = 1, .bits = 4, .compression = 2, .afterHeader = Palette(16)};
    rle4.pixels = {2, 0x12, 0, 2, 200, 200, 4, 0x99, 0, 1};
    ExpectLoads(rle4, {1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0});
    // A few bytes may not stand for a huge picture.
    rle8.width = rle8.height = 8192, rle8.pixels = {0, 1};
    testing_support::TestStore store;
    EXPECT_FALSE(reader_checks::LoadBytes(store, MakeBmp(rle8), "x.bmp"));
}

TEST(SaveImage, WritesBmpBottomUpWithStandardHeaders) {
    TempDir dir;
    testing_support::TestStore store;
    FillImage(store.Current, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(testing_support::Save(store, dir.File("a.BMP")));
    Bytes expected = MakeBmp({.width = 2, .height = 1, .pixels = {3, 2, 1, 6, 5, 4, 0, 0}});
    PutLE32(expected, 2, 62), PutLE32(expected, 34, 8);  // file and image sizes
    EXPECT_EQ(ReadBytes(dir.File("a.BMP")), expected);

    // 4 bytes per pixel: 32 bits with the alpha byte, colours even while the
    // alpha channel is on view.
    FillImage(store.Current, 1, 2, 4, {1, 2, 3, 40, 5, 6, 7, 80});
    store.AlphaView = true;
    ASSERT_TRUE(testing_support::Save(store, dir.File("b.bmp")));
    const Bytes b = ReadBytes(dir.File("b.bmp"));
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()), (Bytes{3, 2, 1, 40, 7, 6, 5, 80}));

    EXPECT_FALSE(testing_support::Save(store, dir.File("missing/c.bmp")));
    EXPECT_EQ(store.error, "Couldn't save Bitmap - \"c.bmp\"");
}

}  // namespace
