#include <gtest/gtest.h>

#include "core/alpha_channel.h"
#include "tests/support/test_support.h"

// The pixels are checked through skeinpress-cli (--add-alpha, --remove-alpha).
TEST(AlphaChannel, AddAndRemoveSetTheAlphaKindAndRefuseWhatCannotBeDone) {
    core::ImageStore store;
    testing_support::FillStore(store, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    store.AlphaFillValue = 127;
    ASSERT_TRUE(core::AddAlphaChannel(store, true));
    EXPECT_EQ(store.Image.AlphaKind, 1);
    EXPECT_FALSE(core::AddAlphaChannel(store, false));  // already 4 bytes per pixel

    ASSERT_TRUE(core::RemoveAlphaChannel(store));
    EXPECT_EQ(store.Image.AlphaKind, 0);
    EXPECT_FALSE(core::RemoveAlphaChannel(store));
    // Without a level the channel is opaque, so on/off.
    ASSERT_TRUE(core::AddAlphaChannel(store, false));
    EXPECT_EQ(store.Image.Data[3], 255);
    EXPECT_EQ(store.Image.AlphaKind, 2);

    core::ImageStore empty;
    EXPECT_FALSE(core::AddAlphaChannel(empty, false) || core::RemoveAlphaChannel(empty) ||
                 empty.ImageLoaded);
}
