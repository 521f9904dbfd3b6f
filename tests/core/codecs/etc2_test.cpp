#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/codecs/etc2.h"
#include "tests/support/corpus.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

// Blocks encoded by an independent encoder, and that encoder's own decoding
// (R, G, B, top row first). Together the files hold blocks of all five modes,
// each file several of most; `mixed` has every mode, `odd` sides that are not
// multiples of 4.
struct Sample {
    const char* blocks;
    const char* decoded;
    int width, height;
};
constexpr Sample kSamples[] = {
    {"gradients.etc2", "gradients.rgb", 64, 64},
    {"edges.etc2", "edges.rgb", 64, 64},
    {"flat.etc2", "flat.rgb", 32, 32},
    {"halves.etc2", "halves.rgb", 32, 32},
    {"pairs.etc2", "pairs.rgb", 32, 32},
    {"mixed.etc2", "mixed.rgb", 24, 12},
    {"odd.etc2", "odd.rgb", 13, 7},
};

TEST(Etc2Decode, MatchesTheIndependentDecoderPixelForPixelInEveryLayoutAndCode) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.blocks);
        const Bytes file = DataBytes(std::string("etc2/") + s.blocks);
        const Bytes expected = DataBytes(std::string("etc2/") + s.decoded);
        ASSERT_EQ(expected.size(), static_cast<size_t>(s.width) * s.height * 3);
        ASSERT_EQ(file.size(), core::Etc2DataBytes(s.width, s.height));
        for (const auto& [bpp, code] : {std::pair{3, core::Etc2Code::Fastest},
                                        {4, core::Etc2Code::Fastest},
                                        {3, core::Etc2Code::Portable},
                                        {4, core::Etc2Code::Portable}}) {
            Bytes out(expected.size() / 3 * bpp, 0xAB);
            ASSERT_TRUE(core::DecodeEtc2Blocks(file.data(), file.size(), s.width, s.height, bpp,
                                               out.data(), code));
            int wrong = 0;
            for (int y = 0; y < s.height; ++y) {
                for (int x = 0; x < s.width; ++x) {
                    // The store's rows run from the bottom.
                    const uint8_t* got = &out[((s.height - 1 - y) * s.width + x) * bpp];
                    const uint8_t* want = &expected[(y * s.width + x) * 3];
                    const bool same = got[0] == want[0] && got[1] == want[1] && got[2] == want[2] &&
                                      (bpp == 3 || got[3] == 255);
                    if (!same && wrong++ < 5)
                        ADD_FAILURE()
                            << bpp << " bytes, pixel " << x << "," << y << ": got " << int(got[0])
                            << " " << int(got[1]) << " " << int(got[2]) << ", want " << int(want[0])
                            << " " << int(want[1]) << " " << int(want[2]);
                }
            }
            EXPECT_EQ(wrong, 0) << bpp << " bytes per pixel, code " << int(code);
        }
    }
}

TEST(Etc2Decode, RefusesShortDataAndBadArgumentsWithoutTouchingTheOutput) {
    // Every size reads only its own blocks: under the address sanitizer each
    // decode gets a buffer of exactly the bytes it needs, or one byte fewer.
    for (const auto& [width, height] : {std::pair{1, 1}, {5, 3}, {4097, 1}, {3, 4097}, {8, 8}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const size_t needed = core::Etc2DataBytes(width, height);
        EXPECT_EQ(needed, static_cast<size_t>((width + 3) / 4) * ((height + 3) / 4) * 8);
        Bytes data(needed);
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
        Bytes out(static_cast<size_t>(width) * height * 3, 0xAB);
        EXPECT_TRUE(core::DecodeEtc2Blocks(data.data(), data.size(), width, height, 3, out.data()));
        Bytes shortData(data.begin(), data.end() - 1);
        Bytes untouched(out.size(), 0xAB);
        EXPECT_FALSE(core::DecodeEtc2Blocks(shortData.data(), shortData.size(), width, height, 3,
                                            untouched.data()));
        EXPECT_EQ(untouched, Bytes(out.size(), 0xAB));
    }
    Bytes block(8), out(64);
    EXPECT_FALSE(core::DecodeEtc2Blocks(block.data(), 8, 0, 1, 3, out.data()));
    EXPECT_FALSE(core::DecodeEtc2Blocks(block.data(), 8, 1, core::kMaxSide + 1, 3, out.data()));
    EXPECT_FALSE(core::DecodeEtc2Blocks(block.data(), 8, 1, 1, 2, out.data()));
    EXPECT_EQ(core::Etc2DataBytes(-4, 4), 0u);

    core::ImageStore store;
    store.Current.Compression = 5;
    EXPECT_FALSE(core::DecodeETC2(store.Current, block.data(), 7, 4, 4));
    EXPECT_FALSE(store.Loaded());
    EXPECT_EQ(store.Current.Compression, 0);
    ASSERT_TRUE(core::DecodeETC2(store.Current, block.data(), 8, 3, 2));
    EXPECT_EQ(store.Current.BytesPerPixel(), 3);
    EXPECT_EQ(store.Current.AlphaKind, 0);
}

}  // namespace
