// The main window and its secondary windows under the offscreen platform:
// captions, option check marks, the close question, the colour pick from the
// displayed picture, the tolerance dialog, the actual-size window and the
// transparent view.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "tests/support/test_support.h"
#include "ui/main_window.h"
#include "ui/picture_label.h"
#include "ui/secondary_windows.h"

namespace {

using testing_support::FillStore;
using testing_support::TempDir;

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        application_ = new QApplication(argc, argv);
    }
    void TearDown() override { delete application_; }

private:
    QApplication* application_ = nullptr;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs `action` on the next modal dialog once it is open; `context` going away
// (the test's window) cancels the wait.
void WhenModalOpens(QObject* context, std::function<void(QWidget*)> action, int triesLeft = 500) {
    QTimer::singleShot(1, context, [context, action, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            action(modal);
        } else if (triesLeft > 0) {
            WhenModalOpens(context, action, triesLeft - 1);
        }
    });
}

std::string S(const QString& text) { return text.toStdString(); }

void ClickButton(QWidget* dialog, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    box->button(which)->click();
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : window(dir.path().string() + "/", dir.File("skeinpress"), "") {
        // No simulator folder set-up in the middle of a test.
        window.StopTimer(app::TimerId::OpenWithSetup);
    }
    ~MainWindow() override {
        // Leave without the close question or writing settings.
        window.application().ImageModified = false;
    }

    void Activate() {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activate);
    }
    void MouseOnImage1(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
        const Qt::MouseButtons buttons = type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), window.Image1->mapToGlobal(QPointF(at)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(window.Image1, &event);
    }
    // Shows a picture of the given pixels (top-down, 24-bit BGR rows) in Image1.
    void ShowPicture(int width, int height, const std::function<void(int, int, uint8_t*)>& paint, int shownWidth,
                     int shownHeight) {
        core::Bitmap bitmap;
        bitmap.Reset(24, width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) paint(x, y, bitmap.Row(y).data() + x * 3);
        }
        window.ShowColourPicture(bitmap, shownWidth, shownHeight);
    }

    TempDir dir;
    ui::TForm1 window;
};

TEST_F(MainWindow, CaptionsComeFromTheLanguageOnEveryActivation) {
    Activate();
    for (QAction* action : {window.Open1, window.SaveAs1, window.Exit1, window.ViewLog, window.DeleteLog1,
                            window.ConvertBMPs1, window.FixUniformColour1, window.Editor1, window.RemoveOpenWith1,
                            window.About1, window.DisplayActualSize1, window.NonUniformColour1, window.GreyScale1,
                            window.DisplayActualSize2, window.InvertAlphaColour1}) {
        EXPECT_EQ(action->text().toStdString(), app::kNotTranslated);
    }
    EXPECT_EQ(window.File1->title().toStdString(), app::kNotTranslated);
    EXPECT_EQ(S(window.Help2->text()), S(window.Help1->title()));
    EXPECT_EQ(window.Label1->text().toStdString(), app::kNotTranslated);
    EXPECT_EQ(window.Panel2Caption->text().toStdString(), app::kNotTranslated);
    EXPECT_EQ(window.bStop->text().toStdString(), app::kNotTranslated);
    // Items without a key keep their own captions.
    EXPECT_EQ(S(window.Save1->text()), "Save");
    EXPECT_EQ(S(window.MergeAlphaImage1->text()), "Merge Alpha Image");
    EXPECT_EQ(S(window.MakeNormalMap1->text()), "Make Normal Map");

    window.application().language().SetLines(
        {"menu File|Fichier", "menu Help|Aide", "label FileName|Nom", "popup2 Invert|Inverser", "button Stop|Halte"});
    window.Label1->setText("Name:  wagon.texture");
    Activate();
    EXPECT_EQ(S(window.File1->title()), "Fichier");
    EXPECT_EQ(S(window.Help1->title()), "Aide");
    EXPECT_EQ(S(window.Help2->text()), "Aide");
    EXPECT_EQ(S(window.Label1->text()), "Nom");  // the file name line is replaced too
    EXPECT_EQ(S(window.InvertAlphaColour1->text()), "Inverser");
    EXPECT_EQ(S(window.bStop->text()), "Halte");
    EXPECT_EQ(window.Open1->text().toStdString(), app::kNotTranslated);
}

TEST_F(MainWindow, EachOptionItemTogglesItsFlagAndCheckMark) {
    struct Option {
        QAction* item;
        bool app::Settings::*flag;
    };
    app::Settings& settings = window.application().settings();
    for (const Option& option : {Option{window.ConvertBMPs1, &app::Settings::DoBMPs},
                                 Option{window.ConvertJPGs1, &app::Settings::DoJPGs},
                                 Option{window.ConvertTextures1, &app::Settings::DoTextures},
                                 Option{window.CloseonDone1, &app::Settings::CloseOnDone},
                                 Option{window.OverwriteTGAs1, &app::Settings::OverwriteTGAs},
                                 Option{window.FixUniformColour1, &app::Settings::FixUniformColour}}) {
        const bool before = settings.*option.flag;
        EXPECT_EQ(option.item->isChecked(), before) << option.item->text().toStdString();
        option.item->trigger();
        EXPECT_EQ(settings.*option.flag, !before);
        EXPECT_EQ(option.item->isChecked(), !before);
        option.item->trigger();
        EXPECT_EQ(settings.*option.flag, before);
        EXPECT_EQ(option.item->isChecked(), before);
    }
}

TEST_F(MainWindow, CloseQuestionAnsweredCancelKeepsTheWindowAndWritesNoSettings) {
    window.show();
    QApplication::processEvents();
    window.application().ImageModified = true;
    WhenModalOpens(&window, [](QWidget* box) { ClickButton(box, QMessageBox::Cancel); });
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(std::filesystem::exists(window.application().SettingsFilePath()));

    window.application().ImageModified = false;
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(std::filesystem::exists(window.application().SettingsFilePath()));
}

TEST_F(MainWindow, ColourPickReadsTheDisplayedPixelAndBuildsTheMask) {
    // The store holds magenta everywhere except one red pixel; the displayed
    // picture is what is read, so paint it differently from the store.
    FillStore(window.application().store(), 4, 4, 3, std::vector<uint8_t>(48, 9));
    ShowPicture(4, 4, [](int x, int y, uint8_t* bgr) {
        const bool target = x == 2 && y == 2;
        bgr[0] = target ? 255 : 10, bgr[1] = 0, bgr[2] = target ? 255 : 10;
    }, 330, 330);
    EXPECT_FALSE(window.Image1->isHidden());
    window.application().BeginColourPick(true, 10);

    MouseOnImage1(QEvent::MouseMove, QPoint(165, 165));  // 4 * 165 div 330 = 2
    EXPECT_EQ(S(window.colourlbl->text()), "R 255, G 0, B 255");
    EXPECT_FALSE(window.colourlbl->isHidden());
    EXPECT_EQ(window.colourlbl->y(), 145);
    MouseOnImage1(QEvent::MouseMove, QPoint(5, 165));  // too near the edge: hidden
    EXPECT_TRUE(window.colourlbl->isHidden());

    MouseOnImage1(QEvent::MouseButtonPress, QPoint(165, 165), Qt::RightButton);  // only hides the read-out
    EXPECT_EQ(window.application().PickMode, 2);
    MouseOnImage1(QEvent::MouseButtonPress, QPoint(165, 165), Qt::LeftButton);
    EXPECT_EQ(window.application().PickMode, 0);
    EXPECT_TRUE(window.colourlbl->isHidden());
    // The mask came from 255,0,255,10: the store's colour 9,9,9 is far from it.
    core::ImageStore& store = window.application().store();
    ASSERT_EQ(store.BytesPerPixel(), 4);
    EXPECT_EQ(store.PixelBuffer[3], 255);
    EXPECT_TRUE(window.application().ImageModified);

    // A 1024 x 1024 picture in a 330 x 330 view: the centre reads pixel 512, 512.
    ShowPicture(1024, 1024, [](int x, int y, uint8_t* bgr) {
        bgr[0] = static_cast<uint8_t>(x == 512 && y == 512 ? 77 : 0), bgr[1] = 0, bgr[2] = 0;
    }, 330, 330);
    window.application().BeginColourPick(true, 10);
    MouseOnImage1(QEvent::MouseMove, QPoint(165, 165));
    EXPECT_EQ(S(window.colourlbl->text()), "R 0, G 0, B 77");
}

TEST_F(MainWindow, ToleranceDialogKeepsItsValueBetweenUses) {
    EXPECT_EQ(window.Form4->SpinEdit1->value(), 10);
    WhenModalOpens(&window, [](QWidget* dialog) {
        auto* form = qobject_cast<ui::TForm4*>(dialog);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(S(form->windowTitle()), "Data Entry");
        form->SpinEdit1->setValue(37);
        form->Button1->click();
    });
    window.Createalphamask1Click();
    EXPECT_EQ(window.application().PickMode, 2);
    EXPECT_EQ(window.application().PickTolerance, 37);

    int offered = 0;
    WhenModalOpens(&window, [&offered](QWidget* dialog) {
        auto* form = qobject_cast<ui::TForm4*>(dialog);
        ASSERT_NE(form, nullptr);
        offered = form->SpinEdit1->value();
        form->SpinEdit1->setValue(300);  // kept within 1..254
        form->Button2->click();
    });
    window.Createalphamask1Click();
    EXPECT_EQ(offered, 37);
    EXPECT_EQ(window.application().PickMode, 0);
    EXPECT_EQ(window.Form4->SpinEdit1->value(), 254);
}

TEST_F(MainWindow, ActualSizeWindowFitsTheImageWithItsMargins) {
    FillStore(window.application().store(), 256, 128, 3, std::vector<uint8_t>(256 * 128 * 3, 50));
    ASSERT_TRUE(window.application().DisplayActualSize1Click());
    window.Form2->Prepare(window.application());
    EXPECT_EQ(window.Form2->size(), QSize(280, 188));
    EXPECT_EQ(window.Form2->Image1->size(), QSize(256, 128));
    ASSERT_FALSE(window.Form2->Image1->pixmap().isNull());
    EXPECT_EQ(window.Form2->Image1->pixmap().size(), QSize(256, 128));
    EXPECT_EQ(S(window.Form2->windowTitle()), "Actual Size");

    // Wider than the desktop: the window fits and the picture scrolls inside it.
    FillStore(window.application().store(), 4096, 8, 3, std::vector<uint8_t>(4096 * 8 * 3, 50));
    window.Form2->Prepare(window.application());
    EXPECT_LE(window.Form2->width(), QApplication::primaryScreen()->availableVirtualGeometry().width());
    EXPECT_EQ(window.Form2->height(), 8 + 60);
    EXPECT_EQ(window.Form2->Image1->size(), QSize(4096, 8));

    // No image: sized from the last dimensions, empty picture.
    FillStore(window.application().store(), 256, 128, 3, std::vector<uint8_t>(256 * 128 * 3, 50));
    window.application().store().ImageLoaded = false;
    window.Form2->Prepare(window.application());
    EXPECT_EQ(window.Form2->size(), QSize(280, 188));
    EXPECT_TRUE(window.Form2->Image1->pixmap().isNull());
}

TEST_F(MainWindow, TransparentViewIsDrawnOnceWhileTheItemKeepsItsTick) {
    // Bottom row: an invisible blue pixel and an opaque red one.
    FillStore(window.application().store(), 2, 1, 4, {0, 0, 255, 0, 255, 0, 0, 255}, 2);
    const std::string file = dir.File("picture.tga");
    testing_support::WriteBytes(file, {0});
    window.application().settings().CurrentFile = file;
    auto shownBlue = [this] { return qBlue(window.DisplayedColourPicture().pixel(0, 0)); };

    window.DisplayTransparent1->trigger();
    EXPECT_TRUE(window.DisplayTransparent1->isChecked());
    ASSERT_FALSE(window.DisplayedColourPicture().isNull());
    EXPECT_NE(shownBlue(), 255);  // the background shows through

    window.InvertAlphaColour1->trigger();  // any redraw: the plain view again
    EXPECT_EQ(shownBlue(), 255);
    EXPECT_TRUE(window.DisplayTransparent1->isChecked());
    EXPECT_TRUE(window.application().TransparentView);

    // The actual-size window follows the tick, not the one-shot drawing.
    window.application().InvertAlphaColour1Click();
    ASSERT_TRUE(window.application().DisplayActualSize1Click());
    window.Form2->Prepare(window.application());
    EXPECT_NE(qBlue(window.Form2->Image1->pixmap().toImage().pixel(0, 0)), 255);

    window.DisplayTransparent1->trigger();
    EXPECT_FALSE(window.DisplayTransparent1->isChecked());
    EXPECT_FALSE(window.application().TransparentView);
}

TEST_F(MainWindow, AboutBoxShowsTheSixParagraphsCentredOnTheMainWindow) {
    window.move(40, 30);
    window.show();
    QApplication::processEvents();
    window.application().language().SetLines({"about Comments|First", "about Trademark|Last"});
    QRect placed;
    WhenModalOpens(&window, [&placed](QWidget* dialog) {
        placed = dialog->frameGeometry();
        dialog->close();
    });
    window.About1Click();
    EXPECT_EQ(S(window.AboutBox->Paragraphs[0]->text()), "First");
    EXPECT_EQ(S(window.AboutBox->Paragraphs[5]->text()), "Last");
    EXPECT_EQ(window.AboutBox->Paragraphs[1]->text().toStdString(), app::kNotTranslated);
    const QRect main = window.frameGeometry();
    EXPECT_NEAR(placed.center().x(), main.center().x(), 2);
    EXPECT_NEAR(placed.center().y(), main.center().y(), 2);
}

}  // namespace
