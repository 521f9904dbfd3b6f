#include <gtest/gtest.h>

#include "core/alpha_channel.h"
#include "tests/support/test_support.h"

using testing_support::FillStore;

TEST(AlphaChannel, AddWithAndWithoutALevel) {
    core::ImageStore store;
    FillStore(store, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    store.AlphaFillValue = 127;
    ASSERT_TRUE(core::AddAlphaChannel(store, true));
    EXPECT_EQ(store.Image.DataSize, 8);
    EXPECT_EQ(store.Image.AlphaKind, 1);
    EXPECT_EQ(store.Image.Data, store.PixelBuffer.data());
    EXPECT_EQ(std::vector<uint8_t>(store.Image.Data, store.Image.Data + 8),
              (std::vector<uint8_t>{1, 2, 3, 127, 4, 5, 6, 127}));
    EXPECT_FALSE(core::AddAlphaChannel(store, false));  // already 4 bytes per pixel
    EXPECT_EQ(store.Image.AlphaKind, 1);

    FillStore(store, 1, 1, 3, {7, 8, 9});
    ASSERT_TRUE(core::AddAlphaChannel(store, false));
    EXPECT_EQ(store.Image.Data[3], 255);
    EXPECT_EQ(store.Image.AlphaKind, 2);
}

TEST(AlphaChannel, RemoveKeepsColoursInOrder) {
    core::ImageStore store;
    FillStore(store, 2, 2, 4, {1, 2, 3, 0, 4, 5, 6, 9, 7, 8, 9, 255, 10, 11, 12, 1}, 1);
    ASSERT_TRUE(core::RemoveAlphaChannel(store));
    EXPECT_EQ(store.Image.DataSize, 12);
    EXPECT_EQ(store.Image.AlphaKind, 0);
    EXPECT_EQ(std::vector<uint8_t>(store.Image.Data, store.Image.Data + 12),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_FALSE(core::RemoveAlphaChannel(store));
}

TEST(AlphaChannel, UpdateAlphaKindClassifiesGradedAndOnOff) {
    core::ImageStore store;
    FillStore(store, 2, 1, 4, {0, 0, 0, 0, 0, 0, 0, 255}, 1);
    core::UpdateAlphaKind(store);
    EXPECT_EQ(store.Image.AlphaKind, 2);
    store.Image.Data[3] = 1;
    core::UpdateAlphaKind(store);
    EXPECT_EQ(store.Image.AlphaKind, 1);
    store.Image.Data[3] = 254;
    core::UpdateAlphaKind(store);
    EXPECT_EQ(store.Image.AlphaKind, 1);
}

TEST(AlphaChannel, EmptyStoreIsLeftAlone) {
    core::ImageStore store;
    EXPECT_FALSE(core::AddAlphaChannel(store, false));
    EXPECT_FALSE(core::RemoveAlphaChannel(store));
    core::UpdateAlphaKind(store);
    EXPECT_FALSE(store.ImageLoaded);
    EXPECT_EQ(store.Image.AlphaKind, 0);
}
