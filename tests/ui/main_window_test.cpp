// The main window under the offscreen platform: captions, option check marks,
// the close question, the colour pick and the pictures it is handed. What the
// commands do is the application's, tested there. Then one program run on a
// command line the simulator's tools use.
#include <gtest/gtest.h>

#include <QProcess>
#include <QtWidgets>
#include <filesystem>
#include <functional>
#include <memory>

#include "tests/support/test_support.h"
#include "ui/main_window.h"
#include "ui/picture_label.h"
#include "ui/secondary_windows.h"

namespace {

namespace fs = std::filesystem;
using testing_support::FillStore;
using testing_support::TempDir;

struct QtEnvironment : ::testing::Environment {
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen"), app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }
    int argc = 1;  // QApplication keeps a reference to it
    char name[9] = "ui_tests", *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs `action` on the next modal dialog once it is open; `context` going away
// (the test's window) cancels the wait.
void WhenModalOpens(QObject* context, std::function<void(QWidget*)> action, int triesLeft = 500) {
    QTimer::singleShot(1, context, [=] {
        if (QWidget* modal = QApplication::activeModalWidget())
            action(modal);
        else if (triesLeft > 0)
            WhenModalOpens(context, action, triesLeft - 1);
    });
}

std::string S(const QString& text) {
    return text.toStdString();
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : window(dir.path().string() + "/", dir.File("skeinpress"), "") {
        window.StopTimer(app::TimerId::OpenWithSetup);  // no simulator folder set-up mid-test
    }
    ~MainWindow() override { window.application().ImageModified = false; }  // no close question

    void MouseOnImage1(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
        QMouseEvent event(type, QPointF(at), window.Image1->mapToGlobal(QPointF(at)), button,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QApplication::sendEvent(window.Image1, &event);
    }
    app::Application& application() { return window.application(); }

    TempDir dir;
    ui::TForm1 window;
};

TEST_F(MainWindow, CaptionsComeFromTheLanguageOnEveryActivation) {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(S(window.Open1->text()), app::kNotTranslated);
    EXPECT_EQ(S(window.Save1->text()), "Save");  // items without a key keep their own captions
    application().language().SetLines({"menu File|Fichier", "label FileName|Nom"});
    window.Label1->setText("Name:  wagon.texture");
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(S(window.File1->title()), "Fichier");
    EXPECT_EQ(S(window.Label1->text()), "Nom");  // the file name line is replaced too
}

TEST_F(MainWindow, EachOptionItemTogglesItsFlagAndCheckMark) {
    app::Settings& settings = application().settings();
    const std::pair<QAction*, bool app::Settings::*> options[] = {
        {window.ConvertBMPs1, &app::Settings::DoBMPs},
        {window.ConvertJPGs1, &app::Settings::DoJPGs},
        {window.ConvertTextures1, &app::Settings::DoTextures},
        {window.CloseonDone1, &app::Settings::CloseOnDone},
        {window.OverwriteTGAs1, &app::Settings::OverwriteTGAs},
        {window.FixUniformColour1, &app::Settings::FixUniformColour}};
    for (const auto& [item, flag] : options) {
        const bool before = settings.*flag;
        EXPECT_EQ(item->isChecked(), before) << S(item->text());
        item->trigger();
        EXPECT_EQ(std::pair(settings.*flag, item->isChecked()), std::pair(!before, !before))
            << S(item->text());
    }
}

TEST_F(MainWindow, CloseQuestionAnsweredCancelKeepsTheWindowAndWritesNoSettings) {
    window.show();
    application().ImageModified = true;
    WhenModalOpens(&window, [](QWidget* box) {
        auto* question = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(question, nullptr);
        question->button(QMessageBox::Cancel)->click();
    });
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(fs::exists(application().SettingsFilePath()));
    application().ImageModified = false;
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(fs::exists(application().SettingsFilePath()));
}

TEST_F(MainWindow, ColourPickReadsTheDisplayedPixelAndForwardsTheClicks) {
    // The store is grey; the displayed picture, which is what is read, is black
    // with one magenta pixel at 2, 2.
    FillStore(application().store(), 4, 4, 3, std::vector<uint8_t>(48, 9));
    core::Bitmap picture;
    picture.Reset(24, 4, 4);
    picture.Row(2)[6] = picture.Row(2)[8] = 255;
    window.ShowColourPicture(picture, 330, 330);
    application().BeginColourPick(true, 10);

    MouseOnImage1(QEvent::MouseMove, QPoint(165, 165));  // 4 * 165 div 330 = 2
    EXPECT_EQ(S(window.colourlbl->text()), "R 255, G 0, B 255");
    EXPECT_FALSE(window.colourlbl->isHidden());
    MouseOnImage1(QEvent::MouseMove, QPoint(5, 165));  // too near the edge: hidden
    EXPECT_TRUE(window.colourlbl->isHidden());
    MouseOnImage1(QEvent::MouseButtonPress, QPoint(165, 165),
                  Qt::RightButton);  // only hides the read-out
    EXPECT_EQ(application().PickMode, 2);
    MouseOnImage1(QEvent::MouseButtonPress, QPoint(165, 165), Qt::LeftButton);
    EXPECT_EQ(application().PickMode, 0);
}

TEST_F(MainWindow, ActualSizeWindowShowsTheStore) {
    FillStore(application().store(), 256, 128, 3, std::vector<uint8_t>(256 * 128 * 3, 50));
    ASSERT_TRUE(application().DisplayActualSize1Click());
    window.Form2->Prepare(application());
    EXPECT_EQ(window.Form2->size(), QSize(280, 188));
    EXPECT_EQ(window.Form2->Image1->pixmap().size(), QSize(256, 128));
}

const fs::path kCorpus = SKEINPRESS_CORPUS_DIR;

// Runs a private copy of the program, so that its own folder (settings, log) is
// the test's. The simulator folders are marked as looked for, as after a first
// run, so no folder picker opens. Returns the exit code, or -1 when it had to
// be killed. Afterwards the settings file is expected rewritten in full.
int RunProgram(const fs::path& home, const QStringList& arguments) {
    const std::string settings =
        "[Paths]\nTS2009_dir=NotFound\nTS2010_dir=NotFound\nTS12_dir=NotFound\n";
    testing_support::WriteBytes((home / "skeinpress.ini").string(),
                                {settings.begin(), settings.end()});
    fs::copy_file(SKEINPRESS_GUI_PATH, home / "skeinpress");
    QProcess process;
    process.start(QString::fromStdString((home / "skeinpress").string()), arguments);
    if (!process.waitForFinished(20000)) process.kill(), process.waitForFinished();
    EXPECT_NE(testing_support::ReadText((home / "skeinpress.ini").string()).find("[Options]"),
              std::string::npos);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST(CommandLine, TrawlCloseConvertsTheTreeAndExits) {
    TempDir home, work;
    fs::create_directories(work.path() / "tree/sub");
    fs::copy_file(kCorpus / "texture/dxt5_4x4.texture", work.path() / "tree/a.texture");
    fs::copy_file(kCorpus / "texture/rgb24_photo.texture", work.path() / "tree/sub/b.texture");
    const QStringList trawl = {"-trawl", "-close", "-fixcolour",
                               QString::fromStdString(work.File("tree"))};
    ASSERT_EQ(RunProgram(home.path(), trawl), 0);
    EXPECT_TRUE(fs::exists(work.path() / "tree/a.tga") &&
                fs::exists(work.path() / "tree/sub/b.tga"));
    EXPECT_TRUE(fs::exists(home.path() / "Trawl_Log.txt"));
}

}  // namespace
