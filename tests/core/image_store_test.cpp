#include <gtest/gtest.h>

#include "core/image_store.h"
#include "tests/support/test_support.h"

using core::ImageStore;

TEST(ImageStore, BadDimensionsFollowsTheSimulatorsRules) {
    EXPECT_TRUE(core::BadDimensions(1, 256));
    EXPECT_TRUE(core::BadDimensions(0, 0));
    EXPECT_TRUE(core::BadDimensions(-256, 256));  // compared as unsigned: not a power of two
    EXPECT_FALSE(core::BadDimensions(256, 256));
    EXPECT_FALSE(core::BadDimensions(1024, 128));  // ratio exactly 8
    EXPECT_FALSE(core::BadDimensions(128, 1024));
    EXPECT_TRUE(core::BadDimensions(2048, 128));  // ratio 16
    EXPECT_TRUE(core::BadDimensions(96, 64));
}

TEST(ImageStore, PowersOfTwoStopAt4096) {
    EXPECT_TRUE(core::IsPowerOfTwo(1));
    EXPECT_TRUE(core::IsPowerOfTwo(4096));
    EXPECT_FALSE(core::IsPowerOfTwo(0));
    EXPECT_FALSE(core::IsPowerOfTwo(3));
    EXPECT_FALSE(core::IsPowerOfTwo(8192));
    EXPECT_FALSE(core::IsPowerOfTwo(-4));
    EXPECT_EQ(core::CountBits(0), 0);
    EXPECT_EQ(core::CountBits(0xFFFFFFFFu), 32);
    EXPECT_EQ(core::CountBits(0x80000001u), 2);
}

TEST(ImageStore, WorkCursorRefusesReadsPastTheValidBytes) {
    const uint8_t bytes[] = {0x34, 0x12, 0x78, 0x56};
    core::WorkCursor cursor{bytes, 0};
    uint16_t w = 0;
    EXPECT_TRUE(cursor.ReadWorkWord(w, 4));
    EXPECT_EQ(w, 0x1234);
    EXPECT_TRUE(cursor.ReadWorkWord(w, 4));
    EXPECT_EQ(w, 0x5678);
    EXPECT_EQ(cursor.WorkPos, 4);
    EXPECT_FALSE(cursor.ReadWorkWord(w, 4));
    EXPECT_EQ(cursor.WorkPos, 4);
    cursor.WorkPos = 3;
    EXPECT_FALSE(cursor.ReadWorkWord(w, 4));
    uint8_t b = 0;
    EXPECT_TRUE(cursor.ReadWorkByte(b, 4));
    EXPECT_EQ(b, 0x56);
    EXPECT_FALSE(cursor.ReadWorkByte(b, 4));
}

TEST(ImageStore, ResetReleasesPixelsAndDescriptionButKeepsTheRecord) {
    ImageStore store;
    core::ResetImage(store);  // empty store: nothing to do
    EXPECT_FALSE(store.ImageLoaded);

    testing_support::FillStore(store, 2, 1, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(store.Image.DataSize, 6);
    EXPECT_EQ(store.Image.Data[0], 1);  // left pixel of the bottom row
    store.TextureDescription = {"Primary=a.tga"};
    store.HasTextureDescription = true;
    store.TextureFileName = "a.texture";
    store.LoadErrorText = "old";

    core::ResetImage(store);
    core::ResetImage(store);
    EXPECT_FALSE(store.ImageLoaded);
    EXPECT_FALSE(store.HasTextureDescription);
    EXPECT_TRUE(store.TextureDescription.empty());
    EXPECT_TRUE(store.PixelBuffer.empty());
    EXPECT_EQ(store.Image.Width, 2);
    EXPECT_EQ(store.LoadErrorText, "old");
    EXPECT_EQ(store.TextureFileName, "a.texture");
}

TEST(ImageStore, ErrorTextsNameTheFileWithoutItsFolderAndStayShort) {
    ImageStore store;
    core::SetLoadError(store, "File not found : \"", "/some/folder\\sub/wagon.tga", "\"");
    EXPECT_EQ(store.LoadErrorText, "File not found : \"wagon.tga\"");
    core::SetLoadError(store, "x \"", std::string(400, 'n'), "\"");
    EXPECT_EQ(store.LoadErrorText.size(), 255u);
}

TEST(ImageStore, SwapRedBlueExchangesFirstAndThirdBytes) {
    uint8_t px[] = {1, 2, 3, 4, 5, 6};
    core::SwapRedBlue(px, 2);
    EXPECT_EQ(std::vector<uint8_t>(px, px + 6), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
}
