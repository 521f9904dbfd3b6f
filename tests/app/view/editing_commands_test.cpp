// The editing commands of the picture panes, the colour pick and the editor
// round trip, driven through the recording host: each command's guards,
// messages and state, and that its result reaches the store. The pixels of
// the edits are the core's to test, but for the red channel a merge takes,
// which is checked here.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "app/application.h"
#include "core/formats/save_image.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

using app::Answer;
using Bytes = std::vector<uint8_t>;

class EditingCommands : public ::testing::Test {
protected:
    EditingCommands() : app(host) {
        app.Start(dir.path().string(), dir.File("skeinpress"));
        host.memo.clear();
    }
    // A 2 x 2 picture, opened afresh; with alpha the pixels' alpha are 0,
    // 100, 255, 255.
    void LoadPicture(bool withAlpha) {
        testing_support::TestStore picture;
        if (withAlpha)
            FillImage(picture.Current, 2, 2, 4,
                      {10, 20, 33, 0, 255, 0, 255, 100, 255, 0, 255, 255, 1, 2, 3, 255}, 1);
        else
            FillImage(picture.Current, 2, 2, 3, {10, 20, 33, 255, 0, 255, 250, 5, 250, 1, 2, 3});
        ASSERT_TRUE(testing_support::Save(picture, dir.File("picture.tga")));
        app.view().OpenFile(dir.File("picture.tga"));
    }
    Bytes Alphas() {
        const auto& p = app.view().Store().Current.Pixels;
        return {p[3], p[7], p[11], p[15]};
    }

    TempDir dir;
    FakeHost host;
    app::Application app;
};

// The desktop program's tests show the actual size window and the transparent view.
TEST_F(EditingCommands, TransparentViewAndAlphaAtActualSizeNeedAlpha) {
    LoadPicture(false);
    app.view().ToggleTransparent();
    EXPECT_FALSE(app.view().TransparentView() || host.transparentChecked);
    EXPECT_FALSE(app.view().ChooseActualSize(true));
    LoadPicture(true);
    core::Bitmap bitmap;
    ASSERT_TRUE(app.view().ChooseActualSize(true) && app.view().RenderActualSize(bitmap));
    EXPECT_EQ(bitmap.Row(1)[3], 100);  // bottom row's alpha as grey
}

TEST_F(EditingCommands, AlphaCommandsNormalMapAndGreyScale) {
    LoadPicture(false);
    app.editing().InvertAlpha();
    host.answers = {Answer::Yes};
    app.editing().RemoveAlpha();  // nothing to remove on a 24-bit image
    EXPECT_FALSE(app.view().Modified());
    EXPECT_EQ(host.messages.size(), 2u);  // both say why

    app.pick().Begin(10);
    EXPECT_EQ(app.editing().ApplyPickedColour(255, 0, 255), "255,0,255,10");
    ASSERT_EQ(app.view().Store().Current.BytesPerPixel(), 4);
    EXPECT_EQ(Alphas(), (Bytes{255, 0, 0, 255}));  // the picked colour and 250,5,250 within 10
    app.editing().InvertAlpha();
    EXPECT_EQ(Alphas(), (Bytes{0, 255, 255, 0}));
    host.answers = {Answer::Yes};
    app.editing().RemoveAlpha();
    EXPECT_EQ(app.view().Store().Current.BytesPerPixel(), 3);
    app.editing().AddAlpha();  // opaque, to edit from there; a second one says why not
    EXPECT_EQ(Alphas(), (Bytes{255, 255, 255, 255}));
    app.editing().AddAlpha();
    EXPECT_EQ(host.messages.size(), 3u);

    LoadPicture(false);
    app.editing().MakeNormalMap();
    EXPECT_TRUE(app.view().Modified() && app.view().Store().Current.BytesPerPixel() == 4);
    EXPECT_EQ(app.view().SaveSuffix(), "_normal");
    LoadPicture(true);
    app.editing().GreyScale();
    EXPECT_TRUE(app.view().SaveSuffix() == "_grey" && app.view().Store().Current.Pixels[0] == 21);
}

TEST_F(EditingCommands, MergeAlphaImageSaysWhyItFailsAndTakesTheRedChannel) {
    LoadPicture(false);
    const std::string wrongSize = dir.File("wrong.tga"), alpha = dir.File("alpha.tga");
    WriteBytes(wrongSize, MakeTga(1, 1, 24, {0, 0, 0}));
    // Stored blue, green, red, bottom row first: reds 7, 8, 9, 250.
    WriteBytes(alpha, MakeTga(2, 2, 24, {0, 0, 7, 0, 0, 8, 0, 0, 9, 0, 0, 250}));
    host.openPicks = {wrongSize, alpha};
    app.editing().MergeAlphaImage();
    EXPECT_FALSE(app.view().Modified());
    EXPECT_EQ(host.memo.size(), 1u);  // the reason, not silence
    app.editing().MergeAlphaImage();
    EXPECT_TRUE(app.view().Modified());
    ASSERT_EQ(app.view().Store().Current.BytesPerPixel(), 4);
    EXPECT_EQ(Alphas(), (Bytes{7, 8, 9, 250}));
}

TEST_F(EditingCommands, EditorRoundTripTakesBackTheEditedColoursWithTheAlpha) {
    LoadPicture(true);
    app.editor().EditColour();  // no editor chosen: refused with a message
    EXPECT_EQ(host.messages.size(), 1u);
    WriteBytes(dir.File("editor"), {'#', '!'});
    const std::string editor = app.settings().EditorPath = dir.File("editor");
    app.settings().CurrentFile = dir.File("wagon.tga");
    app.editor().EditColour();
    EXPECT_EQ(host.startedPrograms,
              (std::vector<std::vector<std::string>>{{editor, app.files().TempImage()}}));
    ASSERT_TRUE(host.Active(app::TimerId::WatchColour));
    // The "editor" saves a grey picture over the colour file.
    testing_support::TestStore edited;
    FillImage(edited.Current, 2, 2, 3, Bytes(12, 60));
    ASSERT_TRUE(testing_support::Save(edited, app.files().TempImage()));
    std::filesystem::last_write_time(
        app.files().TempImage(),
        std::filesystem::last_write_time(app.files().TempImage()) + std::chrono::seconds(2));
    app.TimerFired(app::TimerId::WatchColour);
    EXPECT_TRUE(app.view().Modified());
    ASSERT_EQ(app.view().Store().Current.BytesPerPixel(), 4);
    const auto& p = app.view().Store().Current.Pixels;
    EXPECT_EQ((Bytes{p[0], p[1], p[2], p[3], p[7]}), (Bytes{60, 60, 60, 0, 100}));
    EXPECT_EQ(app.settings().CurrentFile, dir.File("wagon.tga"));  // the name stays
}

}  // namespace
