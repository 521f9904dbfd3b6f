// The editing commands of the picture panes, the colour pick, the editor round
// trip's guards, the option toggles, the editor choice and help, driven through
// the recording host.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/application.h"
#include "core/save_image.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

namespace {

using app::Answer;
using testing_support::FakeHost;
using testing_support::FillStore;
using testing_support::TempDir;

class EditingCommands : public ::testing::Test {
protected:
    EditingCommands() : app(host) {
        app.FormCreate(dir.path().string() + "/", dir.File("skeinpress"));
        host.memo.clear();
        host.messages.clear();
    }

    // A 2 x 2 picture; with alpha the pixels' alpha are 0, 100, 255, 255.
    void LoadPicture(bool withAlpha) {
        if (withAlpha) {
            FillStore(app.store(), 2, 2, 4, {10, 20, 33, 0, 255, 0, 255, 100, 255, 0, 255, 255, 1, 2, 3, 255}, 1);
        } else {
            FillStore(app.store(), 2, 2, 3, {10, 20, 33, 255, 0, 255, 250, 5, 250, 1, 2, 3});
        }
    }
    std::vector<uint8_t> Pixels() const {
        auto& store = const_cast<app::Application&>(app).store();
        return {store.PixelBuffer.begin(), store.PixelBuffer.end()};
    }

    TempDir dir;
    FakeHost host;
    app::Application app;
};

TEST_F(EditingCommands, TransparentViewTogglesOnlyWithAlphaAndBackgroundArmsOneRedraw) {
    LoadPicture(false);
    app.PickMode = 2;
    app.DisplayTransparent1Click();
    EXPECT_FALSE(app.TransparentView);
    EXPECT_FALSE(host.transparentChecked);
    EXPECT_EQ(app.PickMode, 0);

    // Without the view on, a new background is only stored.
    app.TransparentBground1Click(0x0000FF);
    EXPECT_EQ(app.settings().BGroundColour, 0x0000FFu);
    EXPECT_FALSE(app.TransparentPending);

    LoadPicture(true);
    app.DisplayTransparent1Click();
    EXPECT_TRUE(app.TransparentView);
    EXPECT_TRUE(host.transparentChecked);
    app.TransparentPending = false;  // as the redraw leaves it
    app.TransparentBground1Click(0x00FF00);
    EXPECT_TRUE(app.TransparentPending);

    app.DisplayTransparent1Click();
    EXPECT_FALSE(app.TransparentView);
    EXPECT_FALSE(host.transparentChecked);
    EXPECT_FALSE(app.TransparentPending);
}

TEST_F(EditingCommands, OptionTogglesInvertTheirFlagAndTwiceRestoreIt) {
    const bool before = app.settings().DoBMPs;
    EXPECT_EQ(app.ToggleOption(&app::Settings::DoBMPs), !before);
    EXPECT_EQ(app.settings().DoBMPs, !before);
    EXPECT_EQ(app.ToggleOption(&app::Settings::DoBMPs), before);
    const bool uniform = app.settings().FixUniformColour;
    app.ToggleOption(&app::Settings::FixUniformColour);
    EXPECT_EQ(app.settings().FixUniformColour, !uniform);
    EXPECT_EQ(app.settings().DoBMPs, before);
}

TEST_F(EditingCommands, ColourPickBuildsTheMaskTextAndMasksNearColours) {
    LoadPicture(false);
    app.BeginColourPick(false, 10);
    EXPECT_EQ(app.PickMode, 0);
    EXPECT_EQ(app.ColourPicked(255, 0, 255), "");  // no pick awaited: nothing happens
    EXPECT_EQ(app.store().BytesPerPixel(), 3);

    app.BeginColourPick(true, 10);
    EXPECT_EQ(app.PickMode, 2);
    EXPECT_EQ(app.ColourPicked(255, 0, 255), "255,0,255,10");
    EXPECT_EQ(app.PickMode, 0);
    EXPECT_TRUE(app.ImageModified);
    ASSERT_EQ(app.store().BytesPerPixel(), 4);
    const auto p = Pixels();
    EXPECT_EQ(p[3], 255);   // 10,20,33: far
    EXPECT_EQ(p[7], 0);     // the picked colour
    EXPECT_EQ(p[11], 0);    // 250,5,250: within 10
    EXPECT_EQ(p[15], 255);
}

TEST_F(EditingCommands, AlphaCommandsChangeOnlyWhatTheyCanAndSayWhyNot) {
    LoadPicture(false);
    app.InvertAlphaColour1Click();
    EXPECT_FALSE(app.ImageModified);
    ASSERT_EQ(host.messages.size(), 1u);  // no alpha channel: told so

    host.answers = {Answer::No};
    app.RemoveAlphaChannel1Click();
    EXPECT_EQ(host.messages.size(), 1u);
    host.answers = {Answer::Yes};
    app.RemoveAlphaChannel1Click();  // nothing to remove on a 24-bit image
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_FALSE(app.ImageModified);
    EXPECT_EQ(host.confirmations.size(), 2u);

    LoadPicture(true);
    app.InvertAlphaColour1Click();
    EXPECT_TRUE(app.ImageModified);
    auto p = Pixels();
    EXPECT_EQ(p[3], 255);
    EXPECT_EQ(p[7], 155);

    app.ImageModified = false;
    host.answers = {Answer::No};
    app.RemoveAlphaChannel1Click();
    EXPECT_EQ(app.store().BytesPerPixel(), 4);
    host.answers = {Answer::Yes};
    app.RemoveAlphaChannel1Click();
    EXPECT_EQ(app.store().BytesPerPixel(), 3);
    EXPECT_EQ(app.store().Image.AlphaKind, 0);
    EXPECT_TRUE(app.ImageModified);
}

TEST_F(EditingCommands, MergeAlphaImageReportsNoImageAFailureAndTakesTheRedChannel) {
    host.AddMemoLine("old line");
    app.MergeAlphaImage1Click();
    EXPECT_EQ(host.memo, (std::vector<std::string>{"", " **** String Not Translated ****"}));
    EXPECT_EQ(host.beeps, 1);

    LoadPicture(false);
    host.memo.clear();
    app.MergeAlphaImage1Click();  // picker cancelled
    EXPECT_TRUE(host.memo.empty());
    EXPECT_EQ(app.store().BytesPerPixel(), 3);

    const std::string wrongSize = dir.File("wrong.tga");
    testing_support::WriteBytes(wrongSize, testing_support::MakeTga(1, 1, 24, {0, 0, 0}));
    host.openPicks = {wrongSize};
    app.MergeAlphaImage1Click();
    EXPECT_FALSE(app.ImageModified);
    ASSERT_EQ(host.memo.size(), 1u);
    EXPECT_NE(host.memo[0].find("Images not the same size"), std::string::npos);

    // Stored blue, green, red, bottom row first: reds 7, 8, 9, 250.
    const std::string alpha = dir.File("alpha.tga");
    testing_support::WriteBytes(alpha, testing_support::MakeTga(2, 2, 24, {0, 0, 7, 0, 0, 8, 0, 0, 9, 0, 0, 250}));
    host.openPicks = {alpha};
    app.MergeAlphaImage1Click();
    EXPECT_TRUE(app.ImageModified);
    ASSERT_EQ(app.store().BytesPerPixel(), 4);
    const auto p = Pixels();
    EXPECT_EQ((std::vector<uint8_t>{p[3], p[7], p[11], p[15]}), (std::vector<uint8_t>{7, 8, 9, 250}));
    EXPECT_EQ(app.store().Image.AlphaKind, 1);
}

TEST_F(EditingCommands, NormalMapAndGreyScaleMarkTheImage) {
    app.MakeNormalMap1Click();  // nothing loaded: nothing happens
    EXPECT_FALSE(app.NormalMapMade);

    FillStore(app.store(), 2, 1, 3, {90, 1, 2, 90, 3, 4});
    app.store().AlphaFillValue = 127;
    app.MakeNormalMap1Click();
    ASSERT_EQ(app.store().BytesPerPixel(), 4);
    EXPECT_EQ(Pixels(), (std::vector<uint8_t>{128, 128, 255, 127, 128, 128, 255, 127}));
    EXPECT_EQ(app.store().Image.AlphaKind, 1);
    EXPECT_TRUE(app.NormalMapMade);
    EXPECT_TRUE(app.ImageModified);

    LoadPicture(true);
    app.ImageModified = false;
    app.GreyScale1Click();
    EXPECT_TRUE(app.GreyScaleMade);
    EXPECT_TRUE(app.ImageModified);
    const auto p = Pixels();
    EXPECT_EQ((std::vector<uint8_t>{p[0], p[1], p[2], p[3]}), (std::vector<uint8_t>{21, 21, 21, 0}));
}

TEST_F(EditingCommands, EditorRoundTripNeedsAnEditorAnImageAndAlphaForTheAlphaSide) {
    LoadPicture(true);
    app.settings().EditorPath = "";
    app.Edit1Click();
    ASSERT_EQ(host.messages.size(), 1u);  // asks the user to choose the editor
    EXPECT_TRUE(host.startedPrograms.empty());
    EXPECT_FALSE(host.Active(app::TimerId::WatchColour));

    app.settings().EditorPath = dir.File("missing-editor");
    app.Edit2Click();
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_FALSE(host.Active(app::TimerId::WatchAlpha));

    // An editor, but no alpha channel: the alpha side refuses.
    const std::string editor = dir.File("editor");
    testing_support::WriteBytes(editor, {'#', '!'});
    app.settings().EditorPath = editor;
    LoadPicture(false);
    app.PickMode = 2;
    app.Edit2Click();
    EXPECT_EQ(app.PickMode, 0);
    EXPECT_EQ(host.messages.size(), 3u);
    EXPECT_TRUE(host.startedPrograms.empty());

    // A watcher whose file is gone stops at its first tick.
    host.StartTimer(app::TimerId::WatchColour, 1000);
    host.StartTimer(app::TimerId::WatchAlpha, 1000);
    app.Timer2Timer();
    app.Timer3Timer();
    EXPECT_FALSE(host.Active(app::TimerId::WatchColour));
    EXPECT_FALSE(host.Active(app::TimerId::WatchAlpha));
}

TEST_F(EditingCommands, EditorRoundTripTakesBackTheEditedColoursWithTheAlpha) {
    const std::string editor = dir.File("editor");
    testing_support::WriteBytes(editor, {'#', '!'});
    app.settings().EditorPath = editor;
    app.settings().CurrentFile = dir.File("wagon.tga");
    LoadPicture(true);
    app.Edit1Click();
    ASSERT_EQ(host.startedPrograms.size(), 1u);
    EXPECT_EQ(host.startedPrograms[0], (std::vector<std::string>{editor, app.TempImagePath()}));
    EXPECT_EQ(host.sleeps, std::vector<int>{500});
    ASSERT_TRUE(host.Active(app::TimerId::WatchColour));
    ASSERT_TRUE(std::filesystem::exists(app.TempAlphaPath()));

    app.Timer2Timer();  // nothing saved in the editor yet
    EXPECT_FALSE(app.ImageModified);

    // The "editor" saves a grey picture over the colour file.
    core::ImageStore edited;
    FillStore(edited, 2, 2, 3, std::vector<uint8_t>(12, 60));
    ASSERT_TRUE(core::SaveImage(edited, app.TempImagePath()));
    std::filesystem::last_write_time(app.TempImagePath(), app.TempImageAge + std::chrono::seconds(2));
    app.Timer2Timer();
    EXPECT_TRUE(app.ImageModified);
    EXPECT_EQ(app.settings().CurrentFile, dir.File("wagon.tga"));
    ASSERT_EQ(app.store().BytesPerPixel(), 4);
    const auto p = Pixels();
    EXPECT_EQ((std::vector<uint8_t>{p[0], p[1], p[2], p[3], p[7]}), (std::vector<uint8_t>{60, 60, 60, 0, 100}));

    // Deleting the file ends the watch.
    std::filesystem::remove(app.TempImagePath());
    app.Timer2Timer();
    EXPECT_FALSE(host.Active(app::TimerId::WatchColour));
}

TEST_F(EditingCommands, EditorChoiceAndHelp) {
    app.settings().EditorPath = "/opt/old/editor";
    host.answers = {Answer::No};
    host.openPicks = {std::string("/opt/new/editor")};
    app.SetUp1Click();
    EXPECT_EQ(app.settings().EditorPath, "/opt/old/editor");
    host.answers = {Answer::Yes};
    host.openPicks = {std::nullopt};
    app.SetUp1Click();
    EXPECT_EQ(app.settings().EditorPath, "/opt/old/editor");
    host.answers = {Answer::Yes};
    host.openPicks = {std::string("/opt/new/editor")};
    app.SetUp1Click();
    EXPECT_EQ(app.settings().EditorPath, "/opt/new/editor");

    // No help anywhere: nothing opens, nothing is said.
    app.Help2Click(dir.File("share") + "/");
    EXPECT_TRUE(host.openedDocuments.empty());
    EXPECT_TRUE(host.messages.empty());
    std::filesystem::create_directories(dir.path() / "share" / "help");
    testing_support::WriteBytes(dir.File("share/help/index.html"), {'<'});
    app.Help2Click(dir.File("share") + "/");
    ASSERT_EQ(host.openedDocuments.size(), 1u);
    EXPECT_EQ(host.openedDocuments[0], dir.File("share") + "/help/index.html");
    testing_support::WriteBytes(dir.File("Skeinpress.chm"), {'I'});
    app.Help2Click(dir.File("share") + "/");
    EXPECT_EQ(host.openedDocuments.back(), dir.path().string() + "/Skeinpress.chm");
}

TEST_F(EditingCommands, ActualSizeShowsColourTransparentOrAlpha) {
    core::Bitmap bitmap;
    EXPECT_FALSE(app.RenderActualSize(bitmap));  // no image: empty picture

    LoadPicture(false);
    EXPECT_FALSE(app.DisplayActualSize2Click());  // no alpha channel
    LoadPicture(true);
    app.PickMode = 2;
    ASSERT_TRUE(app.DisplayActualSize2Click());
    EXPECT_EQ(app.PickMode, 0);
    ASSERT_TRUE(app.RenderActualSize(bitmap));
    EXPECT_EQ(bitmap.BitsPerPixel(), 24);
    EXPECT_EQ(bitmap.Row(1)[0], 0);  // bottom-left pixel's alpha as grey
    EXPECT_EQ(bitmap.Row(1)[3], 100);

    ASSERT_TRUE(app.DisplayActualSize1Click());
    EXPECT_FALSE(app.ActualSizeAlpha);
    ASSERT_TRUE(app.RenderActualSize(bitmap));
    EXPECT_EQ(bitmap.Row(1)[0], 33);  // plain colour, blue first
    // The transparent view follows the toggle, not the one-shot redraw flag.
    app.TransparentView = true;
    app.TransparentPending = false;
    ASSERT_TRUE(app.RenderActualSize(bitmap));
    EXPECT_EQ(bitmap.BitsPerPixel(), 32);
    EXPECT_NE(bitmap.Row(1)[0], 33);  // alpha 0 shows the background only
}

}  // namespace
