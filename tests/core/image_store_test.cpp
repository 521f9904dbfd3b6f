#include <gtest/gtest.h>

#include "core/image_store.h"

TEST(ImageStore, SizeRulesOfTheSimulator) {
    EXPECT_TRUE(core::BadDimensions(0, 0));
    EXPECT_TRUE(core::BadDimensions(-256, 256));   // compared as unsigned: not a power of two
    EXPECT_FALSE(core::BadDimensions(1024, 128));  // ratio exactly 8
    EXPECT_TRUE(core::BadDimensions(2048, 128));   // ratio 16
    EXPECT_TRUE(core::IsPowerOfTwo(4096) && !core::IsPowerOfTwo(8192) && !core::IsPowerOfTwo(0));
}
