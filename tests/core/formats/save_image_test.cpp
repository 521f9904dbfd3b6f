#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <tuple>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "tests/support/image_files.h"

using namespace testing_support;

namespace fs = std::filesystem;

TEST(SaveImage, ThirtyTwoBitFileBackThroughTheReaderAndRefusals) {
    TempDir dir;
    testing_support::TestStore store;
    // The 24-bit layout is checked byte for byte with SaveColourImage.
    const std::vector<uint8_t> px = TestPixels(5, 3, false, true);
    FillImage(store.Current, 5, 3, 4, px, 1);
    ASSERT_TRUE(testing_support::Save(store, dir.File("b.TGA")));  // extension in any case
    testing_support::TestStore back;
    ASSERT_TRUE(testing_support::Load(back, dir.File("b.TGA")));
    EXPECT_EQ(std::make_tuple(back.Current.Width, back.Current.Height, back.Current.AlphaKind),
              std::make_tuple(5, 3, 1));
    EXPECT_EQ(
        std::vector<uint8_t>(back.Current.Data(), back.Current.Data() + back.Current.DataSize()),
        px);

    // What it cannot write is refused with a message, and no file appears.
    testing_support::TestStore empty;
    EXPECT_FALSE(testing_support::Save(empty, dir.File("empty.tga")));  // nothing loaded
    EXPECT_FALSE(testing_support::Save(store, dir.File("x.jpe")));
    EXPECT_EQ(store.error, "File type not supported \"x.jpe\".");
    EXPECT_EQ(EntriesIn(dir.path().string()), 1);
}

#if !defined(_WIN32)
// A file written again keeps the mode it had; a new one gets the mode any new
// file gets here. Windows has no modes beyond the read-only mark.
TEST(SaveImage, ReplacedFilesKeepTheirMode) {
    TempDir dir;
    testing_support::TestStore store;
    FillImage(store.Current, 2, 2, 3, std::vector<uint8_t>(12, 5));
    const std::string target = dir.File("mode.tga");
    WriteBytes(target, {'o', 'l', 'd'});
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(testing_support::Save(store, target));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(target).size(), 18u + 12u);

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(testing_support::Save(store, dir.File("new.tga")));
    ::umask(mask);
    ASSERT_EQ(::stat(dir.File("new.tga").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(EntriesIn(dir.path().string()), 2);
}
#endif

// The corpus checks the description written beside a texture saved in its own
// folder. A save under another name there renames the TGA in its lines, in
// its own case; a save into another folder writes the description beside the
// TGA, named after it, and leaves the texture's own alone. One that comes out
// the same is left alone; after another image is read none is written.
TEST(SaveImage, DescriptionBesideItsTgaUntilAnotherImageIsRead) {
    TempDir dir;
    fs::create_directories(dir.path() / "Out");
    const std::string texture = dir.File("wagon.texture"), description = texture + ".txt";
    testing_support::TestStore store;
    FillImage(store.Current, 1, 1, 4, {1, 2, 3, 4});
    store.Current.TextureFileName = texture;
    store.Current.Description = {"Primary=wagon.tga", "Alpha=wagon.tga", "Tile=st"};
    store.Current.HasDescription = true;

    ASSERT_TRUE(testing_support::Save(store, dir.File("Wagon1.tga")));
    EXPECT_EQ(ReadText(description), "Primary=Wagon1.tga\r\nAlpha=Wagon1.tga\r\nTile=st\r\n");
    WriteBytes(description, {'m', 'i', 'n', 'e'});
    ASSERT_TRUE(testing_support::Save(store, (dir.path() / "Out" / "Copy.TGA").string()));
    const std::string copyDescription = (dir.path() / "Out" / "Copy.texture.txt").string();
    EXPECT_EQ(ReadText(copyDescription), "Primary=Copy.TGA\r\nAlpha=Copy.TGA\r\nTile=st\r\n");
    EXPECT_EQ(ReadText(description), "mine");

    // Dated back a day (in whole seconds, which every system keeps): a rewrite
    // would date it now.
    const fs::file_time_type dayOld = std::chrono::floor<std::chrono::seconds>(
        fs::last_write_time(copyDescription) - std::chrono::hours(24));
    fs::last_write_time(copyDescription, dayOld);
    ASSERT_TRUE(testing_support::Save(store, (dir.path() / "Out" / "Copy.TGA").string()));
    EXPECT_EQ(fs::last_write_time(copyDescription), dayOld);

    fs::remove(description);
    WriteBytes(dir.File("plain.tga"), MakeTga(1, 1, 24, {1, 2, 3}));
    ASSERT_TRUE(testing_support::Load(store, dir.File("plain.tga")));
    ASSERT_TRUE(testing_support::Save(store, dir.File("wagon.tga")));
    EXPECT_FALSE(fs::exists(description));
}
