#include "core/render.h"
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
    bool Shows(const core::Bitmap& expected) {
        const core::Bitmap& shown = host.colourBitmap;
        return shown.Height() == expected.Height() &&
               shown.BytesPerLine() == expected.BytesPerLine() &&
               std::equal(expected.Bits(),
                          expected.Bits() + expected.BytesPerLine() * expected.Height(),
                          shown.Bits());
    }
};

TEST(FitIntoBoxTest, LongerSideFillsTheBox) {
    const int cases[][6] = {{512, 128, 330, 330, 330, 82},
                            {128, 512, 330, 330, 82, 330},
                            {64, 64, 330, 209, 209, 209},
                            {8, 8, 330, 330, 330, 330},
                            {0, 0, 330, 209, 330, 209}};
    for (const auto& c : cases) {
        const app::FittedSize s = app::FitIntoBox(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(s.width, c[4]) << c[0] << "x" << c[1];
        EXPECT_EQ(s.height, c[5]) << c[0] << "x" << c[1];
    }
}

TEST_F(ImageViewTest, OpenShowsFittedPicturesAndCaption) {
    WriteImage(work.File("wide.tga"), 512, 128, false);
    host.memo = {"old"};
    app->ImageModified = app->NormalMapMade = app->GreyScaleMade = true;
    app->PickMode = 2;
    Open("wide.tga");
    EXPECT_TRUE(host.memo.empty());
    EXPECT_FALSE(app->ImageModified || app->NormalMapMade || app->GreyScaleMade || app->PickMode);
    EXPECT_EQ(host.colourWidth, 330);
    EXPECT_EQ(host.colourHeight, 82);
    EXPECT_EQ(host.colourBitmap.Width(), 512);
    EXPECT_FALSE(host.alphaShown || host.nonUniformVisible);
    EXPECT_EQ(host.sizeLabel, Caption(512, 128, app->T("message None")));
    EXPECT_EQ(host.fileNameLabel, app->T("label FileName") + ":  wide.tga");
    EXPECT_EQ(host.recentCaption, "  wide.tga");

    // With alpha: the alpha pane too; drawing it keeps the uniform finding.
    WriteImage(work.File("alpha.tga"), 64, 64, true, true);
    Open("alpha.tga");
    EXPECT_EQ(host.alphaWidth, 209);
    EXPECT_EQ(host.alphaHeight, 209);
    EXPECT_TRUE(app->store().UniformColour && host.nonUniformVisible);
    EXPECT_EQ(host.sizeLabel,
              Caption(64, 64, app->T("message Blended") + app->T("message UniformColour")));
}

TEST_F(ImageViewTest, CompressionOnceAndTransparentViewOneShot) {
    app->settings().CurrentFile = work.File("held.tga");
    WriteImage(app->settings().CurrentFile, 4, 4, false);
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16; ++i)
        pixels.insert(pixels.end(), {uint8_t(i * 9), 20, 30, uint8_t(i % 2 * 255)});
    FillStore(app->store(), 4, 4, 4, pixels, 2);
    app->store().Image.Compression = 1;
    app->ViewTexture(false);
    EXPECT_EQ(host.sizeLabel, Caption(4, 4, app->T("message DXT1") + app->T("message Masked")));
    app->ViewTexture(false);
    EXPECT_EQ(host.sizeLabel, Caption(4, 4, app->T("message Masked")));

    core::Bitmap transparent, plain;
    core::RenderTransparent(app->store(), transparent, app->settings().BGroundColour);
    app->TransparentView = app->TransparentPending = true;
    app->ViewTexture(false);
    EXPECT_TRUE(Shows(transparent));
    app->ViewTexture(false);
    app->store().AlphaView = false;
    core::RenderImage(app->store(), plain, 4, 4);
    EXPECT_TRUE(Shows(plain));
    EXPECT_TRUE(app->TransparentView);

    host.transparentChecked = app->TransparentPending = true;
    app->ViewTexture(true);  // a reload switches the transparent view off
    EXPECT_FALSE(app->TransparentView || app->TransparentPending || host.transparentChecked);
}

TEST_F(ImageViewTest, MissingAndUnreadableFiles) {
    host.sizeLabel = "kept";
    app->settings().CurrentFile = work.File("missing.tga");
    app->Open2Click();
    EXPECT_FALSE(host.colourShown);
    EXPECT_EQ(host.sizeLabel, "kept");
    EXPECT_EQ(app->settings().CurrentFile, "");
    EXPECT_EQ(host.recentCaption, "  ");

    // A broken file after an image with alpha is reported once, not twice.
    WriteImage(work.File("alpha.tga"), 8, 8, false, true);
    Open("alpha.tga");
    testing_support::WriteBytes(work.File("broken.tga"), {1, 2, 3});
    Open("broken.tga");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("broken.tga"), std::string::npos);
    EXPECT_FALSE(host.colourShown || host.alphaShown);

    app->TrawlActive = true;  // during a trawl: a memo line instead
    app->ViewTexture(true);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.memo, std::vector<std::string>{host.messages[0]});
}

TEST_F(ImageViewTest, SaveNameRules) {
    struct Case {
        const char* current;
        bool grey, normal;
        const char* saved;
    } cases[] = {{"wagon.texture", false, false, "wagon.tga"},
                 {"wagon.texture", true, false, "wagon_grey.tga"},
                 {"wagon.texture", true, true, "wagon_normal.tga"},
                 {"sky.TGA", false, false, "sky.TGA"},
                 {"sky.TGA", true, false, "sky_grey.TGA"},
                 {"sky_grey.TGA", true, false, "sky_grey_grey.TGA"}};
    for (const Case& c : cases) {
        app->settings().CurrentFile = work.File(c.current);
        FillStore(app->store(), 2, 2, 3, std::vector<uint8_t>(12, 50));
        app->GreyScaleMade = c.grey;
        app->NormalMapMade = c.normal;
        app->ImageModified = true;
        app->Save1Click();
        EXPECT_EQ(app->settings().CurrentFile, work.File(c.saved));
        EXPECT_TRUE(Exists(work.File(c.saved))) << c.saved;
        EXPECT_FALSE(app->ImageModified);
        EXPECT_EQ(app->GreyScaleMade, c.grey);  // saving clears neither
        EXPECT_EQ(host.fileNameLabel, app->T("label FileName") + ":  " + c.saved);
    }

    // Without changes Save refuses and Save As (proposing the TGA name) saves.
    app->settings().CurrentFile = work.File("loco.texture");
    app->Save1Click();
    EXPECT_EQ(host.messages, std::vector<std::string>{app->T("message Nothing2")});
    host.savePicks.push_back(work.File("copy.tga"));
    app->SaveAs1Click();
    EXPECT_TRUE(Exists(work.File("copy.tga")));
    EXPECT_EQ(host.recentCaption, "  copy.tga");
    core::ResetImage(app->store());
    app->SaveAs1Click();  // nothing loaded
    EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(ImageViewTest, FailedSavesKeepTheChangesAndTheName) {
    app->settings().CurrentFile = work.File("tile.tga");
    FillStore(app->store(), 2, 2, 3, std::vector<uint8_t>(12, 50));
    app->ImageModified = true;
    host.savePicks.push_back(work.File("copy.png"));  // no writer for it
    app->SaveAs1Click();
    app->settings().CurrentFile = work.File("gone/tile.tga");  // no such folder
    app->Save1Click();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_NE(host.messages[0].find("copy.png"), std::string::npos);
    EXPECT_NE(host.messages[1].find("tile.tga"), std::string::npos);
    EXPECT_FALSE(Exists(work.File("copy.png")));
    EXPECT_TRUE(app->ImageModified);
    EXPECT_EQ(app->settings().CurrentFile, work.File("gone/tile.tga"));
}

}  // namespace
