// What a console needs from the trawl to run its conversions elsewhere. The
// console's batch tests show the hook's order, the seeded repair and the
// converted, repaired and refused counts; here: which entries need image work,
// and the skipped outcome, which no console tree reaches.
#include "tests/app/flow_fixture.h"

namespace {

using TrawlHooksTest = flow_testing::FlowTest;

TEST_F(TrawlHooksTest, WhichEntriesNeedImageWorkAndTheSkippedOutcome) {
    app::Settings& s = app->settings();
    s.DoBMPs = true;
    s.FixUniformColour = false;
    EXPECT_TRUE(app->EntryNeedsImageWork("a.TEXTURE") && app->EntryNeedsImageWork("a.bmp"));
    EXPECT_FALSE(app->EntryNeedsImageWork("a.jpg") || app->EntryNeedsImageWork("a.tga") ||
                 app->EntryNeedsImageWork("sub"));
    s.FixUniformColour = true;  // every image is read for the repair
    EXPECT_TRUE(app->EntryNeedsImageWork("a.jpg") && app->EntryNeedsImageWork("a.tga"));
    EXPECT_FALSE(app->EntryNeedsImageWork("a.texture.txt"));

    testing_support::WriteImage(work.File("sky.jpg"), 8, 8, false);
    app->TrawlActive = true;
    app->EntryFolder = work.path().string();
    app->EntryName = "sky.jpg";
    app->TrawlConvert();  // option off, examined for the repair only
    const auto& outcome = app->LastOutcome;
    EXPECT_TRUE(outcome.skipped && !outcome.converted && !outcome.refused && !outcome.repaired);
}

}  // namespace
