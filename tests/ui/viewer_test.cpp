// What the window offers as the desktop's image viewers do: keys and the colour
// pick's cursor, dropped files and folders, recent files, a trawl from the
// menu, and the actual-size window that zooms and fits the screen.
#include "tests/ui/window_fixture.h"

namespace {

using namespace window_testing;
using testing_support::FillImage;
using testing_support::WriteImage;

// The window active again, as when a dialog has gone.
bool Reactivate(QWidget& window) {
    return WaitUntil([&] {
        window.activateWindow();
        return QApplication::activeWindow() == &window && !QApplication::activeModalWidget();
    });
}

TEST_F(MainWindow, ShortcutsMnemonicsAndEscapeReachTheirCommands) {
    application().language().SetLines({"menu File|File"});
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    WriteImage(dir.File("a.tga"), 4, 4, false);
    WhenModalOpens<QFileDialog>(&window, [&](QFileDialog* open) {
        open->selectFile(Q(dir.File("a.tga")));
        static_cast<QDialog*>(open)->accept();
    });
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(application().settings().CurrentFile, dir.File("a.tga"));
    ASSERT_TRUE(Reactivate(window));

    QTest::keyClick(&window, Qt::Key_F10);  // the File menu, as on the other desktop programs
    EXPECT_TRUE(WaitUntil([&] { return find<QMenu>("fileMenu")->isVisible(); }, 2000));
    find<QMenu>("fileMenu")->close();

    // A colour pick awaited shows a cross-hair over the picture; Escape gives it up.
    WhenModalOpens<ui::ToleranceDialog>(&window, [](ui::ToleranceDialog* tolerance) {
        tolerance->findChild<QPushButton*>("acceptButton")->click();
    });
    find("createAlphaMaskAction")->trigger();
    EXPECT_EQ(application().pick().Mode(), app::PickMode::AwaitingColour);
    auto* picture = find<ui::PictureView>("colourPicture");
    EXPECT_EQ(picture->cursor().shape(), Qt::CrossCursor);
    ASSERT_TRUE(Reactivate(window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(application().pick().Mode(), app::PickMode::None);
    EXPECT_EQ(picture->cursor().shape(), Qt::ArrowCursor);

    // Space on the picture and Page Up step through the folder; the title names the file.
    WriteImage(dir.File("b.tga"), 4, 4, false);
    EXPECT_EQ(S(window.windowTitle()), "a.tga - Skeinpress");
    picture->setFocus();
    QTest::keyClick(picture, Qt::Key_Space);
    EXPECT_EQ(S(window.windowTitle()), "b.tga - Skeinpress");
    QTest::keyClick(&window, Qt::Key_PageUp);
    EXPECT_EQ(application().settings().CurrentFile, dir.File("a.tga"));
}

// The status bar, zoom, the clipboard and the details of a picture.
TEST_F(MainWindow, ZoomStatusClipboardAndDetailsOfThePicture) {
    Open(std::string(120, 'n') + ".tga", 512, 128, true);
    auto* name = label("fileNameLabel");
    EXPECT_TRUE(name->text().contains(QChar(0x2026)) && name->text().endsWith(".tga"));
    EXPECT_TRUE(name->toolTip().endsWith(std::string(120, 'n').c_str() + QString(".tga")));
    auto status = [&] {
        return S(label("statusSize")->text() + "|" + label("statusFormat")->text() + "|" +
                 label("statusZoom")->text());
    };
    EXPECT_EQ(status(), "512 x 128|TGA, 32-bit|Fit (64 %)");
    auto* picture = find<ui::PictureView>("colourPicture");
    auto* scroll = find<QScrollArea>("colourScroll");
    EXPECT_EQ(picture->geometry(), QRect(0, (330 - 82) / 2, 330, 82));  // centred in its box

    find("zoomActualAction")->trigger();
    EXPECT_EQ(picture->size(), QSize(512, 128));
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);  // to be panned
    QWheelEvent wheel(QPointF(5, 5), picture->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picture, &wheel);
    EXPECT_EQ(picture->size(), QSize(768, 192));
    EXPECT_EQ(S(label("statusZoom")->text()), "150 %");
    find("zoomFitAction")->trigger();
    EXPECT_EQ(picture->size(), QSize(330, 82));

    // The clipboard has the image as it is, its alpha included.
    find("copyAction")->trigger();
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(512, 128));
    EXPECT_TRUE(copied.hasAlphaChannel());
    const core::ImageStore& store = application().view().Store();
    const uint8_t* topLeft =
        store.Current.Data() + 127 * 512 * 4;  // the store's rows run bottom-up
    EXPECT_EQ(copied.pixelColor(0, 0), QColor(topLeft[0], topLeft[1], topLeft[2], topLeft[3]));

    QString text;
    WhenModalOpens<QDialog>(&window, [&](QDialog* details) {
        text = details->findChild<QPlainTextEdit*>("detailsText")->toPlainText();
        details->reject();
    });
    find("detailsAction")->trigger();
    // The text itself: the application's and the console's info tests.
    EXPECT_TRUE(text.contains("size:           512 x 128\n  bytes/pixel:    4")) << S(text);
}

// A dropped file opens and then heads File > Open Recent; a dropped folder is
// trawled when the user agrees, as one chosen under File > Trawl Folder is.
TEST_F(MainWindow, DroppedFilesAndFoldersRecentFilesAndTheTrawlFromTheMenu) {
    auto drop = [&](const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Q(path))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&window, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
        QApplication::processEvents();
    };
    for (int i = 0; i < 9; ++i) Open("r" + std::to_string(i) + ".tga");
    WriteImage(dir.File("dropped.tga"), 4, 4, false);
    drop(dir.File("dropped.tga"));
    EXPECT_EQ(application().settings().CurrentFile, dir.File("dropped.tga"));
    emit find<QMenu>("fileMenu")->aboutToShow();
    QList<QAction*> recent = find<QMenu>("recentFilesMenu")->actions();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_TRUE(S(recent.front()->text()).ends_with("dropped.tga"));
    recent.back()->trigger();
    EXPECT_EQ(application().settings().CurrentFile, dir.File("r2.tga"));

    for (const char* name : {"tree/a.texture", "other/b.texture"})
        WriteImage(dir.File(name), 4, 4, false);
    WhenModalOpens<QMessageBox>(
        &window, [](QMessageBox* question) { question->button(QMessageBox::Yes)->click(); });
    drop(dir.File("tree"));
    ASSERT_TRUE(WaitUntil([&] { return !application().trawl().Active(); }));
    WhenModalOpens<QFileDialog>(&window, [&](QFileDialog* picker) {
        picker->setDirectory(Q(dir.File("other")));
        static_cast<QDialog*>(picker)->accept();
    });
    find("trawlFolderAction")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !application().trawl().Active(); }));
    EXPECT_TRUE(fs::exists(dir.File("tree/a.tga")) && fs::exists(dir.File("other/b.tga")));
}

// The actual-size window of a picture put in the store, with its canvas and
// scrolled view.
class ActualSize : public MainWindow {
protected:
    void Open(int width, int height, std::vector<uint8_t> pixels) {
        FillImage(application().view().Store().Current, width, height, 3, pixels);
        EXPECT_TRUE(application().view().ChooseActualSize(false));
        form->prepare(application().view());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    void TearDown() override { form->reject(); }
    ui::ActualSizeWindow* form = window.findChild<ui::ActualSizeWindow*>();
    ui::ZoomCanvas* canvas = form->findChild<ui::ZoomCanvas*>();
    QScrollArea* scroll = form->findChild<QScrollArea*>();
};

TEST_F(ActualSize, ZoomsInStepsWithSharpPixelsAndFitsTheScreen) {
    std::vector<uint8_t> checks;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) checks.insert(checks.end(), 3, (x + y) % 2 ? 255 : 0);
    Open(256, 128, checks);
    // The picture and its frame; a style may ask more width for its buttons.
    EXPECT_EQ(form->height(), 188);
    EXPECT_GE(form->width(), 280);

    std::vector<double> zooms;
    for (Qt::Key key :
         {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_0, Qt::Key_Minus}) {
        QTest::keyClick(form, key);
        zooms.push_back(form->zoom());
    }
    EXPECT_EQ(zooms, (std::vector<double>{2, 3, 4, 3, 1, 0.5}));
    QWheelEvent wheel(QPointF(20, 20), scroll->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroll->viewport(), &wheel);
    EXPECT_EQ(form->zoom(), 1);

    // At 400 % each picture pixel is a 4 x 4 block of its own colour.
    form->setZoom(4);
    EXPECT_EQ(canvas->size(), QSize(256 * 4 + 16, 128 * 4 + 16));
    const QImage shot = canvas->grab(QRect(8, 8, 16, 16)).toImage();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(shot.pixel(x, y), canvas->picture().pixel(x / 4, y / 4)) << x << "," << y;

    form->resize(200, 150);
    QTest::keyClick(form, Qt::Key_F);  // fit to the window
    EXPECT_LT(form->zoom(), 1);
    EXPECT_LE(canvas->width(), scroll->viewport()->width());

    // Opened again on a picture larger than the screen: a window on the
    // screen that scrolls.
    form->reject();
    Open(1500, 2500, std::vector<uint8_t>(1500 * 2500 * 3, 90));
    EXPECT_TRUE(window.screen()->availableGeometry().contains(form->frameGeometry()));
    QScrollBar* bar = scroll->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(form->rect().contains(QRect(bar->mapTo(form, QPoint(0, 0)), bar->size())));
}

}  // namespace
