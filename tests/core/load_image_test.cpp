// The loading dispatch: reader choice by extension, read-only files, and what
// a load leaves of the previous image.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/load_image.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// Missing files: each reader's own message shows which one ran. A load, good
// or failed, leaves nothing of the previous image (its description:
// save_image_test.cpp); a read-only file is read and stays read-only.
TEST(LoadImage, PicksTheReaderByExtensionInAnyCaseAndKeepsNothingOfThePreviousImage) {
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

    const std::pair<std::string, std::string> cases[] = {
        {"photo.Jpg", "Couldn't load JPG file in \"photo.Jpg\""},
        {"plan.Bmp", "Error opening \"plan.Bmp\""},
        {"UP.TGA", "File not found : \"UP.TGA\""},
        {"jpg", "File type not supported \"jpg\"."},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_FALSE(core::LoadImage(store, dir.File(name))) << name;
        EXPECT_EQ(store.LoadErrorText, message);
        EXPECT_TRUE(!store.ImageLoaded && store.PixelBuffer.empty() && !store.Image.Data) << name;
    }
}

}  // namespace
