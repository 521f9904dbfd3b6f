// What a console needs from the trawl to run its conversions elsewhere: the
// entry hook, the per-file repair seed and the outcome of each entry.
#include <algorithm>
#include <filesystem>

#include "tests/app/flow_fixture.h"

namespace {

namespace fs = std::filesystem;
using flow_testing::Exists;
using testing_support::ReadBytes;
using testing_support::WriteImage;

class TrawlHooksTest : public flow_testing::FlowTest {
protected:
    // TrawlConvert of one entry of the work folder.
    const app::Application::EntryOutcome& Convert(const std::string& name) {
        app->TrawlActive = true;
        app->EntryFolder = work.path().string();
        app->EntryName = name;
        app->TrawlConvert();
        return app->LastOutcome;
    }
};

TEST_F(TrawlHooksTest, HookTakesEveryEntryInWalkOrder) {
    fs::create_directories(work.File("sub"));
    WriteImage(work.File("b.texture"), 4, 4, false);
    WriteImage(work.File("sub/a.texture"), 4, 4, false);
    std::vector<std::string> seen;
    app->ConvertEntryHook = [&] { seen.push_back(fs::path(app->EntryFolder).filename().string() + "/" + app->EntryName); };
    app->settings().DefaultDir = work.path().string();
    app->StartClick();
    Step();
    const std::string top = work.path().filename().string();
    EXPECT_EQ(seen, (std::vector<std::string>{top + "/b.texture", top + "/sub", "sub/a.texture"}));
    EXPECT_FALSE(Exists(work.File("b.tga")));  // the hook converts, not the walk
    EXPECT_NE(std::find(host.allMemo.begin(), host.allMemo.end(), "searching sub"), host.allMemo.end());
}

TEST_F(TrawlHooksTest, OutcomesAndWhichEntriesNeedImageWork) {
    app::Settings& s = app->settings();
    s.DoTextures = true;
    s.DoBMPs = true;
    s.DoJPGs = false;
    s.FixUniformColour = false;
    EXPECT_TRUE(app->EntryNeedsImageWork("a.TEXTURE") && app->EntryNeedsImageWork("a.bmp"));
    EXPECT_FALSE(app->EntryNeedsImageWork("a.jpg") || app->EntryNeedsImageWork("a.tga") ||
                 app->EntryNeedsImageWork("sub"));
    s.FixUniformColour = true;
    EXPECT_TRUE(app->EntryNeedsImageWork("a.jpg") && app->EntryNeedsImageWork("a.tga"));
    EXPECT_FALSE(app->EntryNeedsImageWork("a.texture.txt"));

    WriteImage(work.File("flat.bmp"), 8, 8, true);
    auto outcome = Convert("flat.bmp");
    EXPECT_TRUE(outcome.converted && outcome.repaired && !outcome.refused && !outcome.skipped);
    WriteImage(work.File("odd.bmp"), 100, 100, false);
    outcome = Convert("odd.bmp");
    EXPECT_TRUE(outcome.refused && !outcome.converted);
    ASSERT_FALSE(outcome.problems.empty());
    EXPECT_NE(outcome.problems[0].find("odd.bmp"), std::string::npos);
    testing_support::WriteBytes(work.File("bad.texture"), {1, 2, 3});
    outcome = Convert("bad.texture");
    EXPECT_TRUE(outcome.refused && outcome.problems.size() == 1);
    WriteImage(work.File("sky.jpg"), 8, 8, false);
    outcome = Convert("sky.jpg");  // option off, examined for the repair only
    EXPECT_TRUE(outcome.skipped && !outcome.converted && !outcome.refused && !outcome.repaired);
}

TEST_F(TrawlHooksTest, SeedMakesTheRepairAFunctionOfTheFile) {
    app->settings().FixUniformColour = true;
    app->RandomSeedForFile = [](const std::string& file) { return static_cast<uint32_t>(file.size()); };
    std::vector<std::vector<uint8_t>> repaired;
    for (int run = 0; run < 2; ++run) {
        WriteImage(work.File("flat.tga"), 16, 16, true);
        app->Random.discard(run * 7);  // whatever the generator held before
        ASSERT_TRUE(Convert("flat.tga").repaired);
        repaired.push_back(ReadBytes(work.File("flat.tga")));
    }
    EXPECT_EQ(repaired[0], repaired[1]);
    WriteImage(work.File("flat.tga"), 16, 16, true);
    EXPECT_NE(ReadBytes(work.File("flat.tga")), repaired[0]);
}

}  // namespace
