// skeinpress-cli convert with BMP and JPEG sources and targets.
#include <gtest/gtest.h>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::RunCliProgram;

TEST(CliConvert, ReadsAndWritesBmpAndJpeg) {
    testing_support::TempDir dir;
    core::ImageStore store;
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16 * 8; ++i) pixels.insert(pixels.end(), {200, 40, 10});
    testing_support::FillStore(store, 16, 8, 3, pixels);
    ASSERT_TRUE(core::SaveImage(store, dir.File("wagon.bmp"))) << store.LoadErrorText;

    // .bmp -> default .tga -> --output .jpg -> --output .bmp, each step read back.
    const std::vector<std::vector<std::string>> steps = {
        {"convert", dir.File("wagon.bmp")},
        {"convert", dir.File("wagon.tga"), "--output", dir.File("copy.jpg")},
        {"convert", dir.File("copy.jpg"), "--output", dir.File("again.BMP")},
    };
    for (const auto& args : steps) {
        const auto result = RunCliProgram(args);
        EXPECT_EQ(result.status, 0) << result.err;
    }
    for (const char* name : {"wagon.tga", "copy.jpg", "again.BMP"}) {
        ASSERT_TRUE(core::LoadImage(store, dir.File(name))) << name << ": " << store.LoadErrorText;
        EXPECT_EQ(store.Image.Width, 16);
        EXPECT_EQ(store.Image.Height, 8);
        EXPECT_NEAR(store.Image.Data[0], 200, 4) << name;
        EXPECT_NEAR(store.Image.Data[2], 10, 4) << name;
    }
}

}  // namespace
