// The texture reader's cases that the corpus's texture rows do not show:
// hostile header values with the message of each refusal, and cube maps.
// The optional fields of each version are the corpus's (versions 259 to 263).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/formats/reader_checks.h"
#include "tests/support/corpus.h"
#include "tests/support/image_files.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

// Words of the header by index: 0 is the version, -1 the info size.
enum Field { kMagic = -5, kInfoSize = -1, kVersion, kSecondCount = 3, kFormat, kWidth };

// A version-259 DXT5 4 x 4 texture with fields changed.
Bytes Texture(const std::vector<std::pair<int, uint32_t>>& fields) {
    Bytes b = TextureBytes(12, 4, 4, Bytes(16, 0));
    for (auto [field, v] : fields) PutLE32(b, 20 + 4 * field, v);
    return b;
}

}  // namespace

TEST(LoadTexture, Format28IsEtc2RgbWithoutAlpha) {
    const Bytes expected = DataBytes("etc2/mixed.rgb");
    testing_support::TestStore store;
    ASSERT_TRUE(
        reader_checks::LoadBytes(store, DataBytes("etc2/mixed_format28.texture"), "mixed.texture"))
        << store.error;
    ASSERT_EQ(
        std::make_tuple(store.Current.Width, store.Current.Height, store.Current.BytesPerPixel(),
                        store.Current.AlphaKind, store.Current.Compression),
        std::make_tuple(24, 12, 3, 0, 0));
    // The store's rows run from the bottom.
    for (int y = 0; y < 12; ++y)
        ASSERT_TRUE(std::equal(expected.begin() + y * 72, expected.begin() + (y + 1) * 72,
                               store.Current.Pixels.begin() + (11 - y) * 72))
            << "row " << y;
    EXPECT_EQ(store.Current.Description,
              (std::vector<std::string>{"Primary=mixed.tga", "Tile=st"}));
    EXPECT_EQ(store.Current.Details, (std::vector<std::string>{"Container=JIRF version 259",
                                                               "Format=ETC2 RGB", "Chunks=1"}));
}

TEST(LoadTexture, Format13IsDxt5) {
    const Bytes file = DataBytes("etc2/dxt5_format13.texture");
    Bytes asDxt5 = file;
    PutLE32(asDxt5, 20 + 4 * kFormat, 12);
    testing_support::TestStore a, b;
    ASSERT_TRUE(reader_checks::LoadBytes(a, file, "a.texture")) << a.error;
    ASSERT_TRUE(reader_checks::LoadBytes(b, asDxt5, "a.texture"));
    EXPECT_EQ(std::make_tuple(a.Current.Width, a.Current.Height, a.Current.Compression,
                              a.Current.Description, reader_checks::Pixels(a)),
              std::make_tuple(16, 8, 5, b.Current.Description, reader_checks::Pixels(b)));
}

TEST(LoadTexture, BlockFormatsWithAChunkOfPlainPixelsReadThemAsPixels) {
    // 4 x 4 x 4 bytes: BGRA rows from the top, as format 0 reads them.
    Bytes pixels(64);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 5);
    testing_support::TestStore plain;
    ASSERT_TRUE(reader_checks::LoadBytes(plain, TextureBytes(0, 4, 4, pixels), "p.texture"));
    for (uint32_t format : {13u, 28u}) {
        testing_support::TestStore s;
        ASSERT_TRUE(reader_checks::LoadBytes(s, TextureBytes(format, 4, 4, pixels), "p.texture"))
            << format;
        EXPECT_EQ(reader_checks::Pixels(s), reader_checks::Pixels(plain)) << format;
        EXPECT_EQ(s.Current.AlphaKind, plain.Current.AlphaKind) << format;
    }
}

TEST(LoadTexture, EveryFailureLeavesItsMessageAndNoPicture) {
    const std::string in = " in \"bad.texture\".";
    const std::string data = "Couldn't read texture data" + in;
    const Bytes good = Texture({});
    reader_checks::ExpectRefusals(
        "bad.texture",
        {{Bytes(good.begin(), good.begin() + 60), data},
         {Texture({{kMagic, 'X'}}), "Not a Trainz texture \"bad.texture\"."},
         {Texture({{kFormat, 14}}), "Texture format not supported in \"bad.texture\"."},
         // Chunks too short for the picture are refused before decoding, with
         // what the picture needs: 0 bytes for 8,192 x 8,192 once showed black.
         {TextureBytes(10, 8192, 8192, {}),
          "Image data holds 0 bytes where a 8192 x 8192 DXT1 picture needs 33554432" + in},
         {TextureBytes(12, 4, 8, Bytes(16)),
          "Image data holds 16 bytes where a 4 x 8 DXT5 picture needs 32" + in},
         {Texture({{kFormat, 28}, {kWidth, 8}, {kWidth + 1, 8}}),
          "Image data holds 16 bytes where a 8 x 8 ETC2 RGB picture needs 32" + in},
         {Texture({{kFormat, 0}}),
          "Image data holds 16 bytes where a 4 x 4 uncompressed picture needs 64" + in},
         {Texture({{kWidth, 0}}), "Texture too large in \"bad.texture\"."},
         {Texture({{kSecondCount, uint32_t(-1)}}), data},
         // Info sizes that put the chunks outside the file, or before its start.
         {Texture({{kInfoSize, 1u << 30}}), data},
         {Texture({{kInfoSize, uint32_t(-20)}}), data}});
}

TEST(LoadTexture, ACubeMapSaysOnlyItsLastFaceIsShownAndKeepsItsDescription) {
    // The info block's word after the version is the texture's type; 2 is a cube map.
    testing_support::TestStore store;
    ASSERT_TRUE(reader_checks::LoadBytes(store, Texture({{kVersion + 1, 2}}), "bad.texture"));
    EXPECT_EQ(store.Current.Description,
              (std::vector<std::string>{"Primary=bad.tga", "Alpha=bad.tga", "Tile=st"}));
    EXPECT_EQ(store.Current.Details.back(), "Cubemap=only its last face is shown");
}
