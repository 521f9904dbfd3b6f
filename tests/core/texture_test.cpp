// The texture reader's cases that the corpus's texture rows do not show:
// optional fields by version, and hostile header values with the message
// of each refusal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/reader_checks.h"
#include "tests/support/image_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Words of the header by index: 0 is the version, -1 the info size.
enum Field { kMagic = -5, kInfoSize = -1, kVersion, kSecondCount = 3, kFormat, kWidth };

// A version-259 DXT5 4 x 4 texture with fields changed and `extra` bytes after
// the 60 bytes of fields, counted in the info size.
Bytes Texture(std::vector<std::pair<int, uint32_t>> fields, const Bytes& extra = {}) {
    Bytes b = testing_support::TextureBytes(12, 4, 4, Bytes(16, 0));
    b.insert(b.begin() + 80, extra.begin(), extra.end());
    fields.insert(fields.begin(), {kInfoSize, 60 + extra.size()});
    for (auto [field, v] : fields)
        for (int k = 0; k < 4; ++k) b[20 + 4 * field + k] = static_cast<uint8_t>(v >> (8 * k));
    return b;
}

bool Load(core::ImageStore& store, const Bytes& bytes) {
    return reader_checks::LoadBytes(store, bytes, "bad.texture");
}

}  // namespace

TEST(LoadTexture, VersionDecidesTheOptionalFieldsAndWhereChunksStart) {
    // Twenty bytes past the fields, ending in a normal-map flag: only 263 and
    // above read that far, the others skip to the chunk.
    Bytes extra(20, 0x11);
    extra[16] = 1, extra[17] = extra[18] = extra[19] = 0;
    for (uint32_t version : {259, 260, 261, 262, 263, 300}) {
        core::ImageStore store;
        ASSERT_TRUE(Load(store, Texture({{kVersion, version}}, extra)))
            << version << ": " << store.LoadErrorText;
        EXPECT_EQ(store.TextureDescription.back() == "NormalMapHint=normalmap", version > 262)
            << version;
    }
}

TEST(LoadTexture, EveryFailureLeavesItsMessageAndNoPicture) {
    const std::string data = "Couldn't read texture data in \"bad.texture\".";
    const Bytes good = Texture({});
    reader_checks::ExpectRefusals(
        "bad.texture",
        {{Bytes(good.begin(), good.begin() + 60), data},
         {Texture({{kMagic, 'X'}}), "Not a Trainz texture \"bad.texture\"."},
         {Texture({{kFormat, 13}}), "Texture format not supported in \"bad.texture\"."},
         {Texture({{kWidth, 0}}), "Texture too large in \"bad.texture\"."},
         {Texture({{kSecondCount, uint32_t(-1)}}), data},
         // Info sizes that put the chunks outside the file, or before its start.
         {Texture({{kInfoSize, 1u << 30}}), data},
         {Texture({{kInfoSize, uint32_t(-20)}}), data}});
}

TEST(LoadTexture, ACubeMapSaysOnlyItsLastFaceIsShownAndKeepsItsDescription) {
    // The info block's word after the version is the texture's type; 2 is a cube map.
    for (uint32_t type : {0u, 2u}) {
        core::ImageStore store;
        ASSERT_TRUE(Load(store, Texture({{kVersion + 1, type}})));
        EXPECT_EQ(store.TextureDescription,
                  (std::vector<std::string>{"Primary=bad.tga", "Alpha=bad.tga", "Tile=st"}));
        EXPECT_EQ(store.TextureDetails,
                  type == 2 ? std::vector<std::string>{"Cubemap=only its last face is shown"}
                            : std::vector<std::string>{});
    }
}
