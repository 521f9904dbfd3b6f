// JPEG reading and writing through libjpeg, checked against libjpeg-turbo's own
// djpeg where it is installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

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

bool LoadBytes(core::ImageStore& store, const TempDir& dir, const std::string& name, const Bytes& bytes) {
    testing_support::WriteBytes(dir.File(name), bytes);
    return core::LoadImage(store, dir.File(name));
}

TEST(LoadJpg, GivesThreeBytesPerPixelBottomRowFirst) {
    TempDir dir;
    core::ImageStore store;
    Bytes flat;
    for (int i = 0; i < 6; ++i) flat.insert(flat.end(), {200, 100, 50});
    ASSERT_TRUE(LoadBytes(store, dir, "flat.jpg", EncodeJpeg(3, 2, 3, JCS_RGB, flat)));
    EXPECT_EQ(store.Image.Width, 3);
    EXPECT_EQ(store.Image.Height, 2);
    EXPECT_EQ(store.Image.DataSize, 18);
    EXPECT_EQ(store.Image.AlphaKind, 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Bytes(store.Image.Data + i * 3, store.Image.Data + i * 3 + 3),
                  Bytes(store.Image.Data, store.Image.Data + 3));
        EXPECT_NEAR(store.Image.Data[i * 3], 200, 2);
    }

    // Top 8 rows white, bottom 8 black: the top row is the last in Data.
    Bytes grey(8 * 16, 0);
    std::fill(grey.begin(), grey.begin() + 64, 255);
    ASSERT_TRUE(LoadBytes(store, dir, "grey.jpg", EncodeJpeg(8, 16, 1, JCS_GRAYSCALE, grey)));
    ASSERT_EQ(store.Image.DataSize, 8 * 16 * 3);
    EXPECT_LT(store.Image.Data[0], 10);
    EXPECT_GT(store.Image.Data[store.Image.DataSize - 1], 245);
    for (int i = 0; i < store.Image.DataSize; i += 3) {
        EXPECT_EQ(store.Image.Data[i], store.Image.Data[i + 1]);
        EXPECT_EQ(store.Image.Data[i], store.Image.Data[i + 2]);
    }

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
    const Bytes good = EncodeJpeg(16, 16, 3, JCS_RGB, Bytes(16 * 16 * 3, 90));
    Bytes tooWide = good;
    // The frame header's width, raised to 9000: refused before decoding.
    for (size_t i = 0; i + 8 < tooWide.size(); ++i) {
        if (tooWide[i] == 0xFF && tooWide[i + 1] == 0xC0) {
            tooWide[i + 7] = 9000 >> 8, tooWide[i + 8] = 9000 & 0xFF;
            break;
        }
    }
    const std::pair<std::string, Bytes> refused[] = {
        {"junk.jpg", Bytes(500, 0x41)},
        {"empty.jpg", {}},
        {"header-only.jpg", Bytes(good.begin(), good.begin() + 20)},
        {"wide.jpg", tooWide},
    };
    for (const auto& [name, bytes] : refused) {
        EXPECT_FALSE(LoadBytes(store, dir, name, bytes)) << name;
        EXPECT_FALSE(store.ImageLoaded);
        EXPECT_EQ(store.LoadErrorText, "Couldn't load JPG file in \"" + name + "\"");
    }
    EXPECT_FALSE(core::LoadImage(store, dir.File("none.jpg")));
    EXPECT_EQ(store.LoadErrorText, "Couldn't load JPG file in \"none.jpg\"");
    // Cut inside the scan: libjpeg fills the rest, as djpeg does.
    Bytes noise(64 * 64 * 3);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    const Bytes busy = EncodeJpeg(64, 64, 3, JCS_RGB, noise);
    EXPECT_TRUE(LoadBytes(store, dir, "cut.jpg", Bytes(busy.begin(), busy.begin() + busy.size() * 3 / 4)));
}

// A P6 or P5 file as djpeg writes it, as red-green-blue rows top-down.
Bytes ReadPnm(const std::string& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int max = 0;
    in >> magic >> width >> height >> max;
    in.get();
    const int channels = magic == "P6" ? 3 : 1;
    Bytes raw(static_cast<size_t>(width) * height * channels);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (channels == 3) return raw;
    Bytes rgb;
    for (uint8_t v : raw) rgb.insert(rgb.end(), 3, v);
    return rgb;
}

TEST(LoadJpg, GivesTheSamePixelsAsDjpeg) {
    TempDir dir;
    if (std::system("djpeg -version </dev/null >/dev/null 2>&1") != 0) GTEST_SKIP() << "djpeg is not installed";
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
        int width = 0, height = 0;
        const Bytes expected = ReadPnm(pnm, width, height);
        core::ImageStore store;
        ASSERT_TRUE(core::LoadImage(store, file)) << store.LoadErrorText;
        ASSERT_EQ(store.Image.Width, width);
        ASSERT_EQ(store.Image.Height, height);
        const size_t row = static_cast<size_t>(width) * 3;
        for (int y = 0; y < height; ++y) {
            const uint8_t* got = store.Image.Data + (height - 1 - y) * row;
            ASSERT_EQ(Bytes(got, got + row), Bytes(expected.begin() + y * row, expected.begin() + (y + 1) * row))
                << file << " row " << y;
        }
    }
}

TEST(SaveJpg, WritesTheColourPictureAtomically) {
    TempDir dir;
    core::ImageStore store;
    Bytes pixels;
    for (int i = 0; i < 64; ++i) pixels.insert(pixels.end(), {30, 160, 220, 0});
    testing_support::FillStore(store, 8, 8, 4, pixels);
    store.AlphaView = true;  // the alpha picture is all black; the copy must hold colour
    ASSERT_TRUE(core::SaveImage(store, dir.File("copy.JPG"))) << store.LoadErrorText;
    ASSERT_TRUE(core::LoadImage(store, dir.File("copy.JPG"))) << store.LoadErrorText;
    EXPECT_EQ(store.Image.DataSize, 8 * 8 * 3);
    EXPECT_NEAR(store.Image.Data[0], 30, 3);
    EXPECT_NEAR(store.Image.Data[1], 160, 3);
    EXPECT_NEAR(store.Image.Data[2], 220, 3);

    EXPECT_FALSE(core::SaveImage(store, dir.File("missing/c.jpg")));
    EXPECT_EQ(store.LoadErrorText, "Couldn't save JPG file \"c.jpg\"");
}

}  // namespace
