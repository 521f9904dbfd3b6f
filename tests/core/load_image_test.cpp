// The loading dispatch: reader choice by extension, read-only files, and what
// a load leaves of the previous image.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/load_image.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

TEST(LoadImage, PicksTheReaderByExtensionInAnyCase) {
    TempDir dir;
    core::ImageStore store;
    // Missing files: each reader's own message shows which one ran.
    const std::pair<std::string, std::string> cases[] = {
        {"photo.JPG", "Couldn't load JPG file in \"photo.JPG\""},
        {"photo.jpg", "Couldn't load JPG file in \"photo.jpg\""},
        {"photo.Jpg", "Couldn't load JPG file in \"photo.Jpg\""},
        {"plan.Bmp", "Error opening \"plan.Bmp\""},
        {"photo.jpeg", "File type not supported \"photo.jpeg\"."},
        {"jpg", "File type not supported \"jpg\"."},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_FALSE(core::LoadImage(store, dir.File(name))) << name;
        EXPECT_EQ(store.LoadErrorText, message);
    }
}

TEST(LoadImage, ReadsReadOnlyFilesAndLeavesThemReadOnly) {
    TempDir dir;
    const std::string good = dir.File("locked.tga");
    const std::string bad = dir.File("locked.bmp");
    const std::string open = dir.File("open.tga");
    const auto tga = testing_support::MakeTga(1, 1, 24, {1, 2, 3});
    testing_support::WriteBytes(good, tga);
    testing_support::WriteBytes(open, tga);
    testing_support::WriteBytes(bad, {'B', 'M'});
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(good, readOnly);
    fs::permissions(bad, readOnly);
    const fs::perms openBefore = fs::status(open).permissions();

    core::ImageStore store;
    EXPECT_TRUE(core::LoadImage(store, good)) << store.LoadErrorText;
    EXPECT_EQ(fs::status(good).permissions(), readOnly);
    EXPECT_FALSE(core::LoadImage(store, bad));
    EXPECT_EQ(fs::status(bad).permissions(), readOnly);
    EXPECT_TRUE(core::LoadImage(store, open));
    EXPECT_EQ(fs::status(open).permissions(), openBefore);
}

TEST(LoadImage, LeavesNothingOfThePreviousImage) {
    TempDir dir;
    testing_support::WriteBytes(dir.File("a.tga"), testing_support::MakeTga(1, 1, 24, {1, 2, 3}));
    core::ImageStore store;
    testing_support::FillStore(store, 2, 1, 3, {9, 9, 9, 9, 9, 9});
    store.TextureDescription = {"Primary=wagon.tga", "Alpha=wagon.tga"};
    store.HasTextureDescription = true;
    ASSERT_TRUE(core::LoadImage(store, dir.File("a.tga")));
    EXPECT_FALSE(store.HasTextureDescription);
    EXPECT_TRUE(store.TextureDescription.empty());
    EXPECT_EQ(store.Image.DataSize, 3);

    // A failed load empties the store rather than keeping the old picture.
    EXPECT_FALSE(core::LoadImage(store, dir.File("missing.bmp")));
    EXPECT_FALSE(store.ImageLoaded);
    EXPECT_TRUE(store.PixelBuffer.empty());
    EXPECT_EQ(store.Image.Data, nullptr);
}

}  // namespace
