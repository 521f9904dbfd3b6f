#include "app/view/image_details.h"
#include "tests/app/flow_fixture.h"

using namespace testing_support;

namespace {

using flow_testing::Exists;

class ImageViewTest : public flow_testing::FlowTest {
protected:
    std::string Caption(int w, int h, const std::string& rest) {
        return app->T("message Size") + ": " + std::to_string(w) + " " + app->T("message Wide") +
               " x " + std::to_string(h) + " " + app->T("message High") + rest;
    }
    void Open(const std::string& name) {
        host.openPicks.push_back(work.File(name));
        app->view().ChooseAndOpen();
    }
};

TEST_F(ImageViewTest, OpenShowsFittedPicturesAndCaptionOrOneReport) {
    // A picture with alpha, changed by named edits and shown transparent.
    WriteImage(work.File("alpha.tga"), 64, 64, true, true);
    Open("alpha.tga");
    EXPECT_TRUE(host.alphaShown);  // how it fits its pane: the window's test
    EXPECT_EQ(host.sizeLabel,
              Caption(64, 64, app->T("message Blended") + app->T("message UniformColour")));
    app->view().ToggleTransparent();
    app->editing().GreyScale();
    app->editing().MakeNormalMap();
    ASSERT_TRUE(app->view().Modified() && app->view().TransparentView());

    WriteImage(work.File("wide.tga"), 512, 128, false);
    Open("wide.tga");  // a fresh picture: no changes, no transparent view
    EXPECT_FALSE(app->view().Modified());
    EXPECT_EQ(app->view().SaveSuffix(), "");
    EXPECT_FALSE(app->view().TransparentView() || host.transparentChecked);
    // How it fits its pane: the window's test.
    EXPECT_EQ(host.sizeLabel, Caption(512, 128, app->T("message None")));

    // A broken file after an image with alpha is reported once, not twice.
    Open("alpha.tga");
    WriteBytes(work.File("broken.tga"), {1, 2, 3});
    Open("broken.tga");
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(host.colourShown || host.alphaShown);

    // A DXT5 texture is described as such through the redraws of the
    // transparent view switched on and off.
    WriteBytes(work.File("dxt.texture"), TextureBytes(12, 8, 8, std::vector<uint8_t>(64, 0x40)));
    Open("dxt.texture");
    for (int redraws = 0; redraws < 3; ++redraws) {
        EXPECT_NE(host.sizeLabel.find(app->T("message DXT5")), std::string::npos) << redraws;
        app->view().ToggleTransparent();
    }

    // A 32-bit picture whose alpha masks nothing is called opaque, not masked.
    testing_support::TestStore opaque;
    FillImage(opaque.Current, 2, 2, 4, std::vector<uint8_t>(16, 255), 2);
    ASSERT_TRUE(testing_support::Save(opaque, work.File("opaque.tga")));
    Open("opaque.tga");
    EXPECT_EQ(host.sizeLabel,
              Caption(2, 2, app->T("message Opaque") + app->T("message UniformColour")));
    // The details (the window's and the console's) say so too.
    EXPECT_NE(app::ImageDetailsText(app->view().Store(), "opaque.tga", 0)
                  .find("  alpha kind:     2 (opaque)\n  compression:    none\n"),
              std::string::npos);
}

TEST_F(ImageViewTest, SaveNamesAndFailedSaves) {
    struct Case {
        const char *current, *saved;
        bool grey, normal;
    } cases[] = {{"wagon.texture", "wagon.tga", false, false},
                 {"wagon.texture", "wagon_normal.tga", true, true},
                 {"sky_grey.TGA", "sky_grey_grey.TGA", true, false}};
    for (const Case& c : cases) {
        WriteImage(work.File(c.current), 2, 2, false);
        app->view().OpenFile(work.File(c.current));
        if (c.grey) app->editing().GreyScale();
        if (c.normal) app->editing().MakeNormalMap();
        if (!c.grey && !c.normal) app->editing().BreakUpUniformColour();
        app->view().Save();
        EXPECT_EQ(app->settings().CurrentFile, work.File(c.saved));
        EXPECT_TRUE(Exists(work.File(c.saved)) && !app->view().Modified()) << c.saved;
    }
    app->view().Save();  // without changes Save refuses
    EXPECT_EQ(host.messages, std::vector<std::string>{app->T("message Nothing2")});

    // A failed save keeps the changes and the name.
    app->editing().GreyScale();
    host.savePicks.push_back(work.File("copy.webp"));  // no writer for it
    app->view().SaveAs();
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(app->view().Modified() && !Exists(work.File("copy.webp")));
    EXPECT_EQ(app->settings().CurrentFile, work.File("sky_grey_grey.TGA"));
    host.savePicks.push_back(work.File("copy.tga"));
    app->view().SaveAs();
    EXPECT_TRUE(Exists(work.File("copy.tga")) && !app->view().Modified());
}

}  // namespace

TEST_F(ImageViewTest, ReadsOnAnotherThreadShowOnlyTheLatestAndReportWhenShown) {
    // The runner keeps each read for the test to finish, as a reading thread would.
    std::vector<std::pair<std::function<void()>, std::function<void()>>> reads;
    app->view().SetReadRunner([&reads](std::function<void()> work, std::function<void()> done) {
        reads.emplace_back(std::move(work), std::move(done));
    });
    WriteImage(work.File("first.tga"), 8, 4, false);
    WriteImage(work.File("second.tga"), 16, 2, false, true);
    testing_support::WriteBytes(work.File("broken.tga"), {1, 2, 3});
    app->view().OpenFile(work.File("first.tga"));
    app->view().OpenFile(work.File("second.tga"));
    ASSERT_EQ(reads.size(), 2u);
    for (auto& read : reads) read.first();
    // Until a read is shown the window keeps what it had.
    EXPECT_FALSE(app->view().Store().Loaded() || host.colourShown);
    for (auto& read : reads) read.second();
    EXPECT_EQ(app->settings().CurrentFile, work.File("second.tga"));
    EXPECT_EQ(app->view().Store().Current.Width, 16);
    EXPECT_TRUE(host.alphaShown);

    // A failure is told once its read is shown; a showing in between (a
    // trawl's file) drops the read.
    reads.clear();
    app->view().OpenFile(work.File("broken.tga"));
    reads[0].first();
    EXPECT_TRUE(host.messages.empty());
    reads[0].second();
    EXPECT_EQ(host.messages.size(), 1u);
    app->view().OpenFile(work.File("first.tga"));
    app->view().ShowRead(app::ReadOutcome::NothingThere);
    reads[1].first();
    reads[1].second();
    EXPECT_NE(app->settings().CurrentFile, work.File("first.tga"));
}
