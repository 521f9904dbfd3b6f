// The conversion on its own, as a batch worker holds it: its own store,
// settings and language, and only a message sink to report to.
#include "app/convert/conversion.h"

#include <gtest/gtest.h>

#include "core/io/byte_order.h"
#include "tests/support/fake_host.h"
#include "tests/support/image_files.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

struct ConversionTest : ::testing::Test {
    TempDir dir;
    FakeHost messages;
    app::Settings settings;
    app::Language language;
    testing_support::TestStore store;
    app::Conversion conversion{messages, settings, language, store};
};

TEST_F(ConversionTest, ConvertsAndReportsWithoutAWindow) {
    WriteImage(dir.File("wagon.texture"), 4, 4, false);
    std::string written;
    ASSERT_TRUE(conversion.Convert({dir.File("wagon.texture"), "", {}, true}, &written));
    EXPECT_EQ(written, dir.File("wagon.tga"));
    EXPECT_TRUE(conversion.LastOutcome().converted && store.Loaded());

    // Outside a trawl a failure is a message box; in one, a line.
    WriteBytes(dir.File("broken.tga"), {1, 2, 3});
    EXPECT_FALSE(conversion.Convert({dir.File("broken.tga"), dir.File("out.tga"), {}, false}));
    EXPECT_TRUE(messages.messages.size() == 1 && messages.memo.empty());
    conversion.ConvertEntry(dir.path().string(), "broken.tga");
    EXPECT_EQ(messages.memo.size(), 1u);
    EXPECT_TRUE(conversion.LastOutcome().refused && !messages.colourShown);
}

// The repair is for the simulator's own formats; an export keeps the picture
// as read, so a flat DXT texture's DDS is still its blocks.
TEST_F(ConversionTest, OnlyTheSimulatorsFormatsAreRepaired) {
    const std::string flat = dir.File("flat.texture");
    const std::vector<uint8_t> blocks(4 * 16, 0);  // 8 x 8 DXT5, all one colour
    WriteBytes(flat, TextureBytes(12, 8, 8, blocks));
    app::ImageEdits grey;
    grey.list.push_back({app::EditKind::Grey, {}, 0});
    struct Case {
        const char* target;
        bool setting;
        app::ImageEdits edits;
        bool afterEdits;
        bool repaired;
    };
    const Case cases[] = {
        {"", true, {}, false, true},         {"out.bmp", true, {}, false, true},
        {"out.png", true, {}, false, false}, {"out.dds", true, {}, false, false},
        {"", false, {}, false, false},       {"out.tga", true, grey, false, false},
        {"out.tga", true, grey, true, true}, {"out.png", true, grey, true, false},
    };
    for (const Case& c : cases) {
        settings.FixUniformColour = c.setting;
        const std::string target = *c.target ? dir.File(c.target) : "";
        ASSERT_TRUE(conversion.Convert({flat, target, c.edits, c.edits.Empty(), c.afterEdits}))
            << c.target << store.error;
        EXPECT_EQ(conversion.LastOutcome().repaired, c.repaired) << c.target << c.setting;
    }
    const std::vector<uint8_t> dds = ReadBytes(dir.File("out.dds"));
    ASSERT_EQ(dds.size(), 128 + blocks.size());
    EXPECT_EQ(core::LoadLE32(dds.data() + 80), 4u);  // compressed: its own blocks
}

}  // namespace
