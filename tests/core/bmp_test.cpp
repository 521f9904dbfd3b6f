// Windows bitmaps: the direct path for plain power-of-two files, the complete
// decoder for everything else, and the BMP writer.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <filesystem>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

// The files below are described with designated initializers that name only
// the fields that differ from a plain 4 x 4, 24-bit bitmap.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using testing_support::TempDir;
using testing_support::WriteBytes;
using Bytes = std::vector<uint8_t>;

struct BmpFile {
    int32_t width = 4;
    int32_t height = 4;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t infoSize = 40;
    Bytes afterHeader;     // masks and palette
    Bytes pixels;          // as stored
    int64_t offBits = -1;  // default: right after afterHeader
};

void Put32(Bytes& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes MakeBmp(const BmpFile& b) {
    Bytes f(14 + b.infoSize, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 10, b.offBits >= 0 ? b.offBits : 14 + b.infoSize + b.afterHeader.size());
    Put32(f, 14, b.infoSize);
    if (b.infoSize == 12) {
        f[18] = static_cast<uint8_t>(b.width), f[19] = static_cast<uint8_t>(b.width >> 8);
        f[20] = static_cast<uint8_t>(b.height), f[21] = static_cast<uint8_t>(b.height >> 8);
        f[22] = 1, f[24] = static_cast<uint8_t>(b.bits);
    } else {
        Put32(f, 18, b.width), Put32(f, 22, b.height);
        f[26] = 1, f[28] = static_cast<uint8_t>(b.bits);
        if (b.infoSize >= 40) Put32(f, 30, b.compression), Put32(f, 46, b.clrUsed);
    }
    f.insert(f.end(), b.afterHeader.begin(), b.afterHeader.end());
    f.insert(f.end(), b.pixels.begin(), b.pixels.end());
    return f;
}

// A palette of `count` entries of `entrySize` bytes; entry i is (i, i, i) except
// the ones given as blue, green, red.
Bytes Palette(int count, int entrySize, std::vector<std::pair<int, Bytes>> set = {}) {
    Bytes p(static_cast<size_t>(count) * entrySize);
    for (int i = 0; i < count; ++i) p[i * entrySize] = p[i * entrySize + 1] = p[i * entrySize + 2] = i;
    for (auto& [i, bgr] : set) std::copy(bgr.begin(), bgr.end(), p.begin() + i * entrySize);
    return p;
}

Bytes Pixels(const core::ImageStore& s) { return Bytes(s.PixelBuffer.begin(), s.PixelBuffer.end()); }

struct Loaded {
    bool ok;
    core::ImageStore store;
    std::vector<std::string> notices;
};

Loaded Load(const BmpFile& b, const std::string& name = "x.bmp") {
    TempDir dir;
    WriteBytes(dir.File(name), MakeBmp(b));
    Loaded r{false, {}, {}};
    r.store.Notice = [&r](const std::string& line) { r.notices.push_back(line); };
    r.ok = core::LoadImage(r.store, dir.File(name));
    r.store.Notice = nullptr;
    return r;
}

TEST(LoadBmp, ReadsPlainPowerOfTwoFilesStraight) {
    Bytes rgb24(48, 0);
    rgb24[0] = 10, rgb24[1] = 20, rgb24[2] = 30;
    Loaded r = Load({.pixels = rgb24});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Bytes(r.store.PixelBuffer.begin(), r.store.PixelBuffer.begin() + 3), (Bytes{30, 20, 10}));
    EXPECT_EQ(r.store.Image.DataSize, 48);
    EXPECT_EQ(r.store.Image.AlphaKind, 0);

    r = Load({.bits = 8, .pixels = Bytes(16, 7)});  // no palette: grey
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Pixels(r.store), Bytes(48, 7));

    r = Load({.bits = 8, .afterHeader = Palette(256, 4, {{3, {255, 0, 0, 0}}}), .pixels = Bytes(16, 3)});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Bytes(r.store.PixelBuffer.begin(), r.store.PixelBuffer.begin() + 3), (Bytes{0, 0, 255}));

    // Widths 1 and 2 keep their rows' padding.
    r = Load({.width = 1, .height = 2, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Pixels(r.store), (Bytes{3, 2, 1, 6, 5, 4}));
    r = Load({.width = 2, .height = 2, .bits = 8, .pixels = {1, 2, 0, 0, 3, 4, 0, 0}});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Pixels(r.store), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}));

    // The palette size comes from the gap before the pixels, by the header's
    // own size: 3-byte entries after an OS/2 header, 4-byte ones after a V5.
    r = Load({.bits = 8, .infoSize = 12, .afterHeader = Palette(256, 3, {{1, {0, 0, 255}}}),
              .pixels = Bytes(16, 1)});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Bytes(r.store.PixelBuffer.begin(), r.store.PixelBuffer.begin() + 3), (Bytes{255, 0, 0}));
    r = Load({.bits = 8, .infoSize = 124, .afterHeader = Palette(256, 4), .pixels = Bytes(16, 9)});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Pixels(r.store), Bytes(48, 9));
}

TEST(LoadBmp, NamesTheStepThatFailedAndLeavesTheStoreEmpty) {
    const BmpFile palette100{.bits = 8, .clrUsed = 100, .afterHeader = Palette(100, 4), .pixels = Bytes(16)};
    const BmpFile offsetInsideHeaders{.bits = 8, .pixels = Bytes(16), .offBits = 50};
    BmpFile shortPalette{.bits = 8, .clrUsed = 256, .afterHeader = Palette(200, 4)};
    const BmpFile shortData{.pixels = Bytes(40)};
    const BmpFile tooWide{.width = 8193, .height = 1};
    const BmpFile moreThanTheFileHolds{.width = 4000, .height = 4000, .pixels = Bytes(100)};
    const BmpFile unknownHeader{.width = 3, .height = 3, .infoSize = 16, .pixels = Bytes(36)};
    const std::pair<BmpFile, std::string> cases[] = {
        {palette100, "Bitmap format not supported in \"x.bmp\""},
        {offsetInsideHeaders, "Bitmap format not supported in \"x.bmp\""},
        {shortPalette, "Error reading palette in \"x.bmp\""},
        {shortData, "Error reading bitmap data in \"x.bmp\""},
        {tooWide, "Couldn't load Bitmap - \"x.bmp\""},
        {moreThanTheFileHolds, "Couldn't load Bitmap - \"x.bmp\""},
        {unknownHeader, "Couldn't load Bitmap - \"x.bmp\""},
    };
    for (const auto& [file, message] : cases) {
        Loaded r = Load(file);
        EXPECT_FALSE(r.ok) << message;
        EXPECT_FALSE(r.store.ImageLoaded);
        EXPECT_TRUE(r.store.PixelBuffer.empty());
        EXPECT_EQ(r.store.LoadErrorText, message);
    }

    TempDir dir;
    const Bytes whole = MakeBmp({});
    WriteBytes(dir.File("cut.bmp"), Bytes(whole.begin(), whole.begin() + 30));
    core::ImageStore store;
    EXPECT_FALSE(core::LoadImage(store, dir.File("cut.bmp")));
    EXPECT_EQ(store.LoadErrorText, "Error reading bitmap header in \"cut.bmp\"");
    EXPECT_FALSE(core::LoadImage(store, dir.File("none.bmp")));
    EXPECT_EQ(store.LoadErrorText, "Error opening \"none.bmp\"");
}

TEST(LoadBmp, DecodesEveryOtherLayoutToThreeBytesPerPixel) {
    Loaded r = Load({.width = 100, .height = 64, .pixels = Bytes(300 * 64, 5)});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(r.store.BytesPerPixel(), 3);
    EXPECT_TRUE(r.notices.empty());

    r = Load({.width = 3, .height = 1, .bits = 4, .afterHeader = Palette(16, 4), .pixels = {0x12, 0x30, 0, 0}});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Pixels(r.store), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(r.notices, std::vector<std::string>{" Bitmap is 4 bit(s) per pixel.. converting.."});

    // 5-5-5 by default; 0x7FFF is white, 0x001F pure blue.
    r = Load({.width = 2, .height = 1, .bits = 16, .pixels = {0xFF, 0x7F, 0x1F, 0x00}});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Pixels(r.store), (Bytes{255, 255, 255, 0, 0, 255}));

    // Bit fields after a 40-byte header, rows top-down.
    Bytes masks(12, 0);
    Put32(masks, 0, 0x000000FF), Put32(masks, 4, 0x0000FF00), Put32(masks, 8, 0x00FF0000);
    r = Load({.width = 1, .height = -2, .bits = 32, .compression = 3, .afterHeader = masks,
              .pixels = {1, 2, 3, 0, 4, 5, 6, 0}});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Pixels(r.store), (Bytes{4, 5, 6, 1, 2, 3}));

    // 8192 is not a power of two for the direct path, but the decoder takes it.
    r = Load({.width = 8192, .height = 8, .bits = 1, .afterHeader = Palette(2, 4), .pixels = Bytes(8192)});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(r.store.Image.Width, 8192);
}

TEST(LoadBmp, RunLengthStreamsStayInsideThePicture) {
    // 4 x 3, RLE8: a run, end of line; an odd absolute run with its pad byte,
    // end of line; a delta of two pixels, a run too long for the row, end.
    const Bytes rle8 = {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 0, 9, 7, 0, 1};
    Loaded r = Load({.width = 4, .height = 3, .bits = 8, .compression = 1, .clrUsed = 256,
                     .afterHeader = Palette(256, 4), .pixels = rle8});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    Bytes expected;
    for (int i : {5, 5, 5, 0, 1, 2, 3, 0, 0, 0, 7, 7}) expected.insert(expected.end(), 3, static_cast<uint8_t>(i));
    EXPECT_EQ(Pixels(r.store), expected);  // skipped pixels take palette entry 0

    // RLE4 with an odd absolute run, then a delta far outside the picture.
    r = Load({.width = 4, .height = 1, .bits = 4, .compression = 2, .afterHeader = Palette(16, 4),
              .pixels = {0, 3, 0x12, 0x30, 0, 2, 200, 200, 4, 0x99, 0, 1}});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Pixels(r.store), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0}));

    // A few bytes may not stand for a huge picture.
    r = Load({.width = 8192, .height = 8192, .bits = 8, .compression = 1, .clrUsed = 256,
              .afterHeader = Palette(256, 4), .pixels = {0, 1}});
    EXPECT_FALSE(r.ok);
}

// The corpus's RLE4 references came from a decoder that misreads odd absolute
// runs; the same pictures stored uncompressed (g/pal4.bmp) are the truth.
TEST(LoadBmp, Rle4CorpusFilesMatchTheUncompressedPicture) {
    const std::string dir = testing_support::CorpusDir();
    if (dir.empty()) GTEST_SKIP() << "../shared/corpus is not beside this checkout";
    QImage ref(QString::fromStdString(dir + "/bmp/ref/g_pal4.png"));
    ref = ref.convertToFormat(QImage::Format_RGB888);
    core::ImageStore store;
    for (const char* name : {"/bmp/g/pal4rle.bmp", "/bmp/q/pal4rletrns.bmp"}) {
        ASSERT_TRUE(core::LoadImage(store, dir + name)) << store.LoadErrorText;
        ASSERT_EQ(store.Image.Width, ref.width());
        ASSERT_EQ(store.Image.Height, ref.height());
        int same = 0, skipped = 0;
        for (int y = 0; y < ref.height(); ++y) {
            for (int x = 0; x < ref.width(); ++x) {
                const uint8_t* s = store.Image.Data + ((ref.height() - 1 - y) * ref.width() + x) * 3;
                const uchar* e = ref.constScanLine(y) + x * 3;
                if (s[0] == e[0] && s[1] == e[1] && s[2] == e[2]) ++same;
                else if (s[0] == 128 && s[1] == 0 && s[2] == 255) ++skipped;  // palette entry 0
            }
        }
        EXPECT_EQ(same + skipped, ref.width() * ref.height()) << name;
        EXPECT_EQ(skipped > 0, std::string(name).find("trns") != std::string::npos) << name;
    }
}

TEST(SaveBmp, WritesBottomUpPaddedRowsWithStandardHeaders) {
    TempDir dir;
    core::ImageStore store;
    testing_support::FillStore(store, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(core::SaveImage(store, dir.File("a.BMP")));
    const Bytes a = testing_support::ReadBytes(dir.File("a.BMP"));
    ASSERT_EQ(a.size(), 62u);
    Bytes header = MakeBmp({.width = 2, .height = 1, .pixels = {3, 2, 1, 6, 5, 4, 0, 0}});
    Put32(header, 2, 62), Put32(header, 34, 8);  // file and image sizes
    EXPECT_EQ(a, header);

    // 4 bytes per pixel: 32 bits with the alpha byte, colours even while the
    // alpha channel is on view; read back as colour.
    testing_support::FillStore(store, 1, 2, 4, {1, 2, 3, 40, 5, 6, 7, 80});
    store.AlphaView = true;
    ASSERT_TRUE(core::SaveImage(store, dir.File("b.bmp")));
    const Bytes b = testing_support::ReadBytes(dir.File("b.bmp"));
    ASSERT_EQ(b.size(), 62u);
    EXPECT_EQ(b[28], 32);
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()), (Bytes{3, 2, 1, 40, 7, 6, 5, 80}));
    ASSERT_TRUE(core::LoadImage(store, dir.File("b.bmp"))) << store.LoadErrorText;
    EXPECT_EQ(Pixels(store), (Bytes{1, 2, 3, 5, 6, 7}));

    EXPECT_FALSE(core::SaveImage(store, dir.File("missing/c.bmp")));
    EXPECT_NE(store.LoadErrorText.find("\"c.bmp\""), std::string::npos) << store.LoadErrorText;
}

}  // namespace
