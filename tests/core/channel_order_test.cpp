#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "core/channel_order.h"
#include "core/image_store.h"

namespace {

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

}  // namespace

// The shuffles work in steps of four pixels and finish byte by byte; every
// length around those steps must give the plain per-pixel result, copying and
// in place, and never write past the pixels asked for.
TEST(ChannelOrder, EveryLengthMatchesThePlainSwapAndStaysInItsBuffer) {
    constexpr uint8_t kGuard = 0xA5;
    for (int bpp : {3, 4}) {
        for (size_t pixels = 0; pixels <= 21; ++pixels) {
            const std::vector<uint8_t> in = Counting(pixels * bpp);
            std::vector<uint8_t> expected = in;
            for (size_t p = 0; p < pixels; ++p) std::swap(expected[p * bpp], expected[p * bpp + 2]);

            std::vector<uint8_t> out(pixels * bpp + 16, kGuard);
            core::CopySwappingRedBlue(in.data(), out.data(), pixels, bpp);
            EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + pixels * bpp), expected) << bpp << " " << pixels;
            for (size_t i = pixels * bpp; i < out.size(); ++i) ASSERT_EQ(out[i], kGuard) << bpp << " " << pixels;

            std::vector<uint8_t> inPlace = in;
            core::CopySwappingRedBlue(inPlace.data(), inPlace.data(), pixels, bpp);
            EXPECT_EQ(inPlace, expected) << "in place " << bpp << " " << pixels;
        }
    }
    for (size_t pixels = 0; pixels <= 21; ++pixels) {
        const std::vector<uint8_t> bgra = Counting(pixels * 4);
        std::vector<uint8_t> expected;
        for (size_t p = 0; p < pixels; ++p)
            expected.insert(expected.end(), {bgra[p * 4 + 2], bgra[p * 4 + 1], bgra[p * 4]});
        std::vector<uint8_t> out(pixels * 3 + 16, kGuard);
        core::CopyBgraToRgb(bgra.data(), out.data(), pixels);
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + pixels * 3), expected) << pixels;
        for (size_t i = pixels * 3; i < out.size(); ++i) ASSERT_EQ(out[i], kGuard) << pixels;
    }
}

// Released buffers are handed out again: buffers alive at the same time must
// still be distinct, whatever was released before, on any thread.
TEST(LargeBuffers, LiveBuffersNeverShareMemory) {
    auto churn = [] {
        const size_t sizes[] = {core::kLargeBufferBytes, 3u << 20, 4u << 20, 3u << 20, 6u << 20 | 88};
        for (int round = 0; round < 12; ++round) {
            std::vector<core::ByteBuffer> live;
            for (int k = 0; k < 4; ++k) {
                live.emplace_back(sizes[(round + k) % 5]);
                std::fill(live.back().begin(), live.back().end(), static_cast<uint8_t>(k + 1));
            }
            std::set<const uint8_t*> starts;
            for (size_t k = 0; k < live.size(); ++k) {
                starts.insert(live[k].data());
                EXPECT_EQ(live[k].front(), k + 1);
                EXPECT_EQ(live[k].back(), k + 1);
            }
            EXPECT_EQ(starts.size(), live.size());
        }
    };
    churn();
    std::thread other(churn);
    other.join();
    // A buffer from a thread that has ended is released on this one.
    core::ByteBuffer handed;
    std::thread maker([&] { handed = core::ByteBuffer(5u << 20, 9); });
    maker.join();
    EXPECT_EQ(handed[5u << 19], 9);
}
