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
        {"photo.Jpg", "Couldn't load JPG file in \"photo.Jpg\""},
        {"plan.Bmp", "Error opening \"plan.Bmp\""},
        {"UP.TGA", "File not found : \"UP.TGA\""},
        {"jpg", "File type not supported \"jpg\"."},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_FALSE(core::LoadImage(store, dir.File(name))) << name;
        EXPECT_EQ(store.LoadErrorText, message);
    }
}

// A read-only file is read and stays read-only; a new load, good or failed,
// leaves nothing of the previous image (its description: save_image_test.cpp).
TEST(LoadImage, ReadsReadOnlyFilesAndLeavesNothingOfThePreviousImage) {
    TempDir dir;
    const std::string path = dir.File("locked.tga");
    testing_support::WriteBytes(path, testing_support::MakeTga(1, 1, 24, {1, 2, 3}));
    // Windows keeps one read-only mark where POSIX systems keep modes.
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    const fs::perms readOnly = fs::status(path).permissions();
    ASSERT_EQ(readOnly & fs::perms::owner_write, fs::perms::none);
    core::ImageStore store;
    testing_support::FillStore(store, 2, 1, 3, {9, 9, 9, 9, 9, 9});
    ASSERT_TRUE(core::LoadImage(store, path)) << store.LoadErrorText;
    EXPECT_EQ(fs::status(path).permissions(), readOnly);
    EXPECT_EQ(store.Image.DataSize, 3);

    EXPECT_FALSE(core::LoadImage(store, dir.File("missing.bmp")));
    EXPECT_FALSE(store.ImageLoaded);
    EXPECT_TRUE(store.PixelBuffer.empty());
    EXPECT_EQ(store.Image.Data, nullptr);
}

}  // namespace
