// The texture reader's cases that the corpus's texture rows do not show: odd
// header values, optional fields by version, an info size that overlays the
// fields, and the exact message of each refusal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/load_image.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Words of the header by index: 0 is the version, -1 the info size, 16 the
// first chunk's size.
enum Field { kMagic = -5, kInfoSize = -1, kVersion, kFirstCount = 2, kSecondCount, kFormat, kWidth, kHeight,
             kDynamic, kSWrap, kTWrap, kAlphaHint = 14, kChunkSize = 16 };

// A version-259 DXT5 4 x 4 texture with fields changed and `extra` bytes after
// the 60 bytes of fields, counted in the info size.
Bytes Texture(std::vector<std::pair<int, uint32_t>> fields, const Bytes& extra = {}, size_t chunkBytes = 16) {
    Bytes b = testing_support::TextureBytes(12, 4, 4, Bytes(chunkBytes, 0));
    b.insert(b.begin() + 80, extra.begin(), extra.end());
    fields.insert(fields.begin(), {kInfoSize, 60 + extra.size()});
    for (auto [field, v] : fields)
        for (int k = 0; k < 4; ++k) b[20 + 4 * field + k + (field == kChunkSize ? extra.size() : 0)] = uint8_t(v >> (8 * k));
    return b;
}

bool Load(core::ImageStore& store, const Bytes& bytes, const std::string& name = "wagon.texture") {
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File(name), bytes);
    return core::LoadImage(store, dir.File(name));
}

}  // namespace

TEST(LoadTexture, DescriptionLinesFollowFormatHintsAndWrapModes) {
    const std::pair<Bytes, std::vector<std::string>> cases[] = {
        // Only the values 2 count for wrapping and 1 for dynamic.
        {Texture({{kFormat, 11}, {kAlphaHint, 1}, {kSWrap, 1}, {kTWrap, 3}, {kDynamic, 2}}),
         {"Primary=wagon.tga", "Alpha=wagon.tga", "Tile=none", "AlphaHint=semitransparent"}},
        {Texture({{kFormat, 3}, {kSWrap, 0}, {kTWrap, 0}}, {}, 64), {"Primary=wagon.tga", "Tile=none"}},
    };
    for (const auto& [bytes, expected] : cases) {
        core::ImageStore store;
        ASSERT_TRUE(Load(store, bytes)) << store.LoadErrorText;
        EXPECT_EQ(store.TextureDescription, expected) << expected.back();
    }
}

TEST(LoadTexture, VersionDecidesTheOptionalFieldsAndTheInfoSizeWhereChunksStart) {
    // Twenty bytes past the fields, ending in a normal-map flag: only 263 and
    // above read that far, the others skip to the chunk.
    Bytes extra(20, 0x11);
    extra[16] = 1, extra[17] = extra[18] = extra[19] = 0;
    for (uint32_t version : {259, 260, 261, 262, 263, 300}) {
        core::ImageStore store;
        ASSERT_TRUE(Load(store, Texture({{kVersion, version}}, extra))) << version << ": " << store.LoadErrorText;
        EXPECT_EQ(store.TextureDescription.back() == "NormalMapHint=normalmap", version > 262) << version;
    }
}

TEST(LoadTexture, EveryFailureLeavesItsMessageAndNoPicture) {
    const std::string data = "Couldn't read texture data in \"bad.texture\".";
    const Bytes good = Texture({});
    const std::pair<Bytes, std::string> cases[] = {
        {Bytes(good.begin(), good.begin() + 60), data},
        {Texture({{kMagic, 'X'}}), "Not a Trainz texture \"bad.texture\"."},
        {Texture({{kFormat, 13}}), "Texture format not supported in \"bad.texture\"."},
        {Texture({{kWidth, 0}}), "Texture too large in \"bad.texture\"."},
        {Texture({{kSecondCount, uint32_t(-1)}}), data},
        {Texture({{kFirstCount, 1000000000}}), data},
        // Info sizes that put the chunks outside the file, or before its start.
        {Texture({{kInfoSize, 1u << 30}}), data},
        {Texture({{kInfoSize, uint32_t(-20)}}), data},
    };
    for (const auto& [bytes, message] : cases) {
        core::ImageStore store;
        EXPECT_FALSE(Load(store, bytes, "bad.texture") || store.ImageLoaded || !store.PixelBuffer.empty()) << message;
        EXPECT_EQ(store.LoadErrorText, message);
    }
}
