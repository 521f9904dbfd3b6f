// JPEG reading and writing through libjpeg, checked against libjpeg-turbo's own
// djpeg where it is installed.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdlib>

#include <jpeglib.h>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::TempDir;
using Bytes = std::vector<uint8_t>;

// Encodes top-down pixels of `components` channels in `space`.
Bytes EncodeJpeg(int width, int height, int components, J_COLOR_SPACE space, const Bytes& pixels,
                 bool progressive = false) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + cinfo.next_scanline * width * components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes result(out, out + size);
    std::free(out);
    return result;
}

constexpr uint8_t kSof0[] = {0xFF, 0xC0};

bool LoadBytes(core::ImageStore& store, const TempDir& dir, const std::string& name, const Bytes& bytes) {
    testing_support::WriteBytes(dir.File(name), bytes);
    return core::LoadImage(store, dir.File(name));
}

TEST(LoadJpg, GivesThreeBytesPerPixelFromRgbAndCmyk) {
    TempDir dir;
    core::ImageStore store;
    Bytes flat;
    for (int i = 0; i < 6; ++i) flat.insert(flat.end(), {200, 100, 50});
    ASSERT_TRUE(LoadBytes(store, dir, "flat.jpg", EncodeJpeg(3, 2, 3, JCS_RGB, flat)));
    EXPECT_EQ(store.Image.Width, 3);
    EXPECT_EQ(store.Image.Height, 2);
    EXPECT_EQ(store.Image.AlphaKind, 0);
    ASSERT_EQ(store.Image.DataSize, 18);
    for (int i = 3; i < 18; ++i) EXPECT_EQ(store.Image.Data[i], store.Image.Data[i % 3]);
    EXPECT_NEAR(store.Image.Data[0], 200, 2);
    // Grey files and the order of rows are checked against djpeg below.

    // CMYK as Adobe writes it (inverted), in 8 x 8 blocks: white, red, and
    // black made by K alone.
    Bytes cmyk;
    for (int y = 0; y < 8; ++y) {
        for (Bytes ink : {Bytes{255, 255, 255, 255}, Bytes{255, 0, 0, 255}, Bytes{255, 255, 255, 0}})
            for (int x = 0; x < 8; ++x) cmyk.insert(cmyk.end(), ink.begin(), ink.end());
    }
    ASSERT_TRUE(LoadBytes(store, dir, "cmyk.jpg", EncodeJpeg(24, 8, 4, JCS_CMYK, cmyk)));
    const Bytes expected = {255, 255, 255, 255, 0, 0, 0, 0, 0};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(store.Image.Data[(i / 3) * 24 + i % 3 + 12], expected[i], 3) << i;
}

TEST(LoadJpg, RefusesWhatLibjpegCannotDecodeWithoutEndingTheProcess) {
    TempDir dir;
    core::ImageStore store;
    Bytes noise(64 * 64 * 3);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    const Bytes good = EncodeJpeg(64, 64, 3, JCS_RGB, noise);
    Bytes tooWide = good;  // the frame header's width raised to 9000
    const size_t frame = std::search(good.begin(), good.end(), kSof0, kSof0 + 2) - good.begin();
    tooWide[frame + 7] = 9000 >> 8, tooWide[frame + 8] = 9000 & 0xFF;
    for (const auto& [name, bytes] : {std::pair<std::string, Bytes>{"junk.jpg", Bytes(500, 0x41)},
                                      {"header-only.jpg", Bytes(good.begin(), good.begin() + 20)},
                                      {"wide.jpg", tooWide}}) {
        EXPECT_FALSE(LoadBytes(store, dir, name, bytes) || store.ImageLoaded) << name;
        EXPECT_EQ(store.LoadErrorText, "Couldn't load JPG file in \"" + name + "\"");
    }
    // Cut inside the scan: libjpeg fills the rest, as djpeg does.
    EXPECT_TRUE(LoadBytes(store, dir, "cut.jpg", Bytes(good.begin(), good.begin() + good.size() * 3 / 4)));
}

// djpeg's output at its defaults, read through Qt's PPM/PGM reader, must equal
// what the reader gives, byte for byte.
TEST(LoadJpg, GivesTheSamePixelsAsDjpeg) {
    if (std::system("djpeg -version </dev/null >/dev/null 2>&1") != 0) GTEST_SKIP() << "djpeg is not installed";
    TempDir dir;
    Bytes gradient(37 * 23 * 3);
    for (size_t i = 0; i < gradient.size(); ++i) gradient[i] = static_cast<uint8_t>(i * 7 + i / 111);
    std::vector<std::string> files = {dir.File("baseline.jpg"), dir.File("progressive.jpg")};
    testing_support::WriteBytes(files[0], EncodeJpeg(37, 23, 3, JCS_RGB, gradient));
    testing_support::WriteBytes(files[1], EncodeJpeg(37, 23, 3, JCS_RGB, gradient, true));
    if (const std::string corpus = testing_support::CorpusDir(); !corpus.empty()) {
        for (const char* name : {"hopper.jpg", "hopper_gray.jpg", "hopper_16bit_qtables.jpg"})
            files.push_back(corpus + "/jpeg/" + name);
    }
    for (const std::string& file : files) {
        const std::string pnm = dir.File("out.pnm");
        ASSERT_EQ(std::system(("djpeg -outfile '" + pnm + "' '" + file + "'").c_str()), 0) << file;
        const QImage expected = QImage(QString::fromStdString(pnm)).convertToFormat(QImage::Format_RGB888);
        core::ImageStore store;
        ASSERT_TRUE(core::LoadImage(store, file)) << store.LoadErrorText;
        ASSERT_EQ(store.Image.DataSize, expected.width() * expected.height() * 3) << file;
        const size_t row = static_cast<size_t>(expected.width()) * 3;
        for (int y = 0; y < expected.height(); ++y) {
            const uint8_t* got = store.Image.Data + (expected.height() - 1 - y) * row;
            ASSERT_TRUE(std::equal(got, got + row, expected.constScanLine(y))) << file << " row " << y;
        }
    }
}

}  // namespace
