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
    core::ImageStore opaque;
    FillStore(opaque, 2, 2, 4, std::vector<uint8_t>(16, 255), 2);
    ASSERT_TRUE(core::SaveImage(opaque, work.File("opaque.tga")));
    Open("opaque.tga");
    EXPECT_EQ(host.sizeLabel,
              Caption(2, 2, app->T("message Opaque") + app->T("message UniformColour")));
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
