#include <gtest/gtest.h>

#include "core/alpha_channel.h"
#include "tests/support/test_support.h"

using testing_support::FillStore;

namespace {
std::vector<uint8_t> Pixels(const core::ImageStore& s) {
    return std::vector<uint8_t>(s.Image.Data, s.Image.Data + s.Image.DataSize);
}
}  // namespace

TEST(AlphaChannel, AddAndRemoveKeepColoursInOrder) {
    core::ImageStore store;
    FillStore(store, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    store.AlphaFillValue = 127;
    ASSERT_TRUE(core::AddAlphaChannel(store, true));
    EXPECT_EQ(store.Image.AlphaKind, 1);
    EXPECT_EQ(Pixels(store), (std::vector<uint8_t>{1, 2, 3, 127, 4, 5, 6, 127}));
    EXPECT_FALSE(core::AddAlphaChannel(store, false));  // already 4 bytes per pixel

    ASSERT_TRUE(core::RemoveAlphaChannel(store));
    EXPECT_EQ(store.Image.AlphaKind, 0);
    EXPECT_EQ(Pixels(store), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(core::RemoveAlphaChannel(store));

    // Without a level the channel is opaque, so on/off.
    ASSERT_TRUE(core::AddAlphaChannel(store, false));
    EXPECT_EQ(store.Image.Data[3], 255);
    EXPECT_EQ(store.Image.AlphaKind, 2);

    core::ImageStore empty;
    EXPECT_FALSE(core::AddAlphaChannel(empty, false) || core::RemoveAlphaChannel(empty));
    EXPECT_FALSE(empty.ImageLoaded);
}
