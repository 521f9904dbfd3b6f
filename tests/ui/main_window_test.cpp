// The main window under the offscreen platform: captions and the lines that
// describe the picture, the close question, where the window starts, the
// colour pick, message boxes and messages, the trawl's title and buttons, the
// open-with set-up at start. What the commands do is the application's, tested
// there. Then one program run on a command line the simulator's tools use.
#include <QProcess>
#include <memory>

#include "app/settings/mem_ini.h"
#include "tests/ui/window_fixture.h"

namespace {

using namespace window_testing;
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

void Activate(QWidget& window) {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
}

TEST_F(MainWindow, CaptionsComeFromTheLanguageOnEveryActivation) {
    Activate(window);
    EXPECT_EQ(S(window.Open1->text()), app::kNotTranslated);
    EXPECT_EQ(S(window.Save1->text()), "Save");  // items without a key keep their own captions
    application().language().SetLines({"menu File|Fichier", "label FileName|Nom"});
    window.Label1->setText("Name:  wagon.texture");
    Activate(window);
    EXPECT_EQ(S(window.File1->title()), "&Fichier");  // with its mnemonic
    EXPECT_EQ(S(window.Label1->text()), "Nom");       // no picture: the bare caption

    // With a picture the lines that describe it stay, after any dialog or a
    // return from another program.
    Open("wagon.tga", 8, 4);
    Activate(window);
    EXPECT_EQ(S(window.Label1->text()), "Nom:  wagon.tga");
    EXPECT_EQ(S(window.Label2->text()).rfind(std::string(app::kNotTranslated) + ": 8 ", 0), 0u);
}

TEST_F(MainWindow, CloseQuestionCancelOrACancelledSaveKeepTheWindowAndTheEdits) {
    Open("wagon.tga");
    application().editing().GreyScale();
    int saveDialogs = 0;
    for (auto answer : {QMessageBox::Cancel, QMessageBox::Yes}) {
        WhenModalOpens<QMessageBox>(&window, [&, answer](QMessageBox* question) {
            WhenModalOpens<QFileDialog>(&window, [&](QFileDialog* save) {
                ++saveDialogs;
                save->reject();
            });
            question->button(answer)->click();
        });
        EXPECT_FALSE(window.close());
        EXPECT_TRUE(application().view().Modified());
        EXPECT_FALSE(fs::exists(application().files().SettingsFile()));
    }
    EXPECT_EQ(saveDialogs, 1);
    WhenModalOpens<QMessageBox>(
        &window, [](QMessageBox* question) { question->button(QMessageBox::No)->click(); });
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(fs::exists(application().files().SettingsFile()));
}

// The settings keep the client area's place, so a start puts the window where
// the last one closed whatever the decoration around it.
TEST(WindowPlace, StartCloseStartKeepsThePlace) {
    TempDir dir;
    auto start = [&] {
        auto window =
            std::make_unique<ui::TForm1>(dir.path().string() + "/", dir.File("skeinpress"), "");
        window->StopTimer(app::TimerId::OpenWithSetup);
        window->show();
        QApplication::processEvents();
        return window;
    };
    QPoint placed;
    {
        auto window = start();
        EXPECT_EQ(window->geometry().topLeft(), QPoint(200, 100));  // the default place
        window->move(window->pos() + QPoint(123, 45));              // as the user drags it
        QApplication::processEvents();
        placed = window->geometry().topLeft();
        ASSERT_TRUE(window->close());
    }
    for (int run = 0; run < 3; ++run) {
        auto window = start();
        EXPECT_LE((window->geometry().topLeft() - placed).manhattanLength(), 1) << run;
        ASSERT_TRUE(window->close());
    }
    // A place on no screen (another monitor set-up) gives the default.
    app::TMemIni ini(dir.File("skeinpress.ini"));
    ini.WriteInteger("Position", "Left", -5000);
    ini.WriteInteger("Position", "Top", -5000);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(start()->geometry().topLeft(), QPoint(200, 100));
}

TEST_F(MainWindow, ColourPickReadsTheImagesOwnColourAlsoInTheTransparentView) {
    // Left half magenta, right half green, both half transparent: the
    // transparent view shows them blended with the checkerboard.
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16; ++i)
        pixels.insert(pixels.end(), {uint8_t(i % 4 < 2 ? 255 : 0), uint8_t(i % 4 < 2 ? 0 : 255),
                                     uint8_t(i % 4 < 2 ? 255 : 0), 128});
    core::ImageStore file;
    FillStore(file, 4, 4, 4, pixels, 1);
    ASSERT_TRUE(core::SaveImage(file, dir.File("two.tga")));
    application().view().OpenFile(dir.File("two.tga"));
    application().view().ToggleTransparent();
    ASSERT_TRUE(application().view().TransparentView());
    EXPECT_NE(window.Image1->picture().pixelColor(0, 0), QColor(255, 0, 255));

    auto mouse = [&](QEvent::Type type, Qt::MouseButton button) {
        const QPointF at(60, 200);  // 4 * 60 div 330 = 0
        QMouseEvent event(type, at, window.Image1->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(window.Image1, &event);
    };
    application().pick().Begin(10);
    mouse(QEvent::MouseMove, Qt::NoButton);
    EXPECT_EQ(S(window.colourlbl->text()), "R 255, G 0, B 255");
    mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(application().pick().Mode(), app::PickMode::None);
    const uint8_t* data = application().view().Store().Image.Data;
    EXPECT_EQ(std::pair(data[3], data[11]), std::pair(uint8_t(0), uint8_t(255)));  // masked, kept
}

TEST_F(MainWindow, FailuresAreWarningsAndADocumentNoProgramCanShowIsReported) {
    testing_support::WriteBytes(dir.File("broken.tga"), {1, 2, 3});
    window.OpenUrl = [](const QUrl&) { return false; };  // a desktop without a viewer
    fs::create_directories(dir.path() / "help");
    testing_support::WriteBytes(dir.File("help/index.html"), {'x'});
    testing_support::WriteBytes(application().log().Path(), {'x'});
    std::vector<std::pair<QMessageBox::Icon, std::string>> boxes;
    for (const std::function<void()>& action : std::vector<std::function<void()>>{
             [&] { application().view().OpenFile(dir.File("broken.tga")); },
             [&] { window.Help2->trigger(); }, [&] { window.ViewLog->trigger(); },
             [&] { window.Save1->trigger(); }}) {  // nothing to save: a notice, not a failure
        WhenModalOpens<QMessageBox>(&window, [&](QMessageBox* box) {
            boxes.push_back({box->icon(), S(box->text())});
            box->accept();
        });
        action();
    }
    ASSERT_EQ(boxes.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(boxes[i].first, QMessageBox::Warning) << boxes[i].second;
    EXPECT_NE(boxes[1].second.find("help/index.html"), std::string::npos) << boxes[1].second;
    EXPECT_NE(boxes[2].second.find("Trawl_Log.txt"), std::string::npos) << boxes[2].second;
    EXPECT_EQ(boxes[3].first, QMessageBox::Information);
}

TEST_F(MainWindow, ALongMessageLineWrapsInsteadOfBeingCut) {
    window.AddMemoLine("  Could not read \"" + std::string(120, 'a') + "/wagon.texture\"");
    QApplication::processEvents();
    EXPECT_GT(window.Memo1->document()->lastBlock().layout()->lineCount(), 2);
    EXPECT_EQ(window.Memo1->horizontalScrollBar()->maximum(), 0);
}

TEST_F(MainWindow, TrawlTitleShowsProgressAndStopAndTheButtonsFollowTheTrawl) {
    for (const char* name : {"tree/a/x.texture", "tree/b/y.texture"}) {
        fs::create_directories(fs::path(dir.File(name)).parent_path());
        testing_support::WriteImage(dir.File(name), 4, 4, false);
    }
    QStringList titles;
    QObject::connect(&window, &QWidget::windowTitleChanged,
                     [&](const QString& title) { titles << title; });
    ASSERT_TRUE(application().trawl().TrawlFolder(dir.File("tree")));
    EXPECT_EQ(S(window.windowTitle()), "Skeinpress: 0 %");
    EXPECT_TRUE(window.bStop->isEnabled() && !window.bResume->isEnabled());
    window.bStop->click();
    EXPECT_EQ(S(window.windowTitle()), "Skeinpress: 0 % (stopped)");
    EXPECT_TRUE(!window.bStop->isEnabled() && window.bResume->isEnabled());
    window.bResume->click();
    ASSERT_TRUE(WaitUntil([&] { return !application().trawl().Active(); }));
    EXPECT_TRUE(titles.contains("Skeinpress: 50 %")) << S(titles.join(" | "));
    EXPECT_EQ(S(window.windowTitle()), "Skeinpress");
    EXPECT_FALSE(window.bStop->isEnabled() || window.bResume->isEnabled());
}

TEST_F(MainWindow, OpenWithAtStartAsksOnlyWhereTheSimulatorIsAndKeepsTheMessages) {
    TempDir drive;
    application().openWith().LookOnDrive(drive.path().string());
    application().language().SetLines(
        {"message Locate2009c|Cancel if 2009", "message Locate2009d|Choose 2009"});
    window.AddMemoLine("  opened from the command line");
    std::vector<std::pair<std::string, std::string>> pickers;  // title, the dialog's own text
    std::function<void()> answer = [&] {
        WhenModalOpens<QFileDialog>(&window, [&](QFileDialog* picker) {
            std::string text;
            for (QLabel* label : picker->findChildren<QLabel*>()) text += S(label->text()) + "|";
            pickers.push_back({S(picker->windowTitle()), text});
            picker->reject();
            answer();
        });
    };
    answer();
    auto runSetUp = [&] {
        window.StartTimer(app::TimerId::OpenWithSetup, 0);
        ASSERT_TRUE(WaitUntil([&] { return !window.TimerActive(app::TimerId::OpenWithSetup); }));
        QApplication::processEvents();
    };
    runSetUp();  // no simulator here: nothing asked, nothing said
    EXPECT_TRUE(pickers.empty());
    EXPECT_EQ(window.MemoLines(), std::vector<std::string>{"  opened from the command line"});

    // TS12 in its default folder: the other two editions are asked for.
    fs::create_directories(drive.path() / "Program Files/N3V Games/TS12/bin/CMPData/Tools");
    runSetUp();
    ASSERT_EQ(pickers.size(), 2u);
    EXPECT_EQ(pickers[0].first, "Choose 2009");
    EXPECT_NE(pickers[0].second.find("Cancel if 2009"), std::string::npos) << pickers[0].second;
    EXPECT_EQ(window.MemoLines().front(), "  opened from the command line");
}

// A private copy of the program, so that its own folder (settings, log) is the
// test's. The simulator folders are marked as looked for, as after a first run,
// so no folder picker opens.
TEST(CommandLine, TrawlCloseConvertsTheTreeAndExits) {
    TempDir home, work;
    const std::string settings =
        "[Paths]\nTS2009_dir=NotFound\nTS2010_dir=NotFound\nTS12_dir=NotFound\n";
    testing_support::WriteBytes(home.File("skeinpress.ini"), {settings.begin(), settings.end()});
    fs::copy_file(SKEINPRESS_GUI_PATH, home.path() / "skeinpress");
    fs::create_directories(work.path() / "tree/sub");
    testing_support::WriteImage(work.File("tree/a.texture"), 4, 4, false);
    testing_support::WriteImage(work.File("tree/sub/b.texture"), 4, 4, false);
    QProcess program;
    program.start(QString::fromStdString(home.File("skeinpress")),
                  {"-trawl", "-close", "-fixcolour", QString::fromStdString(work.File("tree"))});
    if (!program.waitForFinished(20000)) program.kill(), program.waitForFinished();
    EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    EXPECT_TRUE(fs::exists(work.File("tree/a.tga")) && fs::exists(work.File("tree/sub/b.tga")));
    EXPECT_TRUE(fs::exists(home.File("Trawl_Log.txt")));
    // The settings are written in full on the way out.
    EXPECT_NE(testing_support::ReadText(home.File("skeinpress.ini")).find("[Options]"),
              std::string::npos);
}

}  // namespace
