// The conversion on its own, as a batch worker holds it: its own store,
// settings and language, and only a message sink to report to.
#include "app/convert/conversion.h"

#include <gtest/gtest.h>

#include "tests/support/fake_host.h"
#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

TEST(ConversionTest, ConvertsAndReportsWithoutAWindow) {
    testing_support::TempDir dir;
    testing_support::FakeHost messages;
    app::Settings settings;
    app::Language language;
    core::ImageStore store;
    app::Conversion conversion(messages, settings, language, store);
    testing_support::WriteImage(dir.File("wagon.texture"), 4, 4, false);
    std::string written;
    ASSERT_TRUE(conversion.Convert({dir.File("wagon.texture"), "", {}, true}, &written));
    EXPECT_EQ(written, dir.File("wagon.tga"));
    EXPECT_TRUE(conversion.LastOutcome().converted && store.ImageLoaded);

    // Outside a trawl a failure is a message box; in one, a line.
    testing_support::WriteBytes(dir.File("broken.tga"), {1, 2, 3});
    EXPECT_FALSE(conversion.Convert({dir.File("broken.tga"), dir.File("out.tga"), {}, false}));
    EXPECT_TRUE(messages.messages.size() == 1 && messages.memo.empty());
    conversion.ConvertEntry(dir.path().string(), "broken.tga");
    EXPECT_EQ(messages.memo.size(), 1u);
    EXPECT_TRUE(conversion.LastOutcome().refused && !messages.colourShown);
}

}  // namespace
