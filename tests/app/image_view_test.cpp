#include "tests/app/flow_fixture.h"

namespace {

using flow_testing::Exists;
using testing_support::FillStore;
using testing_support::WriteImage;

class ImageViewTest : public flow_testing::FlowTest {
protected:
    std::string Caption(int w, int h, const std::string& rest) {
        return app->T("message Size") + ": " + std::to_string(w) + " " + app->T("message Wide") +
               " x " + std::to_string(h) + " " + app->T("message High") + rest;
    }
    void Open(const std::string& name) {
        host.openPicks.push_back(work.File(name));
        app->Open1Click();
    }
};

TEST_F(ImageViewTest, OpenShowsFittedPicturesAndCaptionOrOneReport) {
    WriteImage(work.File("wide.tga"), 512, 128, false);
    app->ImageModified = app->NormalMapMade = app->GreyScaleMade = true;
    app->TransparentView = host.transparentChecked = true;
    Open("wide.tga");  // a fresh picture: no changes, no transparent view
    EXPECT_FALSE(app->ImageModified || app->NormalMapMade || app->GreyScaleMade);
    EXPECT_FALSE(app->TransparentView || host.transparentChecked);
    // The longer side fills the 330 x 209 box.
    EXPECT_TRUE(host.colourWidth == 330 && host.colourHeight == 82) << host.colourHeight;
    EXPECT_EQ(host.sizeLabel, Caption(512, 128, app->T("message None")));

    // With alpha: the alpha pane too.
    WriteImage(work.File("alpha.tga"), 64, 64, true, true);
    Open("alpha.tga");
    EXPECT_EQ(host.alphaHeight, 209);
    EXPECT_EQ(host.sizeLabel,
              Caption(64, 64, app->T("message Blended") + app->T("message UniformColour")));

    // A broken file after an image with alpha is reported once, not twice.
    testing_support::WriteBytes(work.File("broken.tga"), {1, 2, 3});
    Open("broken.tga");
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(host.colourShown || host.alphaShown);
}

TEST_F(ImageViewTest, SaveNamesAndFailedSaves) {
    struct Case {
        const char *current, *saved;
        bool grey, normal;
    } cases[] = {{"wagon.texture", "wagon.tga", false, false},
                 {"wagon.texture", "wagon_normal.tga", true, true},
                 {"sky_grey.TGA", "sky_grey_grey.TGA", true, false}};
    for (const Case& c : cases) {
        app->settings().CurrentFile = work.File(c.current);
        FillStore(app->store(), 2, 2, 3, std::vector<uint8_t>(12, 50));
        app->GreyScaleMade = c.grey;
        app->NormalMapMade = c.normal;
        app->ImageModified = true;
        app->Save1Click();
        EXPECT_EQ(app->settings().CurrentFile, work.File(c.saved));
        EXPECT_TRUE(Exists(work.File(c.saved)) && !app->ImageModified) << c.saved;
    }
    app->Save1Click();  // without changes Save refuses
    EXPECT_EQ(host.messages, std::vector<std::string>{app->T("message Nothing2")});

    // A failed save keeps the changes and the name.
    app->ImageModified = true;
    host.savePicks.push_back(work.File("copy.webp"));  // no writer for it
    app->SaveAs1Click();
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(app->ImageModified && !Exists(work.File("copy.webp")));
    EXPECT_EQ(app->settings().CurrentFile, work.File("sky_grey_grey.TGA"));
    host.savePicks.push_back(work.File("copy.tga"));
    app->SaveAs1Click();
    EXPECT_TRUE(Exists(work.File("copy.tga")) && !app->ImageModified);
}

}  // namespace
