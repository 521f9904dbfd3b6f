// The loading dispatch: reader choice by extension, read-only files, and what
// a load leaves of the previous image.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    const fs::perms writable = readOnly | fs::perms::owner_write;
    // A good and a damaged read-only file, and a writable one.
    const std::tuple<std::string, fs::perms, bool> files[] = {
        {dir.File("locked.tga"), readOnly, true}, {dir.File("locked.bmp"), readOnly, false},
        {dir.File("open.tga"), writable, true}};
    core::ImageStore store;
    for (const auto& [path, perms, loads] : files) {
        testing_support::WriteBytes(path, testing_support::MakeTga(1, 1, 24, {1, 2, 3}));
        fs::permissions(path, perms);
        EXPECT_EQ(core::LoadImage(store, path), loads) << path << ": " << store.LoadErrorText;
        EXPECT_EQ(fs::status(path).permissions(), perms) << path;
    }
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
