// JPEG reading and writing through libjpeg. The corpus compares the reader's
// pixels with libjpeg's own output.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/load_image.h"
#include "core/save_image.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::TempDir;
using Bytes = std::vector<uint8_t>;

// Writes a width x height picture of the given bytes through the JPEG writer.
Bytes WrittenJpeg(const TempDir& dir, int width, int height, uint8_t (*byte)(size_t)) {
    Bytes pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = byte(i);
    core::ImageStore store;
    testing_support::FillStore(store, width, height, 3, pixels);
    EXPECT_TRUE(core::SaveImage(store, dir.File("written.jpg"))) << store.LoadErrorText;
    return testing_support::ReadBytes(dir.File("written.jpg"));
}

bool LoadBytes(core::ImageStore& store, const TempDir& dir, const std::string& name,
               const Bytes& bytes) {
    testing_support::WriteBytes(dir.File(name), bytes);
    return core::LoadImage(store, dir.File(name));
}

TEST(LoadJpg, WrittenPicturesReadBackAndDamagedOnesAreRefusedWithoutEndingTheProcess) {
    TempDir dir;
    core::ImageStore store;
    const Bytes flat =
        WrittenJpeg(dir, 24, 8, [](size_t i) { return uint8_t(i % 3 == 0 ? 200 : 60); });
    ASSERT_TRUE(LoadBytes(store, dir, "flat.jpg", flat)) << store.LoadErrorText;
    ASSERT_EQ(std::make_pair(store.Image.Width, store.Image.Height), std::make_pair(24, 8));
    for (size_t i = 0; i < store.PixelBuffer.size(); ++i)
        ASSERT_NEAR(store.PixelBuffer[i], i % 3 == 0 ? 200 : 60, 3) << i;

    const Bytes good =
        WrittenJpeg(dir, 64, 64, [](size_t i) { return uint8_t(i * 2654435761u >> 13); });
    for (const auto& [name, bytes] :
         {std::pair<std::string, Bytes>{"junk.jpg", Bytes(500, 0x41)},
          {"header-only.jpg", Bytes(good.begin(), good.begin() + 20)}}) {
        EXPECT_FALSE(LoadBytes(store, dir, name, bytes) || store.ImageLoaded) << name;
        EXPECT_EQ(store.LoadErrorText, "Couldn't load JPG file in \"" + name + "\"");
    }
    // Cut inside the scan: libjpeg fills the rest, as djpeg does.
    EXPECT_TRUE(
        LoadBytes(store, dir, "cut.jpg", Bytes(good.begin(), good.begin() + good.size() * 3 / 4)));
}

// Each repeat of a scan costs a pass over every block of the picture for a few
// bytes of file: past the bound the file is refused before that work is done.
TEST(LoadJpg, AProgressiveFileOfTooManyScansIsRefused) {
    const std::string name = "progressive_last_scan_repeated_300_times.jpg";
    const std::filesystem::path file = std::filesystem::path(__FILE__).parent_path().parent_path() /
                                       "fuzz_regressions" / "jpeg" / name;
    core::ImageStore store;
    EXPECT_FALSE(core::LoadImage(store, file.string()));
    EXPECT_EQ(store.LoadErrorText,
              "Couldn't load JPG file in \"" + name + "\": it has more than 200 scans");
}

}  // namespace
