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
    app->TransparentView = app->TransparentPending = host.transparentChecked = true;
    Open("wide.tga");  // a fresh picture: no changes, no transparent view
    EXPECT_FALSE(app->ImageModified || app->NormalMapMade || app->GreyScaleMade);
    EXPECT_FALSE(app->TransparentView || app->TransparentPending || host.transparentChecked);
    // The longer side fills the 330 x 209 box.
    EXPECT_TRUE(host.colourWidth == 330 && host.colourHeight == 82) << host.colourHeight;
    EXPECT_EQ(host.sizeLabel, Caption(512, 128, app->T("message None")));
    EXPECT_EQ(host.fileNameLabel, app->T("label FileName") + ":  wide.tga");

    // With alpha: the alpha pane too; drawing it keeps the uniform finding.
    WriteImage(work.File("alpha.tga"), 64, 64, true, true);
    Open("alpha.tga");
    EXPECT_EQ(host.alphaHeight, 209);
    EXPECT_TRUE(app->store().UniformColour && host.nonUniformVisible);
    EXPECT_EQ(host.sizeLabel,
              Caption(64, 64, app->T("message Blended") + app->T("message UniformColour")));

    // A broken file after an image with alpha is reported once, not twice.
    testing_support::WriteBytes(work.File("broken.tga"), {1, 2, 3});
    Open("broken.tga");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("broken.tga"), std::string::npos);
    EXPECT_FALSE(host.colourShown || host.alphaShown);
}

TEST_F(ImageViewTest, CompressionIsNamedOnlyOnTheFirstView) {
    testing_support::WriteBytes(app->settings().CurrentFile = work.File("held.tga"), {0});  // not read
    FillStore(app->store(), 4, 4, 4, testing_support::TestPixels(4, 4, false, true), 2);
    app->store().Image.Compression = 1;
    app->ViewTexture(false);
    EXPECT_EQ(host.sizeLabel, Caption(4, 4, app->T("message DXT1") + app->T("message Masked")));
    app->ViewTexture(false);
    EXPECT_EQ(host.sizeLabel, Caption(4, 4, app->T("message Masked")));
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
    host.savePicks.push_back(work.File("copy.png"));  // no writer for it
    app->SaveAs1Click();
    EXPECT_EQ(app->settings().CurrentFile, work.File("sky_grey_grey.TGA"));
    app->settings().CurrentFile = work.File("gone/tile.tga");  // no such folder
    app->Save1Click();
    ASSERT_EQ(host.messages.size(), 3u);
    EXPECT_NE(host.messages[1].find("copy.png"), std::string::npos);
    EXPECT_FALSE(Exists(work.File("copy.png")));
    EXPECT_TRUE(app->ImageModified);
    EXPECT_EQ(app->settings().CurrentFile, work.File("gone/tile.tga"));
    host.savePicks.push_back(work.File("copy.tga"));
    app->SaveAs1Click();
    EXPECT_TRUE(Exists(work.File("copy.tga")) && !app->ImageModified);
}

}  // namespace
