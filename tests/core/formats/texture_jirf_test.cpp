// The texture reader's cases that the corpus's texture rows do not show:
// hostile header values with the message of each refusal, and cube maps.
// The optional fields of each version are the corpus's (versions 259 to 263).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/formats/reader_checks.h"
#include "tests/support/image_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Words of the header by index: 0 is the version, -1 the info size.
enum Field { kMagic = -5, kInfoSize = -1, kVersion, kSecondCount = 3, kFormat, kWidth };

// A version-259 DXT5 4 x 4 texture with fields changed.
Bytes Texture(const std::vector<std::pair<int, uint32_t>>& fields) {
    Bytes b = testing_support::TextureBytes(12, 4, 4, Bytes(16, 0));
    for (auto [field, v] : fields) reader_checks::Put32(b, 20 + 4 * field, v);
    return b;
}

}  // namespace

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
    core::ImageStore store;
    ASSERT_TRUE(reader_checks::LoadBytes(store, Texture({{kVersion + 1, 2}}), "bad.texture"));
    EXPECT_EQ(store.TextureDescription,
              (std::vector<std::string>{"Primary=bad.tga", "Alpha=bad.tga", "Tile=st"}));
    EXPECT_EQ(store.TextureDetails,
              std::vector<std::string>{"Cubemap=only its last face is shown"});
}
