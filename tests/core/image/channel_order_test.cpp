#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "core/image/channel_order.h"
#include "core/image/image_store.h"

// The shuffles work in steps of four pixels and finish byte by byte; every
// length around those steps must give the plain per-pixel result, copying and
// in place, and never write past the pixels asked for.
TEST(ChannelOrder, EveryLengthMatchesThePlainSwapAndStaysInItsBuffer) {
    constexpr uint8_t kGuard = 0xA5;
    // bpp 3 and 4 swap red and blue; 0 stands for BGRA to RGB.
    for (int bpp : {3, 4, 0}) {
        const size_t in = bpp ? bpp : 4, out = bpp ? bpp : 3;
        for (size_t pixels = 0; pixels <= 21; ++pixels) {
            std::vector<uint8_t> source(pixels * in), expected;
            for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + 3);
            for (size_t p = 0; p < pixels; ++p) {
                const uint8_t* s = &source[p * in];
                expected.insert(expected.end(), {s[2], s[1], s[0]});
                if (out == 4) expected.push_back(s[3]);
            }
            std::vector<uint8_t> copy(pixels * out + 16, kGuard);
            if (bpp)
                core::CopySwappingRedBlue(source.data(), copy.data(), pixels, bpp);
            else
                core::CopyBgraToRgb(source.data(), copy.data(), pixels);
            EXPECT_EQ(std::vector<uint8_t>(copy.begin(), copy.begin() + pixels * out), expected)
                << bpp << " " << pixels;
            for (size_t i = pixels * out; i < copy.size(); ++i)
                ASSERT_EQ(copy[i], kGuard) << bpp << " " << pixels;
            if (!bpp) continue;
            core::CopySwappingRedBlue(source.data(), source.data(), pixels, bpp);
            EXPECT_EQ(source, expected) << "in place " << bpp << " " << pixels;
        }
    }
}

// Released buffers are handed out again: buffers alive at the same time must
// still be distinct, whatever was released before, on any thread.
TEST(LargeBuffers, LiveBuffersNeverShareMemory) {
    auto churn = [] {
        const size_t sizes[] = {core::kLargeBufferBytes, 3u << 20, 4u << 20, 3u << 20,
                                6u << 20 | 88};
        for (int round = 0; round < 12; ++round) {
            std::vector<core::ByteBuffer> live;
            std::set<const uint8_t*> starts;
            for (int k = 0; k < 4; ++k) {
                live.emplace_back(sizes[(round + k) % 5], static_cast<uint8_t>(k + 1));
                starts.insert(live.back().data());
            }
            for (size_t k = 0; k < live.size(); ++k)
                EXPECT_TRUE(live[k].front() == k + 1 && live[k].back() == k + 1);
            EXPECT_EQ(starts.size(), live.size());
        }
    };
    churn();
    std::thread(churn).join();
    // A buffer from a thread that has ended is released on this one.
    core::ByteBuffer handed;
    std::thread maker([&] { handed = core::ByteBuffer(5u << 20, 9); });
    maker.join();
    EXPECT_EQ(handed[5u << 19], 9);
}
