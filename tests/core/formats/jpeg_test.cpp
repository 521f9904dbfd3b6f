// JPEG reading and writing through libjpeg. The corpus compares the reader's
// pixels with libjpeg's own output.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/formats/save_image.h"
#include "tests/core/formats/reader_checks.h"

using namespace testing_support;

namespace {

using reader_checks::Bytes;
using reader_checks::LoadBytes;

// A width x height picture of the given bytes as the JPEG writer writes it.
Bytes WrittenJpeg(int width, int height, uint8_t (*byte)(size_t)) {
    Bytes pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = byte(i);
    TempDir dir;
    testing_support::TestStore store;
    FillImage(store.Current, width, height, 3, pixels);
    EXPECT_TRUE(testing_support::Save(store, dir.File("written.jpg"))) << store.error;
    return ReadBytes(dir.File("written.jpg"));
}

TEST(LoadJpg, WrittenPicturesReadBackAndDamagedOnesAreRefusedWithoutEndingTheProcess) {
    testing_support::TestStore store;
    const Bytes flat = WrittenJpeg(24, 8, [](size_t i) { return uint8_t(i % 3 == 0 ? 200 : 60); });
    ASSERT_TRUE(LoadBytes(store, flat, "flat.jpg")) << store.error;
    ASSERT_EQ(std::make_pair(store.Current.Width, store.Current.Height), std::make_pair(24, 8));
    for (size_t i = 0; i < store.Current.Pixels.size(); ++i)
        ASSERT_NEAR(store.Current.Pixels[i], i % 3 == 0 ? 200 : 60, 3) << i;

    const Bytes noise =
        WrittenJpeg(64, 64, [](size_t i) { return uint8_t(i * 2654435761u >> 13); });
    EXPECT_FALSE(LoadBytes(store, Bytes(noise.begin(), noise.begin() + 20), "head.jpg") ||
                 store.Loaded());
    EXPECT_EQ(store.error, "Couldn't load JPG file in \"head.jpg\"");
    // Cut inside the scan: libjpeg fills the rest, as djpeg does.
    EXPECT_TRUE(
        LoadBytes(store, Bytes(noise.begin(), noise.begin() + noise.size() * 3 / 4), "cut.jpg"));
}

// Each repeat of a scan costs a pass over every block of the picture for a few
// bytes of file: past the bound the file is refused before that work is done.
TEST(LoadJpg, AProgressiveFileOfTooManyScansIsRefused) {
    const std::string name = "progressive_last_scan_repeated_300_times.jpg";
    const std::filesystem::path file =
        std::filesystem::path(SKEINPRESS_FUZZ_REGRESSIONS_DIR) / "jpeg" / name;
    testing_support::TestStore store;
    EXPECT_FALSE(testing_support::Load(store, file.string()));
    EXPECT_EQ(store.error,
              "Couldn't load JPG file in \"" + name + "\": it has more than 200 scans");
}

}  // namespace
