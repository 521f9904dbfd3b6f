#include <filesystem>

#include "core/render.h"
#include "tests/app/flow_fixture.h"

namespace {

using flow_testing::Exists;
using flow_testing::FlowTest;
using testing_support::FillStore;
using testing_support::WriteBytes;

class ImageViewTest : public FlowTest {
protected:
    std::string Caption(int w, int h, const std::string& extra) {
        return app->T("message Size") + ": " + std::to_string(w) + " " + app->T("message Wide") +
               " x " + std::to_string(h) + " " + app->T("message High") + extra;
    }
    void Open(const std::string& path) {
        host.openPicks.push_back(path);
        app->Open1Click();
    }
};

TEST(FitIntoBoxTest, LongerSideFillsTheBox) {
    auto check = [](int w, int h, int bw, int bh, int ew, int eh) {
        const app::FittedSize s = app::FitIntoBox(w, h, bw, bh);
        EXPECT_EQ(s.width, ew) << w << "x" << h;
        EXPECT_EQ(s.height, eh) << w << "x" << h;
    };
    check(512, 128, 330, 330, 330, 82);
    check(128, 512, 330, 330, 82, 330);
    check(64, 64, 330, 209, 209, 209);
    check(1024, 256, 330, 209, 330, 82);
    check(8, 8, 330, 330, 330, 330);  // small pictures are enlarged
    check(0, 0, 330, 209, 330, 209);
}

TEST_F(ImageViewTest, OpenShowsFittedPicturesAndCaption) {
    const std::string wide = work.File("wide.tga");
    WriteBytes(wide, flow_testing::MakeTgaOf(512, 128, false));
    host.memo.push_back("old line");
    app->ImageModified = app->NormalMapMade = app->GreyScaleMade = true;
    app->PickMode = 2;
    Open(wide);
    EXPECT_TRUE(host.memo.empty());
    EXPECT_FALSE(app->ImageModified || app->NormalMapMade || app->GreyScaleMade);
    EXPECT_EQ(app->PickMode, 0);
    EXPECT_EQ(app->settings().CurrentFile, wide);
    EXPECT_TRUE(host.colourShown);
    EXPECT_EQ(host.colourWidth, 330);
    EXPECT_EQ(host.colourHeight, 82);
    EXPECT_EQ(host.colourBitmap.Width(), 512);
    EXPECT_FALSE(host.alphaShown);
    EXPECT_EQ(host.sizeLabel, Caption(512, 128, app->T("message None")));
    EXPECT_EQ(host.fileNameLabel, app->T("label FileName") + ":  wide.tga");
    EXPECT_EQ(host.recentCaption, "  wide.tga");
    EXPECT_FALSE(host.nonUniformVisible);

    const std::string tall = work.File("tall.tga");
    WriteBytes(tall, flow_testing::MakeTgaOf(128, 512, false));
    Open(tall);
    EXPECT_EQ(host.colourWidth, 82);
    EXPECT_EQ(host.colourHeight, 330);

    // An image with graded alpha: the alpha pane too, fitted into 330 x 209.
    const std::string alpha = work.File("alpha.tga");
    WriteBytes(alpha, flow_testing::MakeTgaOf(64, 64, true, true));
    Open(alpha);
    EXPECT_TRUE(host.alphaShown);
    EXPECT_EQ(host.alphaWidth, 209);
    EXPECT_EQ(host.alphaHeight, 209);
    EXPECT_EQ(host.colourWidth, 330);
    // Drawing the alpha channel does not undo the colour view's uniform finding.
    EXPECT_TRUE(app->store().UniformColour);
    EXPECT_TRUE(host.nonUniformVisible);
    EXPECT_EQ(host.sizeLabel,
              Caption(64, 64, app->T("message Blended") + app->T("message UniformColour")));

    // Cancelling the dialog changes nothing.
    app->ImageModified = true;
    app->Open1Click();
    EXPECT_TRUE(app->ImageModified);
    EXPECT_EQ(app->settings().CurrentFile, alpha);
}

TEST_F(ImageViewTest, CompressionIsReportedOnceAndTransparentViewIsOneShot) {
    app->settings().CurrentFile = work.File("held.tga");
    WriteBytes(app->settings().CurrentFile, flow_testing::MakeTgaOf(4, 4, false));
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16; ++i)
        pixels.insert(pixels.end(), {uint8_t(i * 9), 20, 30, uint8_t(i == 3 ? 0 : 255)});
    FillStore(app->store(), 4, 4, 4, pixels, 2);
    app->store().Image.Compression = 1;
    app->ViewTexture(false);
    EXPECT_EQ(host.sizeLabel, Caption(4, 4, app->T("message DXT1") + app->T("message Masked")));
    EXPECT_EQ(app->store().Image.Compression, 0);
    app->ViewTexture(false);
    EXPECT_EQ(host.sizeLabel, Caption(4, 4, app->T("message Masked")));

    // Transparent drawing once, then the ordinary view again.
    app->TransparentView = true;
    app->TransparentPending = true;
    app->ViewTexture(false);
    EXPECT_FALSE(app->TransparentPending);
    core::Bitmap expected;
    core::RenderTransparent(app->store(), expected, app->settings().BGroundColour);
    ASSERT_EQ(host.colourBitmap.Height(), expected.Height());
    EXPECT_TRUE(std::equal(expected.Bits(),
                           expected.Bits() + expected.BytesPerLine() * expected.Height(),
                           host.colourBitmap.Bits()));
    app->ViewTexture(false);
    EXPECT_TRUE(app->TransparentView);
    app->store().AlphaView = false;
    core::RenderImage(app->store(), expected, 4, 4);
    EXPECT_TRUE(std::equal(expected.Bits(),
                           expected.Bits() + expected.BytesPerLine() * expected.Height(),
                           host.colourBitmap.Bits()));

    // A reload switches the transparent view off.
    host.transparentChecked = true;
    app->TransparentPending = true;
    app->ViewTexture(true);
    EXPECT_FALSE(app->TransparentView || app->TransparentPending || host.transparentChecked);
}

TEST_F(ImageViewTest, MissingAndUnreadableFiles) {
    host.sizeLabel = "kept";
    app->settings().CurrentFile = work.File("missing.tga");
    app->ViewTexture(true);
    EXPECT_FALSE(host.colourShown || host.alphaShown);
    EXPECT_EQ(host.sizeLabel, "kept");
    EXPECT_TRUE(host.messages.empty());

    // Open2 on a missing last file forgets it.
    app->Open2Click();
    EXPECT_EQ(app->settings().CurrentFile, "");
    EXPECT_EQ(host.recentCaption, "  ");

    // A broken file after an image with alpha: one message box, not two.
    const std::string alpha = work.File("alpha.tga");
    WriteBytes(alpha, flow_testing::MakeTgaOf(8, 8, false, true));
    app->settings().CurrentFile = alpha;
    app->Open2Click();
    ASSERT_TRUE(host.messages.empty());
    const std::string broken = work.File("broken.tga");
    WriteBytes(broken, {1, 2, 3});
    app->settings().CurrentFile = broken;
    app->ViewTexture(true);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], app->store().LoadErrorText);
    EXPECT_NE(host.messages[0].find("broken.tga"), std::string::npos);
    EXPECT_FALSE(host.colourShown || host.alphaShown);

    // During a trawl the same failure is a memo line.
    app->TrawlActive = true;
    app->ViewTexture(true);
    EXPECT_EQ(host.messages.size(), 1u);
    ASSERT_EQ(host.memo.size(), 1u);
    EXPECT_EQ(host.memo[0], app->store().LoadErrorText);
    app->TrawlActive = false;
}

TEST_F(ImageViewTest, Timer1OpensWithoutTouchingTheMemo) {
    const std::string file = work.File("start.tga");
    WriteBytes(file, flow_testing::MakeTgaOf(16, 16, false));
    app->settings().CurrentFile = file;
    host.memo = {"  command line line"};
    host.StartTimer(app::TimerId::OpenDelayed, 100);
    host.handlers[app::TimerId::OpenDelayed] = [this] { app->Timer1Timer(); };
    EXPECT_TRUE(host.Fire(app::TimerId::OpenDelayed));
    EXPECT_FALSE(host.Active(app::TimerId::OpenDelayed));
    EXPECT_EQ(host.memo.size(), 1u);
    EXPECT_TRUE(host.colourShown);
    EXPECT_EQ(host.fileNameLabel, app->T("label FileName") + ":  start.tga");
}

TEST_F(ImageViewTest, SaveNameRules) {
    auto loadAs = [&](const std::string& name) {
        app->settings().CurrentFile = work.File(name);
        FillStore(app->store(), 2, 2, 3, std::vector<uint8_t>(12, 50));
        app->ImageModified = true;
    };

    // Nothing changed yet: Save refuses, Save As does not.
    loadAs("wagon.texture");
    app->ImageModified = false;
    app->Save1Click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], app->T("message Nothing2"));

    app->ImageModified = true;
    app->PickMode = 2;
    app->Save1Click();
    EXPECT_EQ(app->PickMode, 0);
    EXPECT_TRUE(Exists(work.File("wagon.tga")));
    EXPECT_EQ(app->settings().CurrentFile, work.File("wagon.tga"));
    EXPECT_FALSE(app->ImageModified);
    EXPECT_EQ(host.fileNameLabel, app->T("label FileName") + ":  wagon.tga");
    EXPECT_EQ(host.recentCaption, "  wagon.tga");

    loadAs("wagon.texture");
    app->GreyScaleMade = true;
    app->Save1Click();
    EXPECT_EQ(app->settings().CurrentFile, work.File("wagon_grey.tga"));
    loadAs("wagon.texture");
    app->NormalMapMade = true;  // wins over grey scale
    app->Save1Click();
    EXPECT_EQ(app->settings().CurrentFile, work.File("wagon_normal.tga"));
    EXPECT_TRUE(app->NormalMapMade && app->GreyScaleMade);  // saving clears neither

    // Other images keep their extension exactly as written.
    app->NormalMapMade = app->GreyScaleMade = false;
    loadAs("sky.TGA");
    app->Save1Click();
    EXPECT_EQ(app->settings().CurrentFile, work.File("sky.TGA"));
    app->GreyScaleMade = true;
    loadAs("sky.TGA");
    app->Save1Click();
    EXPECT_EQ(app->settings().CurrentFile, work.File("sky_grey.TGA"));
    app->ImageModified = true;
    app->Save1Click();
    EXPECT_EQ(app->settings().CurrentFile, work.File("sky_grey_grey.TGA"));
    EXPECT_TRUE(Exists(work.File("sky_grey_grey.TGA")));

    // Save As proposes the TGA name of a texture and saves unchanged images.
    app->GreyScaleMade = false;
    loadAs("loco.texture");
    app->ImageModified = false;
    host.savePicks.push_back(work.File("copy.tga"));
    app->SaveAs1Click();
    EXPECT_TRUE(Exists(work.File("copy.tga")));
    EXPECT_EQ(app->settings().CurrentFile, work.File("copy.tga"));
    EXPECT_EQ(host.recentCaption, "  copy.tga");

    // Nothing loaded: both refuse.
    core::ResetImage(app->store());
    host.messages.clear();
    app->SaveAs1Click();
    app->Save1Click();
    EXPECT_EQ(host.messages, std::vector<std::string>(2, app->T("message Nothing2")));
}

TEST_F(ImageViewTest, FailedSavesKeepTheChangesAndTheName) {
    app->settings().CurrentFile = work.File("tile.tga");
    FillStore(app->store(), 2, 2, 3, std::vector<uint8_t>(12, 50));
    app->ImageModified = true;

    // An unsupported type typed into Save As writes nothing and says so.
    host.savePicks.push_back(work.File("copy.png"));
    app->SaveAs1Click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], app->store().LoadErrorText);
    EXPECT_FALSE(Exists(work.File("copy.png")));
    EXPECT_TRUE(app->ImageModified);
    EXPECT_EQ(app->settings().CurrentFile, work.File("tile.tga"));

    // Save into a folder that cannot take the file.
    app->settings().CurrentFile = work.File("gone/tile.tga");
    app->Save1Click();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_NE(host.messages[1].find("tile.tga"), std::string::npos);
    EXPECT_TRUE(app->ImageModified);
    EXPECT_EQ(app->settings().CurrentFile, work.File("gone/tile.tga"));
}

}  // namespace
