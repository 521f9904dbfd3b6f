// The main window under the offscreen platform: captions and the lines that
// describe the picture, the close question, where the window starts, the
// colour pick, message boxes and the log, the file dialogs. What the commands
// do (the trawl's title and buttons among them) is the application's, tested
// there. Then one program run on a command line the simulator's tools use.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <memory>

#include "core/io/paths.h"
#include "tests/ui/window_fixture.h"

namespace {

using namespace window_testing;
using namespace testing_support;

struct QtEnvironment : ::testing::Environment {
    // One 1600 x 1000 screen, room for a window moved about.
    void SetUp() override {
        WriteText(config.File("offscreen.json"), R"({"screens": [{"name": "S", "x": 0, "y": 0,
            "width": 1600, "height": 1000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        // Named from its own folder: the platform's arguments are split at ':',
        // which a Windows path holds after its drive letter.
        // The programs the tests start get the platform as it was.
        const std::filesystem::path before = std::filesystem::current_path();
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        std::filesystem::current_path(config.path());
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=offscreen.json");
        app = std::make_unique<QApplication>(argc, argv);
        qputenv("QT_QPA_PLATFORM", platform);
        std::filesystem::current_path(before);
    }
    void TearDown() override { app.reset(); }
    TempDir config;
    int argc = 1;  // QApplication keeps a reference to it
    char name[9] = "ui_tests", *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Captions come from the language on every activation, with a mnemonic each;
// items without a key keep their own. The lines that describe the picture
// stay, after any dialog or a return from another program.
TEST_F(MainWindow, CaptionsComeFromTheLanguageOnEveryActivation) {
    application().language().SetLines({"menu File|Fichier", "label FileName|Nom"});
    Open("wagon.tga", 8, 4);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(S(find<QMenu>("fileMenu")->title()), "&Fichier");
    EXPECT_EQ(S(find("saveAction")->text().remove('&')), "Save");
    EXPECT_EQ(S(label("fileNameLabel")->text()), "Nom:  wagon.tga");
    EXPECT_EQ(S(label("sizeLabel")->text()).rfind(std::string(app::kNotTranslated) + ": 8 ", 0),
              0u);
}

// Cancel keeps the window and the edits; No closes it and writes the settings.
TEST_F(MainWindow, CloseQuestionCancelKeepsTheWindowAndTheEdits) {
    Open("wagon.tga");
    application().editing().GreyScale();
    for (auto answer : {QMessageBox::Cancel, QMessageBox::No}) {
        const bool closes = answer == QMessageBox::No;
        WhenModalOpens<QMessageBox>(
            &window, [answer](QMessageBox* question) { question->button(answer)->click(); });
        EXPECT_EQ(window.close(), closes);
        EXPECT_TRUE(closes || application().view().Modified());
        EXPECT_TRUE(!closes || fs::exists(application().files().SettingsFile()));
    }
}

// The settings keep the client area's place, so a start puts the window where
// the last one closed whatever the decoration around it.
TEST(WindowPlace, StartCloseStartKeepsThePlace) {
    TempDir dir;
    auto start = [&] {
        auto window =
            std::make_unique<ui::MainWindow>(dir.path().string() + "/", dir.File("skeinpress"), "");
        window->host().StopTimer(app::TimerId::OpenWithSetup);
        window->show();
        QApplication::processEvents();
        return window;
    };
    // The client area's size and the maximised state are kept too.
    QPoint placed(200, 100);  // the default place
    for (int run = 0; run < 4; ++run) {
        auto window = start();
        EXPECT_LE((window->geometry().topLeft() - placed).manhattanLength(), run ? 1 : 0) << run;
        EXPECT_EQ(window->centralWidget()->size(),
                  ui::MainWindow::kDefaultClientSize + QSize(run ? 100 : 0, run ? 50 : 0));
        if (run == 0) {  // as the user drags and stretches it
            window->move(window->pos() + QPoint(123, 45));
            window->resize(window->size() + QSize(100, 50));
            QApplication::processEvents();
            placed = window->geometry().topLeft();
        }
        if (run == 3) window->showMaximized(), QApplication::processEvents();
        ASSERT_TRUE(window->close());
    }
    EXPECT_TRUE(start()->windowState() & Qt::WindowMaximized);
    // A place on no screen (another monitor set-up) gives the default.
    WriteText(dir.File("skeinpress.ini"), "[Position]\nLeft=-5000\nTop=-5000\n");
    EXPECT_EQ(start()->geometry().topLeft(), QPoint(200, 100));
}

// The whole window on a screen: the frame's corner as placed among screens'
// available areas (a 1600 x 1000 screen at a scale of 2 offers 800 x 500).
TEST(WindowPlace, TheWholeWindowIsKeptOnAScreen) {
    const QRect wide(0, 0, 1600, 1000), right(1600, 0, 1280, 1024), scaled(0, 0, 800, 500);
    const struct {
        QRect frame;
        QList<QRect> screens;
        QPoint placed;
    } cases[] = {
        {{200, 100, 733, 500}, {wide}, {200, 100}},         // wholly on it: kept
        {{1300, 800, 733, 500}, {wide}, {867, 500}},        // mostly off: moved in
        {{-900, -700, 733, 500}, {wide}, {0, 0}},           // off every screen
        {{1500, 50, 733, 500}, {wide, right}, {1600, 50}},  // onto the one it overlaps most
        {{1200, 50, 733, 500}, {wide, right}, {867, 50}},
        {{300, 200, 733, 540}, {scaled}, {67, 0}},                  // taller than the area
        {{-50, 40, 900, 300}, {QRect(0, 30, 1600, 970)}, {0, 40}},  // a panel above
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::MainWindow::KeptOnScreen(c.frame, c.screens), c.placed) << c.frame.x();
}

TEST_F(MainWindow, ColourPickReadsTheImagesOwnColourAlsoInTheTransparentView) {
    // Left half magenta, right half green, both half transparent: the
    // transparent view shows them blended with the checkerboard.
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16; ++i)
        pixels.insert(pixels.end(), {uint8_t(i % 4 < 2 ? 255 : 0), uint8_t(i % 4 < 2 ? 0 : 255),
                                     uint8_t(i % 4 < 2 ? 255 : 0), 128});
    testing_support::TestStore file;
    FillImage(file.Current, 4, 4, 4, pixels, 1);
    ASSERT_TRUE(testing_support::Save(file, dir.File("two.tga")));
    application().view().OpenFile(dir.File("two.tga"));
    application().view().ToggleTransparent();
    auto* picture = find<ui::PictureView>("colourPicture");
    EXPECT_NE(picture->picture().pixelColor(0, 0), QColor(255, 0, 255));

    auto mouse = [&](QEvent::Type type, Qt::MouseButton button) {
        const QPointF at(60, 200);  // 4 * 60 div 330 = 0
        QMouseEvent event(type, at, picture->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(picture, &event);
    };
    application().pick().Begin(10);
    mouse(QEvent::MouseMove, Qt::NoButton);
    EXPECT_EQ(S(label("pickedColourLabel")->text()), "R 255, G 0, B 255");
    mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(application().pick().Mode(), app::PickMode::None);
    const uint8_t* data = application().view().Store().Current.Data();
    EXPECT_EQ(std::pair(data[3], data[11]), std::pair(uint8_t(0), uint8_t(255)));  // masked, kept
}

TEST_F(MainWindow, FailuresAreWarningsAndNoViewerIsReported) {
    // A desktop whose xdg-open starts but finds no viewer.
    WriteText(dir.File("bin/xdg-open"), "#!/bin/sh\nexit 3\n");
    fs::permissions(dir.File("bin/xdg-open"), fs::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir.File("bin")));
    for (const std::string& file :
         {dir.File("broken.tga"), dir.File("help/index.html"), application().log().Path()})
        WriteBytes(file, {1, 2, 3});
    std::vector<std::pair<QMessageBox::Icon, std::string>> boxes;
    for (const std::function<void()>& action : std::vector<std::function<void()>>{
             [&] { application().view().OpenFile(dir.File("broken.tga")); },
             [&] { find("helpAction")->trigger(); }, [&] { find("viewLogAction")->trigger(); },
             [&] { find("saveAction")->trigger(); }}) {  // nothing to save: a notice, not a failure
        WhenModalOpens<QMessageBox>(&window, [&](QMessageBox* box) {
            boxes.push_back({box->icon(), S(box->text())});
            box->accept();
        });
        const size_t before = boxes.size();
        action();
        EXPECT_TRUE(WaitUntil([&] { return boxes.size() > before; }));  // the viewer's later
    }
    qputenv("PATH", path);
    ASSERT_EQ(boxes.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(boxes[i].first, QMessageBox::Warning) << boxes[i].second;
    EXPECT_NE(boxes[1].second.find("index.html"), std::string::npos) << boxes[1].second;
    EXPECT_NE(boxes[2].second.find("Trawl_Log.txt"), std::string::npos) << boxes[2].second;
    EXPECT_EQ(boxes[3].first, QMessageBox::Information);
}

// A folder question's first line is the dialog's title, the rest its own text.
// The file dialogs start where the last file was when the folder they are
// given is not there, and offer the program's filters.
TEST_F(MainWindow, FileDialogsShowTheirWholeCaptionAndStartAtTheLastFile) {
    Open("sub/wagon.tga");
    std::string title, text, folder;
    QStringList filters;
    auto answer = [&](QFileDialog* picker) {
        title = S(picker->windowTitle());
        for (QLabel* label : picker->findChildren<QLabel*>()) text += S(label->text()) + "|";
        folder = S(QDir::toNativeSeparators(picker->directory().absolutePath()));
        filters = picker->nameFilters();
        picker->reject();
    };
    WhenModalOpens<QFileDialog>(&window, answer);
    EXPECT_EQ(window.host().PickFolder("Choose 2009\nCancel if 2009", dir.File("no/such")),
              std::nullopt);
    EXPECT_EQ(title, "Choose 2009");
    EXPECT_NE(text.find("Cancel if 2009"), std::string::npos) << text;
    EXPECT_EQ(folder, dir.File("sub"));  // the open dialog's start folder is found alike

    WhenModalOpens<QFileDialog>(&window, answer);
    find("openAction")->trigger();
    EXPECT_EQ(filters.value(1), "All files (*)");
}

// A private copy of the program, so that its own folder (settings, log) is the
// test's. The simulator folders are marked as looked for, as after a first run,
// so no folder picker opens.
TEST(CommandLine, TrawlCloseConvertsTheTreeAndExits) {
    TempDir home, work;
    const std::string settings =
        "[Paths]\nTS2009_dir=NotFound\nTS2010_dir=NotFound\nTS12_dir=NotFound\n";
    WriteText(home.File("skeinpress.ini"), settings);
    const auto written = [&](const char* part) {
        return bool(Contains(ReadText(home.File("skeinpress.ini")), part));
    };
    const fs::path copy = home.path() / fs::path(SKEINPRESS_GUI_PATH).filename();
    fs::copy_file(SKEINPRESS_GUI_PATH, copy);
    WriteImage(work.File("tree/a.texture"), 4, 4, false);
    WriteImage(work.File("tree/sub/b.texture"), 4, 4, false);
    QProcess program;
#if defined(_WIN32)
    // The program draws on Windows's own platform (a display under Wine), the
    // one it links.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "windows");
    program.setProcessEnvironment(environment);
#endif
    program.start(QString::fromStdString(core::Utf8FromPath(copy)),
                  {"-trawl", "-close", "-fixcolour", QString::fromStdString(work.File("tree"))});
    if (!program.waitForFinished(20000)) program.kill(), program.waitForFinished();
    EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    EXPECT_TRUE(fs::exists(work.File("tree/a.tga")) && fs::exists(work.File("tree/sub/b.tga")));
    EXPECT_TRUE(fs::exists(home.File("Trawl_Log.txt")));
    // The settings are written in full on the way out.
    EXPECT_TRUE(written("[Options]"));

    // Opening a file changes the settings: they are written within a moment,
    // and again when the desktop ends the program.
    WriteText(home.File("skeinpress.ini"), settings);
    program.start(QString::fromStdString(core::Utf8FromPath(copy)),
                  {QString::fromStdString(work.File("tree/a.tga"))});
    ASSERT_TRUE(WaitUntil([&] { return written("a.tga"); }));
    program.terminate();
    if (!program.waitForFinished(20000)) program.kill(), program.waitForFinished();
#if defined(_WIN32)
    const int ended = 0;  // asked to close its window, it closes as the user would
#else
    const int ended = 128 + 15;  // SIGTERM, told in the exit status
#endif
    EXPECT_EQ(std::pair(program.exitStatus(), program.exitCode()),
              std::pair(QProcess::NormalExit, ended));
    EXPECT_TRUE(written("Maximised="));
}

}  // namespace
