#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/test_support.h"

using testing_support::FillStore;
using testing_support::ReadBytes;
using testing_support::ReadText;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Header(int w, int h, int depth, int descriptor) {
    std::vector<uint8_t> header(18, 0);
    header[2] = 2;
    header[12] = static_cast<uint8_t>(w);
    header[13] = static_cast<uint8_t>(w >> 8);
    header[14] = static_cast<uint8_t>(h);
    header[15] = static_cast<uint8_t>(h >> 8);
    header[16] = static_cast<uint8_t>(depth);
    header[17] = static_cast<uint8_t>(descriptor);
    return header;
}

// A store as the texture reader leaves it for C:\T\wagon.texture.
void FakeTexture(core::ImageStore& store, const std::string& texturePath) {
    FillStore(store, 1, 1, 4, {1, 2, 3, 4});
    store.TextureFileName = texturePath;
    store.TextureDescription = {"Primary=wagon.tga", "Alpha=wagon.tga", "Tile=st", "AlphaHint=masked"};
    store.HasTextureDescription = true;
}

}  // namespace

TEST(SaveImage, TwentyFourAndThirtyTwoBitFilesAsTabled) {
    TempDir dir;
    core::ImageStore store;
    FillStore(store, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(core::SaveImage(store, dir.File("a.tga")));
    std::vector<uint8_t> expected = Header(2, 1, 24, 0);
    expected.insert(expected.end(), {3, 2, 1, 6, 5, 4});
    EXPECT_EQ(ReadBytes(dir.File("a.tga")), expected);

    FillStore(store, 1, 1, 4, {1, 2, 3, 4});
    ASSERT_TRUE(core::SaveImage(store, dir.File("b.TGA")));  // extension in any case
    expected = Header(1, 1, 32, 8);
    expected.insert(expected.end(), {3, 2, 1, 4});
    EXPECT_EQ(ReadBytes(dir.File("b.TGA")), expected);
    EXPECT_EQ(store.Image.Data[0], 1);  // the store is not changed by a save
}

TEST(SaveImage, RoundTripThroughTheReader) {
    TempDir dir;
    core::ImageStore store;
    std::vector<uint8_t> px;
    for (int i = 0; i < 5 * 3 * 4; ++i) px.push_back(static_cast<uint8_t>(i * 7));
    FillStore(store, 5, 3, 4, px, 1);
    ASSERT_TRUE(core::SaveImage(store, dir.File("r.tga")));
    core::ImageStore back;
    ASSERT_TRUE(core::LoadImage(back, dir.File("r.tga")));
    EXPECT_EQ(back.Image.Width, 5);
    EXPECT_EQ(back.Image.Height, 3);
    EXPECT_EQ(back.Image.AlphaKind, 1);
    EXPECT_EQ(std::vector<uint8_t>(back.Image.Data, back.Image.Data + back.Image.DataSize), px);
}

TEST(SaveImage, RefusesWhatItCannotWriteWithAMessage) {
    TempDir dir;
    core::ImageStore store;
    EXPECT_FALSE(core::SaveImage(store, dir.File("empty.tga")));  // nothing loaded
    EXPECT_FALSE(fs::exists(dir.File("empty.tga")));

    FillStore(store, 1, 1, 3, {1, 2, 3});
    for (const char* name : {"x.jpeg", "x.png", "noextension"}) {
        EXPECT_FALSE(core::SaveImage(store, dir.File(name))) << name;
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;
        EXPECT_EQ(store.LoadErrorText, std::string("File type not supported \"") + name + "\".");
    }
}

TEST(SaveImage, AFailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string target = dir.File("keep.tga");
    WriteBytes(target, {'o', 'l', 'd'});
    core::ImageStore store;
    FillStore(store, 16, 16, 4, std::vector<uint8_t>(16 * 16 * 4, 7));
    // Let no file grow past 100 bytes, as a full disk would: the write fails
    // half-way (this works for root too, unlike a read-only folder).
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = core::SaveImage(store, target);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(store.LoadErrorText, "File Save Error in TGA Data");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SaveImage, DescriptionBesideTheTextureKeepsOrRenamesTheImageLines) {
    TempDir dir;
    fs::create_directories(dir.path() / "T");
    fs::create_directories(dir.path() / "Out");
    const std::string texture = (dir.path() / "T" / "wagon.texture").string();
    core::ImageStore store;
    FakeTexture(store, texture);

    ASSERT_TRUE(core::SaveImage(store, (dir.path() / "T" / "Wagon.tga").string()));
    EXPECT_EQ(ReadText(texture + ".txt"),
              "Primary=wagon.tga\r\nAlpha=wagon.tga\r\nTile=st\r\nAlphaHint=masked\r\n");

    ASSERT_TRUE(core::SaveImage(store, (dir.path() / "Out" / "copy.TGA").string()));
    EXPECT_EQ(ReadText(texture + ".txt"),
              "Primary=copy.tga\r\nAlpha=copy.tga\r\nTile=st\r\nAlphaHint=masked\r\n");
    EXPECT_FALSE(fs::exists(dir.path() / "Out" / "copy.TGA.txt"));
}

TEST(SaveImage, NoDescriptionAfterAnotherImageWasRead) {
    TempDir dir;
    const std::string texture = dir.File("wagon.texture");
    core::ImageStore store;
    FakeTexture(store, texture);
    WriteBytes(dir.File("plain.tga"), testing_support::MakeTga(1, 1, 24, {1, 2, 3}));
    ASSERT_TRUE(core::LoadImage(store, dir.File("plain.tga")));
    ASSERT_TRUE(core::SaveImage(store, dir.File("wagon.tga")));
    EXPECT_FALSE(fs::exists(texture + ".txt"));
}

TEST(SaveImage, RenderForSaveAlwaysDrawsTheColourPicture) {
    core::ImageStore store;
    FillStore(store, 1, 1, 4, {10, 20, 30, 40}, 1);
    store.AlphaView = true;
    core::Bitmap bmp;
    core::RenderForSave(store, bmp);
    EXPECT_EQ(bmp.BitsPerPixel(), 32);
    EXPECT_EQ(bmp.Row(0)[0], 30);
    EXPECT_TRUE(store.AlphaView);
}
