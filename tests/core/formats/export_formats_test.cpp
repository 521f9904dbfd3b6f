// DDS and HDR, read back by other means than the ones that wrote them: the
// DDS bytes compared with the texture's own blocks, stb_image for HDR. PNG:
// every corpus picture is written and read back by the conformance test.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/formats/save_image.h"
#include "core/io/byte_order.h"
#include "core/ops/operations.h"
#include "tests/core/formats/reader_checks.h"
#include "tests/support/e2tf_files.h"
#include "tests/support/image_files.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

#include <stb_image.h>

using namespace testing_support;

namespace {

uint32_t Word(const Bytes& b, size_t at) {
    return core::LoadLE32(b.data() + at);
}

}  // namespace

// Every level a texture holds, from the largest down; a cube map face after
// face, each with its levels. The header says so as DDS readers expect. Once
// edited, the picture is no longer its blocks.
TEST(SaveDDS, MipChainsAndCubeMapsKeepEveryLevelUntilAnEditChangesThePicture) {
    TempDir dir;
    // E2TF, 8 x 4 DXT1: levels of 2, 1, 1 and 1 blocks.
    E2TFParts chain;
    chain.code = "1txd", chain.width = 8, chain.height = 4;
    chain.levels = {
        {NoiseBytes(16, 1)}, {NoiseBytes(8, 2)}, {NoiseBytes(8, 3)}, {NoiseBytes(8, 4)}};
    // E2TF cube map, 4 x 4 DXT1 faces with two levels each.
    E2TFParts cube;
    cube.code = "1txd", cube.type = 2;
    cube.levels = {{}, {}};
    for (uint32_t f = 0; f < 6; ++f) {
        cube.levels[0].push_back(NoiseBytes(8, 10 + f));
        cube.levels[1].push_back(NoiseBytes(8, 20 + f));
    }
    // Classic container, 8 x 8 DXT5: the smaller levels' chunks first. With
    // one chunk of the wrong size the chain is not the picture's: level 0 only.
    const Bytes level0 = NoiseBytes(64, 5), level1 = NoiseBytes(16, 6), level2 = NoiseBytes(16, 7);
    auto classic = [&](const Bytes& second) {
        Bytes b = TextureBytes(12, 8, 8, level0);
        Bytes chunks;
        for (const Bytes* level : {&level2, &second}) {
            chunks.insert(chunks.end(), {'M', 'M', 'A', 'P'});
            PutLE32(chunks, chunks.size(), static_cast<uint32_t>(level->size()));
            chunks.insert(chunks.end(), level->begin(), level->end());
        }
        b.insert(b.begin() + 80, chunks.begin(), chunks.end());
        PutLE32(b, 28, 3);  // chunk count
        return b;
    };
    auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    Bytes cubeData;
    for (size_t f = 0; f < 6; ++f)
        cubeData = join({cubeData, cube.levels[0][f], cube.levels[1][f]});

    struct Case {
        const char* name;
        Bytes file;
        uint32_t width, height, flags, linearSize, mipCount, caps, caps2;
        std::string fourCC;
        Bytes data;
    };
    const Case cases[] = {
        {"chain.texture", E2TFBytes(chain), 8, 4, 0xA1007, 16, 4, 0x401008, 0, "DXT1",
         join({chain.levels[0][0], chain.levels[1][0], chain.levels[2][0], chain.levels[3][0]})},
        {"cube.texture", E2TFBytes(cube), 4, 4, 0xA1007, 8, 2, 0x401008, 0xFE00, "DXT1", cubeData},
        {"classic.texture", classic(level1), 8, 8, 0xA1007, 64, 3, 0x401008, 0, "DXT5",
         join({level0, level1, level2})},
        {"odd.texture", classic(NoiseBytes(17, 6)), 8, 8, 0x81007, 64, 0, 0x1000, 0, "DXT5",
         level0},
    };
    testing_support::TestStore store;
    for (const Case& c : cases) {
        ASSERT_TRUE(reader_checks::LoadBytes(store, c.file, c.name)) << store.error;
        store.Current.Compression = 0;  // as the viewer leaves it: the blocks do not depend on it
        ASSERT_TRUE(testing_support::Save(store, dir.File("out.dds"))) << store.error;
        const Bytes dds = ReadBytes(dir.File("out.dds"));
        ASSERT_EQ(dds.size(), 128 + c.data.size()) << c.name;
        EXPECT_EQ(std::make_tuple(std::string(dds.begin(), dds.begin() + 4), Word(dds, 8),
                                  Word(dds, 12), Word(dds, 16), Word(dds, 20), Word(dds, 28),
                                  Word(dds, 80), std::string(dds.begin() + 84, dds.begin() + 88),
                                  Word(dds, 108), Word(dds, 112)),
                  std::make_tuple(std::string("DDS "), c.flags, c.height, c.width, c.linearSize,
                                  c.mipCount, 4u, c.fourCC, c.caps, c.caps2))
            << c.name;
        EXPECT_TRUE(std::equal(c.data.begin(), c.data.end(), dds.begin() + 128)) << c.name;
    }

    // Edited: 32-bit pixels, top row first, blue, green, red, alpha.
    ASSERT_TRUE(core::InvertAlpha(store.Current));
    ASSERT_TRUE(testing_support::Save(store, dir.File("out.dds")));
    const Bytes raw = ReadBytes(dir.File("out.dds"));
    ASSERT_EQ(raw.size(), 128u + 8 * 8 * 4);
    EXPECT_EQ(std::make_tuple(Word(raw, 80), Word(raw, 88), Word(raw, 104)),
              std::make_tuple(0x41u, 32u, 0xFF000000u));
    const uint8_t* topLeft = store.Current.Data() + 7 * 8 * 4;
    EXPECT_EQ(Bytes(raw.begin() + 128, raw.begin() + 132),
              (Bytes{topLeft[2], topLeft[1], topLeft[0], topLeft[3]}));
}

// The 8-bit picture of a float texture is clamped and rounded, and says so;
// its HDR keeps the values above one (Radiance holds none below zero, nor NaN).
TEST(SaveHDR, AFloatTextureIsShownClampedAndKeepsItsValuesAboveOneUntilEdited) {
    TempDir dir;
    E2TFParts p;
    p.code = "f4dh", p.width = 2, p.height = 1;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    p.levels = {{FloatBytes({7.0f, 0.5f, -1.0f, 1.0f, 0.25f, nan, 0.0f, 0.2f})}};
    testing_support::TestStore store;
    ASSERT_TRUE(reader_checks::LoadBytes(store, E2TFBytes(p), "glow.texture")) << store.error;
    EXPECT_EQ(Bytes(store.Current.Data(), store.Current.Data() + 8),
              (Bytes{255, 128, 0, 255, 64, 0, 0, 51}));
    EXPECT_EQ(store.Current.AlphaKind, 1);
    EXPECT_EQ(
        std::vector<std::string>(store.Current.Details.end() - 2, store.Current.Details.end()),
        (std::vector<std::string>{"Clipped=values above 1 were shown as 1 (255)",
                                  "Clipped=values below 0, or not numbers, were shown as 0"}));
    ASSERT_TRUE(testing_support::Save(store, dir.File("glow.hdr"))) << store.error;
    const Bytes hdr = ReadBytes(dir.File("glow.hdr"));
    int width = 0, height = 0, channels = 0;
    float* values = stbi_loadf_from_memory(hdr.data(), static_cast<int>(hdr.size()), &width,
                                           &height, &channels, 3);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(std::vector<float>(values, values + 6),
              (std::vector<float>{7.0f, 0.5f, 0.0f, 0.25f, 0.0f, 0.0f}));
    stbi_image_free(values);

    // Changed pixels are not written as HDR (a picture that never was floats:
    // the command-line test).
    ASSERT_TRUE(core::InvertAlpha(store.Current));
    EXPECT_FALSE(testing_support::Save(store, dir.File("edited.hdr")));
    EXPECT_EQ(store.error,
              "The picture was changed after its floating-point values were read: not saved as "
              "HDR \"edited.hdr\".");
    EXPECT_FALSE(std::filesystem::exists(dir.File("edited.hdr")));
}
