// The loading dispatch: reader choice by extension, and what a load leaves of
// the previous image.
#include <gtest/gtest.h>

#include "tests/core/formats/reader_checks.h"

using namespace testing_support;

namespace {

// Missing files: each reader's own message shows which one ran. A load, good
// or failed, leaves nothing of the previous image (its description:
// save_image_test.cpp); a read-only file: file_io_test.cpp.
TEST(LoadImage, PicksTheReaderByExtensionInAnyCaseAndKeepsNothingOfThePreviousImage) {
    TempDir dir;
    testing_support::TestStore store;
    FillImage(store.Current, 2, 1, 3, {9, 9, 9, 9, 9, 9});
    ASSERT_TRUE(reader_checks::LoadBytes(store, MakeTga(1, 1, 24, {1, 2, 3}), "a.tga"))
        << store.error;
    EXPECT_EQ(store.Current.DataSize(), 3);

    const std::pair<std::string, std::string> cases[] = {
        {"photo.Jpg", "Couldn't load JPG file in \"photo.Jpg\""},
        {"plan.Bmp", "Error opening \"plan.Bmp\""},
        {"UP.TGA", "File not found : \"UP.TGA\""},
        {"photo.jpeg", "Couldn't load JPG file in \"photo.jpeg\""},
        {"Sign.PNG", "Couldn't load PNG file \"Sign.PNG\": it cannot be opened"},
        {"jpg", "File type not supported \"jpg\"."},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_FALSE(testing_support::Load(store, dir.File(name))) << name;
        EXPECT_EQ(store.error, message);
        EXPECT_TRUE(!store.Loaded() && store.Current.Pixels.empty() && !store.Current.Data())
            << name;
    }
}

}  // namespace
