#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "ui/about_box.h"
#include "ui/actual_size_window.h"
#include "ui/picture_convert.h"
#include "ui/picture_view.h"
#include "ui/tolerance_dialog.h"

// The icon lives in the library's resources; a static library must register them.
static void InitSkeinpressResources() {
    Q_INIT_RESOURCE(resources);
}

namespace ui {
namespace {

constexpr const char* kPictureHint = "Right click for menu";
constexpr QPoint kDefaultPosition{200, 100};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A menu title with a keyboard mnemonic on its first letter, unless the
// language file gave it one.
QString WithMnemonic(const QString& title) {
    return title.contains('&') ? title : "&" + title;
}

// The platform's key for a standard command, or `fallback` where it has none
// (Save As and Quit have none outside some desktops).
QKeySequence StandardKey(QKeySequence::StandardKey key, QKeySequence fallback) {
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? fallback : keys.front();
}

// A framed pane with a lowered bevel of width 2 and its caption in the middle,
// seen where the picture does not cover it.
QFrame* MakePane(QWidget* parent, const char* name, QLabel*& caption) {
    auto* pane = new QFrame(parent);
    pane->setObjectName(name);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setLineWidth(2);
    caption = new QLabel(pane);
    caption->setAlignment(Qt::AlignCenter);
    return pane;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// The one local file or folder a drag carries, if that is what it carries.
std::optional<std::string> DraggedPath(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return std::nullopt;
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    return url.toLocalFile().toStdString();
}

}  // namespace

MainWindow::MainWindow(const std::string& programDir, const std::string& programPath,
                       const std::string& dataDir, QWidget* parent)
    : QMainWindow(parent), host_(*this), app_(host_), dataDir_(dataDir) {
    InitSkeinpressResources();
    setWindowTitle("Skeinpress");
    QApplication::setWindowIcon(QIcon(":/skeinpress/skeinpress.png"));
    setAcceptDrops(true);
    createWidgets();
    createActions();

    // The secondary windows, created after the main window as the program starts.
    aboutBox = new AboutBox(this);
    actualSizeWindow = new ActualSizeWindow(this);
    toleranceDialog = new ToleranceDialog(this);

    app_.Start(programDir, programPath);
    updateOptionChecks();
    resize(kDefaultClientSize + QSize(0, menuBar()->sizeHint().height()));
    placeAt(app_.settings().WindowLeft, app_.settings().WindowTop);
}

void MainWindow::createWidgets() {
    auto* client = new QWidget(this);
    client->setMinimumSize(kDefaultClientSize);
    client->installEventFilter(this);
    setCentralWidget(client);

    fileNameLabel = Named(new QLabel("File Name", client), "fileNameLabel");
    colourPane = MakePane(client, "colourPane", colourPaneCaption);
    colourPaneCaption->setText("Image");
    colourPicture = Named(new PictureView(colourPane), "colourPicture");
    colourPicture->setToolTip(kPictureHint);
    colourPicture->hide();
    sizeLabel = Named(new QLabel("Image Size:", colourPane), "sizeLabel");
    sizeLabel->setWordWrap(true);
    sizeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pickedColourLabel = Named(new QLabel(colourPane), "pickedColourLabel");
    pickedColourLabel->move(144, 112);
    pickedColourLabel->setAutoFillBackground(true);
    pickedColourLabel->hide();

    alphaPane = MakePane(client, "alphaPane", alphaPaneCaption);
    alphaPaneCaption->setText("Alpha Channel");
    alphaPicture = Named(new PictureView(alphaPane), "alphaPicture");
    alphaPicture->setToolTip(kPictureHint);
    alphaPicture->hide();
    messageLog = Named(new QPlainTextEdit(alphaPane), "messageLog");
    messageLog->setReadOnly(true);
    messageLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    messageLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long message is read whole: wrapped at the pane's edge, within a long
    // path too.
    messageLog->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    messageLog->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    resumeButton = Named(new QPushButton("Resume", client), "resumeButton");
    resumeButton->hide();
    stopButton = Named(new QPushButton("Stop Trawl", client), "stopButton");
    stopButton->hide();
    layOutWidgets();

    connect(resumeButton, &QPushButton::clicked, this, [this] { app_.trawl().Resume(); });
    connect(stopButton, &QPushButton::clicked, this, [this] { app_.trawl().Stop(); });
    connect(colourPicture, &PictureView::mouseMoved, this, &MainWindow::trackPickedColour);
    connect(colourPicture, &PictureView::mousePressed, this, &MainWindow::pickColour);
    connect(colourPicture, &PictureView::contextMenuRequested, this,
            [this](QPoint at) { colourMenu->exec(at); });
    connect(alphaPicture, &PictureView::contextMenuRequested, this,
            [this](QPoint at) { alphaMenu->exec(at); });

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &MainWindow::cancelColourPick);
    // F10 opens the first menu, as on the other desktop programs.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(fileMenu->menuAction()); });
}

void MainWindow::layOutWidgets() {
    // What the client area has beyond its default size goes half to each pane;
    // in the alpha pane, half of the extra height to the picture, half to the log.
    const QSize extra = (centralWidget()->size() - kDefaultClientSize).expandedTo(QSize(0, 0));
    const int leftWider = extra.width() / 2;
    const int rightWider = extra.width() - leftWider;
    const int taller = extra.height();
    const int alphaTaller = taller / 2;
    const int lineHeight = std::max(13, fontMetrics().height());

    fileNameLabel->setGeometry(16, 400 + taller, 465 + extra.width(), lineHeight);
    colourPane->setGeometry(16, 8, 346 + leftWider, 377 + taller);
    colourPaneCaption->setGeometry(2, 2, colourPane->width() - 4, colourPane->height() - 4);
    sizeLabel->setGeometry(4, 342 + taller, 335 + leftWider, 33);
    alphaPane->setGeometry(363 + leftWider, 8, 347 + rightWider, 377 + taller);
    alphaPaneCaption->setGeometry(2, 2, alphaPane->width() - 4, alphaPane->height() - 4);
    messageLog->setGeometry(8, 224 + alphaTaller, 329 + rightWider, 145 + taller - alphaTaller);
    resumeButton->setGeometry(544 + extra.width(), 392 + taller, 75, 25);
    stopButton->setGeometry(632 + extra.width(), 392 + taller, 75, 25);
    fitPictures();
}

void MainWindow::fitPictures() {
    // The colour box is 330 x 330 and the alpha box 330 x 209 at the default size.
    if (!colourSize_.isEmpty()) {
        const app::FittedSize shown =
            app::FitIntoBox(colourSize_.width(), colourSize_.height(), colourPane->width() - 16,
                            colourPane->height() - 47);
        colourPicture->setGeometry(8, 8, shown.width, shown.height);
    }
    if (!alphaSize_.isEmpty()) {
        const app::FittedSize shown = app::FitIntoBox(
            alphaSize_.width(), alphaSize_.height(), alphaPane->width() - 17, messageLog->y() - 15);
        alphaPicture->setGeometry(8, 8, shown.width, shown.height);
    }
}

// The panes hold a reduction of a big picture that is still as large as the
// screen, so a later enlargement of the window needs no new one.
void MainWindow::setPicture(PictureView* view, QSize& fullSize, const core::Bitmap& bitmap) {
    fullSize = QSize(bitmap.Width(), bitmap.Height());
    view->setPicture(ReducedImage(bitmap, screen()->availableGeometry().size()));
    fitPictures();
    view->show();
}

void MainWindow::clearPictures() {
    colourPicture->clear();
    alphaPicture->clear();
    colourSize_ = alphaSize_ = QSize();
}

void MainWindow::placeAt(int left, int top) {
    // The stored place is the client area's, so it reads back the same
    // whatever the window manager's decoration. A place on no screen (another
    // monitor set-up) falls back to the default.
    QPoint corner(left, top);
    if (!QGuiApplication::screenAt(corner)) corner = kDefaultPosition;
    setGeometry(QRect(corner, size()));
}

void MainWindow::createActions() {
    // Each item is named for finding, captioned before the language file is
    // read, and given the key that translates it (none: the caption stays).
    auto keyedMenu = [this](QMenu* menu, const char* name, const char* key) {
        menu->setObjectName(name);
        if (key) menuCaptions_.emplace_back(menu, key);
        return menu;
    };
    auto item = [this](QMenu* menu, const char* name, const char* caption, const char* key,
                       auto handler) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        if (key) actionCaptions_.emplace_back(action, key);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto option = [this](const char* name, const char* caption, const char* key,
                         bool app::Settings::*flag) {
        QAction* action = optionsMenu->addAction(caption);
        action->setObjectName(name);
        action->setCheckable(true);
        actionCaptions_.emplace_back(action, key);
        optionActions_.emplace_back(action, flag);
        connect(action, &QAction::triggered, this,
                [this, action, flag] { action->setChecked(app_.ToggleOption(flag)); });
    };

    fileMenu = keyedMenu(menuBar()->addMenu("&File"), "fileMenu", "menu File");
    item(fileMenu, "openAction", "Open", "menu Open", [this] {
        app_.view().ChooseAndOpen();
    })->setShortcut(StandardKey(QKeySequence::Open, QKeySequence("Ctrl+O")));
    reopenAction = item(fileMenu, "reopenAction", "  ", nullptr, &MainWindow::reopenCurrent);
    recentFilesMenu = keyedMenu(fileMenu->addMenu("Open Recent"), "recentFilesMenu", nullptr);
    connect(fileMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentFiles);
    item(fileMenu, "saveAction", "Save", nullptr, [this] {
        app_.view().Save();
    })->setShortcut(StandardKey(QKeySequence::Save, QKeySequence("Ctrl+S")));
    item(fileMenu, "saveAsAction", "Save As", "menu SaveAs", [this] {
        app_.view().SaveAs();
    })->setShortcut(StandardKey(QKeySequence::SaveAs, QKeySequence("Ctrl+Shift+S")));
    item(fileMenu, "exitAction", "Exit", "menu Exit", &QWidget::close)
        ->setShortcut(StandardKey(QKeySequence::Quit, QKeySequence("Ctrl+Q")));
    fileMenu->addSeparator();
    item(fileMenu, "mergeAlphaAction", "Merge Alpha Image", nullptr,
         [this] { app_.editing().MergeAlphaImage(); });
    item(fileMenu, "normalMapAction", "Make Normal Map", nullptr,
         [this] { app_.editing().MakeNormalMap(); });
    fileMenu->addSeparator();
    item(fileMenu, "trawlFolderAction", "Trawl Folder...", nullptr,
         [this] { app_.trawl().ChooseFolderAndTrawl(); });
    item(fileMenu, "viewLogAction", "View Trawl Log", "menu ViewLog",
         [this] { app_.log().View(); });
    item(fileMenu, "deleteLogAction", "Delete Trawl Log", "menu DeleteLog",
         [this] { app_.DeleteTrawlLog(); });
    fillRecentFiles();

    optionsMenu = keyedMenu(menuBar()->addMenu("&Options"), "optionsMenu", "menu Options");
    option("convertBmpsAction", "Convert BMPs", "menu ConvertBMP", &app::Settings::DoBMPs);
    option("convertJpgsAction", "Convert JPGs", "menu ConvertJPG", &app::Settings::DoJPGs);
    option("convertTexturesAction", "Convert Textures", "menu ConvertTex",
           &app::Settings::DoTextures);
    optionsMenu->addSeparator();
    option("closeOnDoneAction", "Close on Done", "menu CloseOnDone", &app::Settings::CloseOnDone);
    option("overwriteTgasAction", "Overwrite TGAs", "menu OverwriteTGA",
           &app::Settings::OverwriteTGAs);
    option("fixUniformColourAction", "Fix Uniform Colour", "menu Uniform",
           &app::Settings::FixUniformColour);

    setUpMenu = keyedMenu(menuBar()->addMenu("&SetUp"), "setUpMenu", "menu Setup");
    item(setUpMenu, "editorAction", "Editor", "menu Editor",
         [this] { app_.editor().ChooseEditor(); });
    item(setUpMenu, "openWithAction", "OpenWith", "menu OpenWith",
         [this] { app_.openWith().InstallAgain(); });
    item(setUpMenu, "removeOpenWithAction", "Remove OpenWith", "menu RemoveOpenWith",
         [this] { app_.openWith().Remove(); });

    helpMenu = keyedMenu(menuBar()->addMenu("&Help"), "helpMenu", "menu Help");
    // Captioned as its menu, mnemonic included.
    helpAction = item(helpMenu, "helpAction", "Help", nullptr, &MainWindow::help);
    helpAction->setShortcut(StandardKey(QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)));
    item(helpMenu, "aboutAction", "About", "menu About", &MainWindow::about);

    colourMenu = keyedMenu(new QMenu(this), "colourMenu", nullptr);
    item(colourMenu, "colourActualSizeAction", "Display Actual Size", "popup1 ActSize",
         &MainWindow::showColourActualSize);
    item(colourMenu, "editColourAction", "Edit", "popup1 Edit",
         [this] { app_.editor().EditColour(); });
    transparentViewAction = item(colourMenu, "transparentViewAction", "Display Transparent",
                                 "popup1 Transparent", &MainWindow::toggleTransparentView);
    transparentViewAction->setCheckable(true);
    item(colourMenu, "createAlphaMaskAction", "Create alpha mask", "popup1 Mask",
         &MainWindow::createAlphaMask);
    item(colourMenu, "backgroundColourAction", "Transparent Background", "popup1 BGround",
         &MainWindow::chooseBackgroundColour);
    item(colourMenu, "greyScaleAction", "Grey Scale", "popup1 Grey",
         [this] { app_.editing().GreyScale(); });
    nonUniformColourAction =
        item(colourMenu, "nonUniformColourAction", "Non Uniform Colour", "popup1 colour",
             [this] { app_.editing().BreakUpUniformColour(); });
    nonUniformColourAction->setVisible(false);

    alphaMenu = keyedMenu(new QMenu(this), "alphaMenu", nullptr);
    item(alphaMenu, "alphaActualSizeAction", "Display Actual Size", "popup2 ActSize",
         &MainWindow::showAlphaActualSize);
    item(alphaMenu, "editAlphaAction", "Edit", "popup2 Edit",
         [this] { app_.editor().EditAlpha(); });
    item(alphaMenu, "invertAlphaAction", "Invert Alpha Colour", "popup2 Invert",
         [this] { app_.editing().InvertAlpha(); });
    item(alphaMenu, "removeAlphaAction", "Remove Alpha Channel", "popup2 Remove",
         [this] { app_.editing().RemoveAlpha(); });
}

void MainWindow::fillRecentFiles() {
    recentFilesMenu->clear();
    const std::vector<std::string>& recent = app_.settings().RecentFiles;
    for (size_t i = 0; i < recent.size(); ++i) {
        const std::string path = recent[i];
        QAction* action = recentFilesMenu->addAction(
            QString("&%1  %2").arg(i + 1).arg(Q(path).replace('&', "&&")));
        connect(action, &QAction::triggered, this, [this, path] {
            busyUntilIdle();
            app_.view().OpenFile(path);
        });
    }
    recentFilesMenu->setEnabled(!recent.empty());
}

void MainWindow::updateOptionChecks() {
    for (const auto& [action, flag] : optionActions_) action->setChecked(app_.settings().*flag);
}

void MainWindow::retranslate() {
    auto T = [this](const char* key) { return Q(app_.T(key)); };
    for (const auto& [menu, key] : menuCaptions_) menu->setTitle(WithMnemonic(T(key)));
    for (const auto& [action, key] : actionCaptions_) action->setText(T(key));
    helpAction->setText(helpMenu->title());
    // Activation follows every dialog and every return from another program:
    // the lines describing a loaded image stay.
    if (!app_.view().Store().ImageLoaded) {
        fileNameLabel->setText(T("label FileName"));
        sizeLabel->setText(T("label Size"));
    }
    colourPaneCaption->setText(T("label Image"));
    alphaPaneCaption->setText(T("label Alpha"));
    resumeButton->setText(T("button Resume"));
    stopButton->setText(T("button Stop"));
}

// ---- Window events

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) retranslate();
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) layOutWidgets();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    retranslate();
    // Run the command line once the window is on screen: its jobs block for a
    // moment and fill the panes.
    // The command line may change the options: show them as they now are.
    QTimer::singleShot(0, this, [this] {
        app_.RunCommandLine(commandLine_);
        updateOptionChecks();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (!app_.MayClose()) {
        event->ignore();
        return;
    }
    closed_ = true;
    host_.stopTimers();
    // Where the client area is, as the next start places it (an enlarged
    // window: where it returns to).
    const QPoint corner = normalGeometry().topLeft();
    app_.settings().WindowLeft = corner.x();
    app_.settings().WindowTop = corner.y();
    app_.Close();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DraggedPath(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const auto path = DraggedPath(event->mimeData());
    if (!path) return;
    event->acceptProposedAction();
    // The drop's own event ends first: a question or a load must not hold the
    // other program's drag.
    QTimer::singleShot(0, this, [this, path = *path] {
        busyUntilIdle();
        app_.OpenDropped(path);
    });
}

// ---- Commands with the window's own dialogs

void MainWindow::reopenCurrent() {
    busyUntilIdle();
    app_.view().ReopenCurrent();
}

void MainWindow::showColourActualSize() {
    showActualSize(false);
}

void MainWindow::showAlphaActualSize() {
    showActualSize(true);
}

void MainWindow::showActualSize(bool alpha) {
    if (!app_.view().ChooseActualSize(alpha)) return;
    actualSizeWindow->prepare(app_.view());
    actualSizeWindow->exec();
}

void MainWindow::toggleTransparentView() {
    // The application owns the tick; undo Qt's own toggling first.
    transparentViewAction->setChecked(app_.view().TransparentView());
    app_.view().ToggleTransparent();
}

void MainWindow::createAlphaMask() {
    app_.pick().AskTolerance();
    // Just above the main window, left edges aligned.
    toleranceDialog->adjustSize();
    const QRect main = frameGeometry();
    const int frameExtra = toleranceDialog->frameGeometry().height() - toleranceDialog->height();
    toleranceDialog->move(
        main.left(), std::max(0, main.top() - toleranceDialog->height() - std::max(0, frameExtra)));
    if (toleranceDialog->exec() != QDialog::Accepted) {
        app_.pick().End();
        return;
    }
    app_.pick().Begin(toleranceDialog->tolerance());
    colourPicture->setCursor(Qt::CrossCursor);
}

void MainWindow::cancelColourPick() {
    if (!app_.pick().AwaitingColour()) return;
    app_.pick().End();
    pickedColourLabel->hide();
    colourPicture->unsetCursor();
}

void MainWindow::chooseBackgroundColour() {
    const uint32_t current = app_.settings().BGroundColour;
    const QColor initial(current & 0xFF, (current >> 8) & 0xFF, (current >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, this);
    if (!chosen.isValid()) return;
    app_.view().SetBackground(static_cast<uint32_t>(chosen.red()) |
                              (static_cast<uint32_t>(chosen.green()) << 8) |
                              (static_cast<uint32_t>(chosen.blue()) << 16));
}

void MainWindow::about() {
    app_.pick().End();
    aboutBox->setParagraphs({app_.T("about Comments"), app_.T("about Copyright"),
                             app_.T("about Liability"), app_.T("about License1"),
                             app_.T("about License2"), app_.T("about Trademark")});
    aboutBox->adjustSize();
    const QRect main = frameGeometry();
    aboutBox->move(main.left() + (main.width() - aboutBox->width()) / 2,
                   main.top() + (main.height() - aboutBox->height()) / 2);
    aboutBox->exec();
}

void MainWindow::help() {
    app_.ShowHelp(dataDir_);
}

// ---- Colour pick on the colour picture

bool MainWindow::pixelUnder(QPoint position, int& px, int& py) const {
    if (colourSize_.isEmpty() || colourPicture->width() <= 0 || colourPicture->height() <= 0)
        return false;
    px = static_cast<int>(static_cast<int64_t>(colourSize_.width()) * position.x() /
                          colourPicture->width());
    py = static_cast<int>(static_cast<int64_t>(colourSize_.height()) * position.y() /
                          colourPicture->height());
    return px >= 0 && py >= 0 && px < colourSize_.width() && py < colourSize_.height();
}

void MainWindow::trackPickedColour(QPoint position) {
    if (!app_.pick().AwaitingColour()) {
        colourPicture->unsetCursor();
        return;
    }
    colourPicture->setCursor(Qt::CrossCursor);
    pickedColourLabel->hide();
    int px = 0, py = 0;
    uint8_t red = 0, green = 0, blue = 0;
    // The image's own colour: in the transparent view the picture shows a blend.
    if (!pixelUnder(position, px, py) || !app_.view().ColourAt(px, py, red, green, blue)) return;
    const int x = position.x(), y = position.y();
    const bool inside =
        y > 16 && y < colourPicture->height() - 10 && x > 20 && x < colourPicture->width() - 10;
    pickedColourLabel->setText(QString("R %1, G %2, B %3").arg(red).arg(green).arg(blue));
    pickedColourLabel->adjustSize();
    const int left = x < colourPicture->width() - pickedColourLabel->width() ? x + 25 : x - 65;
    pickedColourLabel->move(left, y - 20);
    if (inside) {
        pickedColourLabel->show();
        pickedColourLabel->raise();
    }
}

void MainWindow::pickColour(QPoint position, Qt::MouseButton button) {
    pickedColourLabel->hide();
    if (!app_.pick().AwaitingColour() || button != Qt::LeftButton) return;
    int px = 0, py = 0;
    uint8_t red = 0, green = 0, blue = 0;
    if (!pixelUnder(position, px, py) || !app_.view().ColourAt(px, py, red, green, blue)) return;
    colourPicture->unsetCursor();
    app_.editing().ApplyPickedColour(red, green, blue);
}

void MainWindow::busyUntilIdle() {
    if (busy_) return;
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, this, [this] {
        QApplication::restoreOverrideCursor();
        busy_ = false;
    });
}

}  // namespace ui
