// Windows bitmaps: the direct path for plain power-of-two files, the complete
// decoder for everything else, and the BMP writer.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>

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

// Loads each file and compares the whole store, or only its first pixel.
void ExpectLoads(const BmpFile& file, const Bytes& expected, bool firstPixelOnly = false) {
    Loaded r = Load(file);
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(r.store.Image.AlphaKind, 0);
    const Bytes got = Pixels(r.store);
    EXPECT_EQ(firstPixelOnly ? Bytes(got.begin(), got.begin() + 3) : got, expected);
}

TEST(LoadBmp, ReadsPlainPowerOfTwoFilesStraight) {
    Bytes rgb24(48, 0);
    rgb24[0] = 10, rgb24[1] = 20, rgb24[2] = 30;
    ExpectLoads({.pixels = rgb24}, {30, 20, 10}, true);
    ExpectLoads({.bits = 8, .pixels = Bytes(16, 7)}, Bytes(48, 7));  // no palette: grey
    ExpectLoads({.bits = 8, .afterHeader = Palette(256, 4, {{3, {255, 0, 0, 0}}}), .pixels = Bytes(16, 3)},
                {0, 0, 255}, true);
    // Widths 1 and 2 keep their rows' padding.
    ExpectLoads({.width = 1, .height = 2, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}}, {3, 2, 1, 6, 5, 4});
    ExpectLoads({.width = 2, .height = 1, .bits = 8, .pixels = {1, 2, 0, 0}}, {1, 1, 1, 2, 2, 2});
    // With no count, the palette fills the gap before the pixels, measured from
    // the header's own end: 3-byte entries after an OS/2 header, 4 after a V5.
    ExpectLoads({.bits = 8, .infoSize = 12, .afterHeader = Palette(256, 3, {{1, {0, 0, 255}}}),
                 .pixels = Bytes(16, 1)}, {255, 0, 0}, true);
    ExpectLoads({.bits = 8, .infoSize = 124, .afterHeader = Palette(256, 4), .pixels = Bytes(16, 9)}, Bytes(48, 9));
}

TEST(LoadBmp, NamesTheStepThatFailedAndLeavesTheStoreEmpty) {
    const std::pair<BmpFile, std::string> cases[] = {
        {{.bits = 8, .clrUsed = 100, .afterHeader = Palette(100, 4), .pixels = Bytes(16)},
         "Bitmap format not supported in \"x.bmp\""},
        {{.bits = 8, .pixels = Bytes(16), .offBits = 50}, "Bitmap format not supported in \"x.bmp\""},
        {{.bits = 8, .clrUsed = 256, .afterHeader = Palette(200, 4)}, "Error reading palette in \"x.bmp\""},
        {{.pixels = Bytes(40)}, "Error reading bitmap data in \"x.bmp\""},
        {{.width = 8193, .height = 1}, "Couldn't load Bitmap - \"x.bmp\""},
        {{.width = 4000, .height = 4000, .pixels = Bytes(100)}, "Couldn't load Bitmap - \"x.bmp\""},
        {{.width = 3, .height = 3, .infoSize = 16, .pixels = Bytes(36)}, "Couldn't load Bitmap - \"x.bmp\""},
    };
    for (const auto& [file, message] : cases) {
        Loaded r = Load(file);
        EXPECT_FALSE(r.ok || r.store.ImageLoaded || !r.store.PixelBuffer.empty()) << message;
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
    Loaded r = Load({.width = 3, .height = 1, .bits = 4, .afterHeader = Palette(16, 4), .pixels = {0x12, 0x30, 0, 0}});
    ASSERT_TRUE(r.ok) << r.store.LoadErrorText;
    EXPECT_EQ(Pixels(r.store), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(r.notices, std::vector<std::string>{" Bitmap is 4 bit(s) per pixel.. converting.."});

    ExpectLoads({.width = 100, .height = 1, .pixels = Bytes(300, 5)}, Bytes(300, 5));
    // 5-5-5 by default: 0x7FFF is white, 0x001F pure blue.
    ExpectLoads({.width = 2, .height = 1, .bits = 16, .pixels = {0xFF, 0x7F, 0x1F, 0x00}}, {255, 255, 255, 0, 0, 255});
    // Bit fields after a 40-byte header, rows top-down.
    Bytes masks(12, 0);
    Put32(masks, 0, 0x000000FF), Put32(masks, 4, 0x0000FF00), Put32(masks, 8, 0x00FF0000);
    ExpectLoads({.width = 1, .height = -2, .bits = 32, .compression = 3, .afterHeader = masks,
                 .pixels = {1, 2, 3, 0, 4, 5, 6, 0}}, {4, 5, 6, 1, 2, 3});
}

TEST(LoadBmp, RunLengthStreamsStayInsideThePicture) {
    // 4 x 3, RLE8: a run, end of line; an odd absolute run with its pad byte,
    // end of line; a delta of two pixels, a run too long for the row, end.
    // Skipped pixels take palette entry 0.
    Bytes expected;
    for (int i : {5, 5, 5, 0, 1, 2, 3, 0, 0, 0, 7, 7}) expected.insert(expected.end(), 3, static_cast<uint8_t>(i));
    ExpectLoads({.width = 4, .height = 3, .bits = 8, .compression = 1, .clrUsed = 256, .afterHeader = Palette(256, 4),
                 .pixels = {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 0, 9, 7, 0, 1}}, expected);
    // RLE4 with an odd absolute run, then a delta far outside the picture.
    ExpectLoads({.width = 4, .height = 1, .bits = 4, .compression = 2, .afterHeader = Palette(16, 4),
                 .pixels = {0, 3, 0x12, 0x30, 0, 2, 200, 200, 4, 0x99, 0, 1}}, {1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0});
    // A few bytes may not stand for a huge picture.
    EXPECT_FALSE(Load({.width = 8192, .height = 8192, .bits = 8, .compression = 1, .clrUsed = 256,
                       .afterHeader = Palette(256, 4), .pixels = {0, 1}}).ok);
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
        ASSERT_EQ(store.Image.DataSize, ref.width() * ref.height() * 3);
        int skipped = 0;
        for (int y = 0; y < ref.height(); ++y) {
            for (int x = 0; x < ref.width(); ++x) {
                const uint8_t* got = store.Image.Data + ((ref.height() - 1 - y) * ref.width() + x) * 3;
                const bool same = std::equal(got, got + 3, ref.constScanLine(y) + x * 3);
                const bool paletteEntry0 = got[0] == 128 && got[1] == 0 && got[2] == 255;
                EXPECT_TRUE(same || paletteEntry0) << name << " " << x << "," << y;
                skipped += !same;
            }
        }
        EXPECT_EQ(skipped > 0, std::string(name).find("trns") != std::string::npos) << name;
    }
}

TEST(SaveImage, WritesBmpBottomUpWithStandardHeaders) {
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
    EXPECT_EQ(store.LoadErrorText, "Couldn't save Bitmap - \"c.bmp\"");
    EXPECT_FALSE(core::SaveImage(store, dir.File("missing/c.jpg")));
    EXPECT_EQ(store.LoadErrorText, "Couldn't save JPG file \"c.jpg\"");
}

}  // namespace
