#include "ui/windows/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>
#include <string_view>

#include "app/view/image_details.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/tolerance_dialog.h"
#include "ui/picture/picture_convert.h"
#include "ui/picture/picture_view.h"
#include "ui/windows/actual_size_window.h"

// The icon lives in the library's resources; a static library must register them.
static void InitSkeinpressResources() {
    Q_INIT_RESOURCE(resources);
}

namespace ui {
namespace {

constexpr const char* kPictureHint = "Right click for menu";
constexpr QPoint kDefaultPosition{200, 100};
// Room for a decoration not known yet (the window not shown): a title bar and
// thin borders.
constexpr QMargins kDecorationAllowance{4, 32, 4, 4};

// Captions of the items added to the window since the language file's first
// keys: a language file without their keys (an older translation) leaves the
// English ones.
namespace caption {
struct Caption {
    const char* key;
    const char* english;
};
constexpr Caption kImageMenu{"menu Image", "&Image"};
constexpr Caption kAlphaMenu{"menu Alpha", "&Alpha"};
constexpr Caption kZoomIn{"menu ZoomIn", "Zoom In"};
constexpr Caption kZoomOut{"menu ZoomOut", "Zoom Out"};
constexpr Caption kZoomFit{"menu ZoomFit", "Best Fit"};
constexpr Caption kZoomActual{"menu Zoom100", "Zoom 100 %"};
constexpr Caption kCopy{"menu Copy", "Copy"};
constexpr Caption kDetails{"menu Details", "Details..."};
constexpr Caption kFullScreen{"menu FullScreen", "Full Screen"};
constexpr Caption kNextFile{"menu NextFile", "Next File"};
constexpr Caption kPreviousFile{"menu PreviousFile", "Previous File"};
constexpr Caption kTrawlFolder{"menu TrawlFolder", "Trawl Folder..."};
constexpr Caption kOpenRecent{"menu OpenRecent", "Open Recent"};
constexpr Caption kToolBar{"label Toolbar", "Toolbar"};
constexpr Caption kFit{"label Fit", "Fit"};
// Shorter captions for the toolbar's buttons.
constexpr Caption kToolActualSize{"tool ActSize", "Actual Size"};
constexpr Caption kToolTransparent{"tool Transparent", "Transparent"};
constexpr Caption kToolZoomFit{"tool ZoomFit", "Fit"};
constexpr Caption kToolZoomActual{"tool Zoom100", "100 %"};
constexpr Caption kAll[] = {kImageMenu,       kAlphaMenu,   kZoomIn,        kZoomOut,
                            kZoomFit,         kZoomActual,  kCopy,          kDetails,
                            kFullScreen,      kNextFile,    kPreviousFile,  kTrawlFolder,
                            kOpenRecent,      kToolBar,     kFit,           kToolActualSize,
                            kToolTransparent, kToolZoomFit, kToolZoomActual};
// Fixed captions, as the items the language file never named.
constexpr const char* kMergeAlpha = "Merge Alpha Image";
constexpr const char* kNormalMap = "Make Normal Map";
constexpr const char* kSave = "Save";
}  // namespace caption

// The zoom steps, as image viewers offer them.
constexpr double kZoomSteps[] = {1.0 / 16, 1.0 / 8, 1.0 / 6, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 1,
                                 1.5,      2,       3,       4,    6,       8,   12,      16};
// No picture widget grows beyond this, whatever the zoom.
constexpr int kLargestShownSide = 32000;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The letter after a caption's single '&' (an escaped "&&" is none).
QChar MnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i;
    }
    return QChar();
}

// Gives each action without a mnemonic one on the first letter not yet taken,
// word starts first, so captions from any language file get one.
void AssignMnemonics(const QList<QAction*>& actions) {
    std::set<QChar> taken;
    for (QAction* action : actions)
        if (const QChar used = MnemonicOf(action->text()); !used.isNull()) taken.insert(used);
    for (QAction* action : actions) {
        const QString text = action->text();
        if (action->isSeparator() || text.trimmed().isEmpty() || !MnemonicOf(text).isNull())
            continue;
        auto free = [&](qsizetype i) {
            return text[i].isLetterOrNumber() && !taken.count(text[i].toLower()) &&
                   text[i] != '&' && (i == 0 || text[i - 1] != '&');
        };
        qsizetype chosen = -1;
        for (qsizetype i = 0; i < text.size() && chosen < 0; ++i)
            if ((i == 0 || text[i - 1] == ' ') && free(i)) chosen = i;
        for (qsizetype i = 0; i < text.size() && chosen < 0; ++i)
            if (free(i)) chosen = i;
        if (chosen < 0) continue;
        taken.insert(text[chosen].toLower());
        action->setText(text.left(chosen) + '&' + text.mid(chosen));
    }
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

// The box a picture is shown in: centred while it is smaller, scrolled when
// zoomed beyond it; hidden while there is no picture, so the caption shows.
// A pane's scroll area and the picture inside it.
QScrollArea* MakePictureScroll(QWidget* pane, const char* name, const char* pictureName,
                               PictureView*& picture) {
    auto* scroll = new QScrollArea(pane);
    scroll->setObjectName(name);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setWidgetResizable(false);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->hide();
    picture = new PictureView;
    picture->setObjectName(pictureName);
    picture->setToolTip(kPictureHint);
    scroll->setWidget(picture);
    return scroll;
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
    return QDir::toNativeSeparators(url.toLocalFile()).toStdString();
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
    // The panes never show a picture larger than the screen: the view hands
    // big ones reduced.
    const QSize screenSize = screen()->availableGeometry().size();
    app_.view().SetPictureLimit(screenSize.width(), screenSize.height());

    // The secondary windows, created after the main window as the program starts.
    aboutBox = new AboutBox(this);
    actualSizeWindow = new ActualSizeWindow(this);
    toleranceDialog = new ToleranceDialog(this);

    app_.Start(programDir, programPath);
    savedSettings_ = app_.settings();
    updateOptionChecks();
    // The client area at its stored size (at least its own); the bars around
    // it add theirs (the first showing corrects for what they finally take).
    resize(clientSize() + QSize(0, menuBar()->sizeHint().height() + toolBar->sizeHint().height() +
                                       statusBar()->sizeHint().height()));
    placeAt(app_.settings().WindowLeft, app_.settings().WindowTop);
    if (app_.settings().WindowMaximised) setWindowState(windowState() | Qt::WindowMaximized);

    // Changed settings are written within a second, so that a crash or a
    // log-out loses nothing the user set.
    settingsTimer_ = new QTimer(this);
    connect(settingsTimer_, &QTimer::timeout, this, &MainWindow::saveChangedSettings);
}

MainWindow::~MainWindow() {
    if (!readThread_) return;
    app_.view().DropPendingRead();
    readThread_->quit();
    readThread_->wait();
    delete reader_;
}

void MainWindow::readInBackground() {
    if (readThread_) return;
    readThread_ = new QThread(this);
    reader_ = new QObject;
    reader_->moveToThread(readThread_);
    readThread_->start();
    app_.view().SetReadRunner([this](std::function<void()> work, std::function<void()> done) {
        QApplication::setOverrideCursor(Qt::WaitCursor);  // until the picture shows
        QMetaObject::invokeMethod(
            reader_, [this, work = std::move(work), done = std::move(done)]() mutable {
                work();
                QMetaObject::invokeMethod(
                    this, [this, work = std::move(work), done = std::move(done)]() mutable {
                        QApplication::restoreOverrideCursor();
                        done();
                        // The replaced picture's memory goes back to the reading
                        // thread, which keeps it for the next read.
                        QMetaObject::invokeMethod(
                            reader_, [work = std::move(work), done = std::move(done)] {});
                    });
            });
    });
}

QSize MainWindow::clientSize() const {
    return QSize(app_.settings().WindowWidth, app_.settings().WindowHeight)
        .expandedTo(kDefaultClientSize);
}

void MainWindow::noteGeometry() {
    if (!placed_ || closed_) return;
    app::Settings& settings = app_.settings();
    settings.WindowMaximised = isMaximized();
    if (isFullScreen()) return;
    // An enlarged window: where and how large it returns to.
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    if (normal.isEmpty()) return;
    settings.WindowLeft = normal.left();
    settings.WindowTop = normal.top();
    const QSize client = normal.size() - (size() - centralWidget()->size());
    settings.WindowWidth = std::max(client.width(), kDefaultClientSize.width());
    settings.WindowHeight = std::max(client.height(), kDefaultClientSize.height());
}

void MainWindow::saveChangedSettings() {
    if (closed_ || app_.settings() == savedSettings_) return;
    savedSettings_ = app_.settings();
    app_.SaveSettings();
}

void MainWindow::endNow(int status) {
    if (!closed_) {
        noteGeometry();
        closed_ = true;
        settingsTimer_->stop();
        host_.stopTimers();
        app_.Close();
    }
    QCoreApplication::exit(status);
}

void MainWindow::createWidgets() {
    auto* client = new QWidget(this);
    client->setMinimumSize(kDefaultClientSize);
    client->installEventFilter(this);
    setCentralWidget(client);

    fileNameLabel = Named(new QLabel("File Name", client), "fileNameLabel");
    colourPane = MakePane(client, "colourPane", colourPaneCaption);
    colourPaneCaption->setText("Image");
    colourScroll = MakePictureScroll(colourPane, "colourScroll", "colourPicture", colourPicture);
    sizeLabel = Named(new QLabel("Image Size:", colourPane), "sizeLabel");
    sizeLabel->setWordWrap(true);
    sizeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pickedColourLabel = Named(new QLabel(colourPane), "pickedColourLabel");
    pickedColourLabel->move(144, 112);
    pickedColourLabel->setAutoFillBackground(true);
    pickedColourLabel->hide();

    alphaPane = MakePane(client, "alphaPane", alphaPaneCaption);
    alphaPaneCaption->setText("Alpha Channel");
    alphaScroll = MakePictureScroll(alphaPane, "alphaScroll", "alphaPicture", alphaPicture);
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
    for (PictureView* view : {colourPicture, alphaPicture})
        connect(view, &PictureView::zoomRequested, this, &MainWindow::zoomBy);
    // For the benchmarks: when each new colour picture reaches the screen, on
    // the steady clock they read too.
    if (qEnvironmentVariableIsSet("SKEINPRESS_REPORT_PAINT"))
        connect(colourPicture, &PictureView::firstPainted, this, [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("picture painted %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
        });

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
    colourScroll->setGeometry(8, 8, colourPane->width() - 16, colourPane->height() - 47);
    alphaScroll->setGeometry(8, 8, alphaPane->width() - 17, messageLog->y() - 15);
    auto place = [this](PictureView* view, QScrollArea* box, QSize full) {
        if (full.isEmpty()) return;
        QSize shown;
        if (zoom_ <= 0) {
            const app::FittedSize fitted =
                app::FitIntoBox(full.width(), full.height(), box->width(), box->height());
            shown = QSize(fitted.width, fitted.height);
        } else {
            shown = QSize(static_cast<int>(std::lround(full.width() * zoom_)),
                          static_cast<int>(std::lround(full.height() * zoom_)))
                        .boundedTo(QSize(kLargestShownSide, kLargestShownSide))
                        .expandedTo(QSize(1, 1));
        }
        // Zooming keeps the point in the middle of the box where it was.
        QScrollBar* h = box->horizontalScrollBar();
        QScrollBar* v = box->verticalScrollBar();
        const QSize old = view->size();
        const double cx =
            old.width() > 0 ? (h->value() + box->viewport()->width() / 2.0) / old.width() : 0.5;
        const double cy =
            old.height() > 0 ? (v->value() + box->viewport()->height() / 2.0) / old.height() : 0.5;
        view->resize(shown);
        h->setValue(static_cast<int>(cx * shown.width() - box->viewport()->width() / 2.0));
        v->setValue(static_cast<int>(cy * shown.height() - box->viewport()->height() / 2.0));
    };
    place(colourPicture, colourScroll, colourSize_);
    place(alphaPicture, alphaScroll, alphaSize_);
    updateStatus();
}

double MainWindow::fittedZoom() const {
    if (colourSize_.isEmpty()) return 1;
    const app::FittedSize fitted = app::FitIntoBox(colourSize_.width(), colourSize_.height(),
                                                   colourScroll->width(), colourScroll->height());
    return static_cast<double>(fitted.width) / colourSize_.width();
}

void MainWindow::setZoom(double zoom) {
    zoom_ = zoom;
    fitPictures();
}

void MainWindow::zoomBy(int steps) {
    if (colourSize_.isEmpty() || steps == 0) return;
    double zoom = zoom_ > 0 ? zoom_ : fittedZoom();
    for (; steps > 0; --steps) {
        const double* next = std::find_if(std::begin(kZoomSteps), std::end(kZoomSteps),
                                          [zoom](double step) { return step > zoom * 1.001; });
        zoom = next == std::end(kZoomSteps) ? zoom : *next;
    }
    for (; steps < 0; ++steps) {
        const double* below =
            std::find_if(std::rbegin(kZoomSteps), std::rend(kZoomSteps), [zoom](double step) {
                return step < zoom * 0.999;
            }).base();
        zoom = below == std::begin(kZoomSteps) ? zoom : *(below - 1);
    }
    setZoom(zoom);
}

// The panes hold a reduction of a big picture that is still as large as the
// screen, so a later enlargement of the window needs no new one.
void MainWindow::setPicture(PictureView* view, QSize& fullSize, const core::Bitmap& bitmap) {
    // The view may hand a big picture reduced; it shows the store's image.
    const core::ImageStore& store = app_.view().Store();
    fullSize = store.Current.Usable() ? QSize(store.Current.Width, store.Current.Height)
                                      : QSize(bitmap.Width(), bitmap.Height());
    // Another file is fitted and described afresh; a redraw of the same keeps both.
    if (view == colourPicture && shownFile_ != app_.settings().CurrentFile) {
        shownFile_ = app_.settings().CurrentFile;
        zoom_ = 0;
    }
    view->setPicture(ReducedImage(bitmap, screen()->availableGeometry().size()));
    fitPictures();
    (view == colourPicture ? colourScroll : alphaScroll)->show();
    // The keys reach the picture (its menu, the zoom) rather than the log.
    if (view == colourPicture && (!focusWidget() || focusWidget() == messageLog))
        colourPicture->setFocus();
}

void MainWindow::clearPictures() {
    colourPicture->clear();
    alphaPicture->clear();
    colourScroll->hide();
    alphaScroll->hide();
    colourSize_ = alphaSize_ = QSize();
    updateStatus();
}

QPoint MainWindow::KeptOnScreen(const QRect& frame, const QList<QRect>& available) {
    if (available.isEmpty()) return frame.topLeft();
    auto overlap = [&frame](const QRect& area) {
        const QRect common = area.intersected(frame);
        return common.isEmpty() ? 0LL : static_cast<long long>(common.width()) * common.height();
    };
    const QRect area =
        *std::max_element(available.begin(), available.end(),
                          [&](const QRect& a, const QRect& b) { return overlap(a) < overlap(b); });
    // Right and bottom first: a window too large for the area keeps its top-left.
    QPoint corner = frame.topLeft();
    corner.setX(std::max(area.left(), std::min(corner.x(), area.right() + 1 - frame.width())));
    corner.setY(std::max(area.top(), std::min(corner.y(), area.bottom() + 1 - frame.height())));
    return corner;
}

void MainWindow::placeAt(int left, int top) {
    // The stored place is the client area's, so it reads back the same
    // whatever the window manager's decoration. A place on no screen (another
    // monitor set-up) falls back to the default; then the whole window,
    // decoration included, is moved onto the screen it overlaps most.
    QPoint corner(left, top);
    if (!QGuiApplication::screenAt(corner)) corner = kDefaultPosition;
    QMargins decoration(frameGeometry().left() - geometry().left(),
                        geometry().top() - frameGeometry().top(),
                        frameGeometry().right() - geometry().right(),
                        frameGeometry().bottom() - geometry().bottom());
    if (decoration.isNull()) decoration = kDecorationAllowance;
    QList<QRect> available;
    for (const QScreen* screen : QGuiApplication::screens())
        available << screen->availableGeometry();
    const QPoint frameCorner =
        KeptOnScreen(QRect(corner, size()).marginsAdded(decoration), available);
    setGeometry(QRect(frameCorner + QPoint(decoration.left(), decoration.top()), size()));
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

    // Items made once and put into more than one menu (and the toolbar).
    auto shared = [this](const char* name, const char* caption, const char* key, auto handler,
                         QList<QKeySequence> keys = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        if (key) actionCaptions_.emplace_back(action, key);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);  // its keys work with every menu closed
        return action;
    };
    auto standard = [](QKeySequence::StandardKey key, QKeySequence fallback) {
        return QList<QKeySequence>{StandardKey(key, fallback)};
    };

    QAction* mergeAlpha = shared("mergeAlphaAction", caption::kMergeAlpha, nullptr,
                                 [this] { app_.editing().MergeAlphaImage(); });
    QAction* normalMap = shared("normalMapAction", caption::kNormalMap, nullptr,
                                [this] { app_.editing().MakeNormalMap(); });
    QAction* zoomIn = shared(
        "zoomInAction", caption::kZoomIn.english, caption::kZoomIn.key, [this] { zoomBy(1); },
        QKeySequence::keyBindings(QKeySequence::ZoomIn) << QKeySequence("Ctrl+="));
    QAction* zoomOut = shared(
        "zoomOutAction", caption::kZoomOut.english, caption::kZoomOut.key, [this] { zoomBy(-1); },
        QKeySequence::keyBindings(QKeySequence::ZoomOut));
    QAction* zoomFit = shared("zoomFitAction", caption::kZoomFit.english, caption::kZoomFit.key,
                              [this] { setZoom(0); }, {QKeySequence("Ctrl+0")});
    QAction* zoomActual =
        shared("zoomActualAction", caption::kZoomActual.english, caption::kZoomActual.key,
               [this] { setZoom(1); }, {QKeySequence("Ctrl+1")});
    QAction* copy =
        shared("copyAction", caption::kCopy.english, caption::kCopy.key, &MainWindow::copyPicture,
               standard(QKeySequence::Copy, QKeySequence("Ctrl+C")));
    // A text box with focus (the log) keeps Ctrl+C for its own selection.
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QAction* details = shared("detailsAction", caption::kDetails.english, caption::kDetails.key,
                              &MainWindow::showDetails, {QKeySequence("Alt+Return")});
    fullScreenAction = shared(
        "fullScreenAction", caption::kFullScreen.english, caption::kFullScreen.key,
        [this] { isFullScreen() ? showNormal() : showFullScreen(); },
        QKeySequence::keyBindings(QKeySequence::FullScreen) << QKeySequence(Qt::Key_F11));
    fullScreenAction->setCheckable(true);
    // As in the desktop's viewers; Space and Backspace only where the picture
    // has the keys, so the buttons and the log keep theirs.
    QAction* nextFile = shared("nextFileAction", caption::kNextFile.english, caption::kNextFile.key,
                               [this] { openNeighbour(1); }, {QKeySequence(Qt::Key_PageDown)});
    QAction* previousFile =
        shared("previousFileAction", caption::kPreviousFile.english, caption::kPreviousFile.key,
               [this] { openNeighbour(-1); }, {QKeySequence(Qt::Key_PageUp)});
    for (PictureView* view : {colourPicture, alphaPicture}) {
        for (auto [key, step] : {std::pair(Qt::Key_Space, 1), std::pair(Qt::Key_Backspace, -1)}) {
            auto* shortcut =
                new QShortcut(QKeySequence(key), view, nullptr, nullptr, Qt::WidgetShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, step] { openNeighbour(step); });
        }
    }

    fileMenu = keyedMenu(menuBar()->addMenu("&File"), "fileMenu", "menu File");
    QAction* open =
        item(fileMenu, "openAction", "Open", "menu Open", [this] { app_.view().ChooseAndOpen(); });
    open->setShortcut(StandardKey(QKeySequence::Open, QKeySequence("Ctrl+O")));
    // Hidden until a file gives it a caption.
    reopenAction = item(fileMenu, "reopenAction", "", nullptr, &MainWindow::reopenCurrent);
    reopenAction->setVisible(false);
    recentFilesMenu = keyedMenu(fileMenu->addMenu(caption::kOpenRecent.english), "recentFilesMenu",
                                caption::kOpenRecent.key);
    connect(fileMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentFiles);
    QAction* save =
        item(fileMenu, "saveAction", caption::kSave, nullptr, [this] { app_.view().Save(); });
    save->setShortcut(StandardKey(QKeySequence::Save, QKeySequence("Ctrl+S")));
    item(fileMenu, "saveAsAction", "Save As", "menu SaveAs", [this] {
        app_.view().SaveAs();
    })->setShortcut(StandardKey(QKeySequence::SaveAs, QKeySequence("Ctrl+Shift+S")));
    fileMenu->addSeparator();
    fileMenu->addAction(mergeAlpha);
    fileMenu->addAction(normalMap);
    fileMenu->addSeparator();
    item(fileMenu, "trawlFolderAction", caption::kTrawlFolder.english, caption::kTrawlFolder.key,
         [this] { app_.ChooseTrawlFolder(); });
    item(fileMenu, "viewLogAction", "View Trawl Log", "menu ViewLog",
         [this] { app_.ViewTrawlLog(); });
    item(fileMenu, "deleteLogAction", "Delete Trawl Log", "menu DeleteLog",
         [this] { app_.DeleteTrawlLog(); });
    fileMenu->addSeparator();
    item(fileMenu, "exitAction", "Exit", "menu Exit", &QWidget::close)
        ->setShortcuts({StandardKey(QKeySequence::Quit, QKeySequence("Ctrl+Q")),
                        StandardKey(QKeySequence::Close, QKeySequence("Ctrl+W"))});
    fillRecentFiles();

    // The pictures' right-click menus; the Image and Alpha menus hold the same items.
    colourMenu = keyedMenu(new QMenu(this), "colourMenu", nullptr);
    QAction* colourActualSize = item(colourMenu, "colourActualSizeAction", "Display Actual Size",
                                     "popup1 ActSize", &MainWindow::showColourActualSize);
    QAction* editColour = item(colourMenu, "editColourAction", "Edit", "popup1 Edit",
                               [this] { app_.editor().EditColour(); });
    transparentViewAction = item(colourMenu, "transparentViewAction", "Display Transparent",
                                 "popup1 Transparent", &MainWindow::toggleTransparentView);
    transparentViewAction->setCheckable(true);
    QAction* mask = item(colourMenu, "createAlphaMaskAction", "Create alpha mask", "popup1 Mask",
                         &MainWindow::createAlphaMask);
    QAction* background = item(colourMenu, "backgroundColourAction", "Transparent Background",
                               "popup1 BGround", &MainWindow::chooseBackgroundColour);
    QAction* grey = item(colourMenu, "greyScaleAction", "Grey Scale", "popup1 Grey",
                         [this] { app_.editing().GreyScale(); });
    nonUniformColourAction =
        item(colourMenu, "nonUniformColourAction", "Non Uniform Colour", "popup1 colour",
             [this] { app_.editing().BreakUpUniformColour(); });
    nonUniformColourAction->setVisible(false);

    alphaMenu = keyedMenu(new QMenu(this), "alphaMenu", nullptr);
    QAction* alphaActualSize = item(alphaMenu, "alphaActualSizeAction", "Display Actual Size",
                                    "popup2 ActSize", &MainWindow::showAlphaActualSize);
    QAction* editAlpha = item(alphaMenu, "editAlphaAction", "Edit", "popup2 Edit",
                              [this] { app_.editor().EditAlpha(); });
    QAction* invert = item(alphaMenu, "invertAlphaAction", "Invert Alpha Colour", "popup2 Invert",
                           [this] { app_.editing().InvertAlpha(); });
    QAction* remove = item(alphaMenu, "removeAlphaAction", "Remove Alpha Channel", "popup2 Remove",
                           [this] { app_.editing().RemoveAlpha(); });
    QAction* addAlpha = item(alphaMenu, "addAlphaAction", "Add Alpha Channel", "menu AddAlpha",
                             [this] { app_.editing().AddAlpha(); });

    imageMenu = keyedMenu(menuBar()->addMenu(caption::kImageMenu.english), "imageMenu",
                          caption::kImageMenu.key);
    imageMenu->addActions({colourActualSize, transparentViewAction, background});
    imageMenu->addSeparator();
    imageMenu->addActions({zoomIn, zoomOut, zoomFit, zoomActual, fullScreenAction});
    imageMenu->addSeparator();
    imageMenu->addActions({nextFile, previousFile});
    imageMenu->addSeparator();
    imageMenu->addActions({copy, details, editColour, nonUniformColourAction});

    alphaChannelMenu = keyedMenu(menuBar()->addMenu(caption::kAlphaMenu.english),
                                 "alphaChannelMenu", caption::kAlphaMenu.key);
    alphaChannelMenu->addActions({mask, mergeAlpha, invert, addAlpha, remove});
    alphaChannelMenu->addSeparator();
    alphaChannelMenu->addActions({grey, normalMap});
    alphaChannelMenu->addSeparator();
    alphaChannelMenu->addActions({alphaActualSize, editAlpha});

    optionsMenu = keyedMenu(menuBar()->addMenu("&Options"), "optionsMenu", "menu Options");
    option("convertBmpsAction", "Convert BMPs", "menu ConvertBMP", &app::Settings::DoBMPs);
    option("convertJpgsAction", "Convert JPGs", "menu ConvertJPG", &app::Settings::DoJPGs);
    option("convertPngsAction", "Convert PNGs", "menu ConvertPNG", &app::Settings::DoPNGs);
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

    // The common commands, with the desktop theme's icons where it has them.
    toolBar = Named(addToolBar(caption::kToolBar.english), "toolBar");
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto icon = [this](QAction* action, const char* theme, QStyle::StandardPixmap fallback,
                       const caption::Caption* shortCaption = nullptr) {
        if (shortCaption) {
            action->setIconText(shortCaption->english);
            iconCaptions_.emplace_back(action, shortCaption->key);
        }
        action->setIcon(QIcon::fromTheme(
            theme, fallback == QStyle::SP_CustomBase ? QIcon() : style()->standardIcon(fallback)));
        toolBar->addAction(action);
    };
    icon(open, "document-open", QStyle::SP_DialogOpenButton);
    icon(save, "document-save", QStyle::SP_DialogSaveButton);
    toolBar->addSeparator();
    icon(colourActualSize, "window-new", QStyle::SP_CustomBase, &caption::kToolActualSize);
    icon(transparentViewAction, "", QStyle::SP_CustomBase, &caption::kToolTransparent);
    toolBar->addSeparator();
    icon(zoomOut, "zoom-out", QStyle::SP_CustomBase);
    icon(zoomIn, "zoom-in", QStyle::SP_CustomBase);
    icon(zoomFit, "zoom-fit-best", QStyle::SP_CustomBase, &caption::kToolZoomFit);
    icon(zoomActual, "zoom-original", QStyle::SP_CustomBase, &caption::kToolZoomActual);

    // Size, format and zoom of the open picture.
    statusSize = Named(new QLabel(this), "statusSize");
    statusFormat = Named(new QLabel(this), "statusFormat");
    statusZoom = Named(new QLabel(this), "statusZoom");
    statusBar()->addWidget(statusSize);
    statusBar()->addWidget(statusFormat);
    statusBar()->addPermanentWidget(statusZoom);
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

QString MainWindow::translated(const char* key) const {
    const std::string text = app_.T(key);
    if (text == app::kNotTranslated) {
        for (const caption::Caption& known : caption::kAll)
            if (std::string_view(known.key) == key) return known.english;
    }
    return Q(text);
}

void MainWindow::retranslate() {
    auto T = [this](const char* key) { return translated(key); };
    for (const auto& [menu, key] : menuCaptions_) menu->setTitle(T(key));
    for (const auto& [action, key] : actionCaptions_) action->setText(T(key));
    assignMnemonics();
    for (const auto& [action, key] : iconCaptions_) action->setIconText(T(key));
    toolBar->setWindowTitle(T(caption::kToolBar.key));
    helpAction->setText(helpMenu->title());
    // Activation follows every dialog and every return from another program:
    // the lines describing a loaded image stay.
    if (!app_.view().Store().Loaded()) {
        setFileNameText(T("label FileName"));
        sizeLabel->setText(T("label Size"));
    }
    colourPaneCaption->setText(T("label Image"));
    alphaPaneCaption->setText(T("label Alpha"));
    resumeButton->setText(T("button Resume"));
    stopButton->setText(T("button Stop"));
}

void MainWindow::assignMnemonics() {
    AssignMnemonics(menuBar()->actions());
    for (QMenu* menu : {fileMenu, imageMenu, alphaChannelMenu, optionsMenu, setUpMenu, helpMenu,
                        colourMenu, alphaMenu})
        AssignMnemonics(menu->actions());
}

void MainWindow::setFileNameText(const QString& text) {
    fileNameText_ = text;
    elideFileName();
}

// A long path loses its middle, never its extension; the tooltip has it whole.
void MainWindow::elideFileName() {
    const QString shown = fileNameLabel->fontMetrics().elidedText(fileNameText_, Qt::ElideMiddle,
                                                                  fileNameLabel->width());
    fileNameLabel->setText(shown);
    fileNameLabel->setToolTip(shown == fileNameText_ ? QString() : fileNameText_);
}

void MainWindow::updateStatus() {
    if (!statusZoom) return;  // the bars come after the panes
    const core::ImageStore& store = app_.view().Store();
    if (colourSize_.isEmpty() || !store.Current.Usable()) {
        for (QLabel* label : {statusSize, statusFormat, statusZoom}) label->clear();
        return;
    }
    statusSize->setText(QString("%1 x %2").arg(store.Current.Width).arg(store.Current.Height));
    // The container or the file's own type, the compression, the pixel depth.
    QString format = Q(store.Current.Container);
    if (format.isEmpty()) format = QFileInfo(Q(app_.settings().CurrentFile)).suffix().toUpper();
    const QString compression = Q(app::CompressionName(app_.view().FileCompression()));
    if (!compression.isEmpty()) format += (format.isEmpty() ? "" : " ") + compression;
    format += QString("%1%2-bit")
                  .arg(format.isEmpty() ? "" : ", ")
                  .arg(store.Current.BytesPerPixel() * 8);
    statusFormat->setText(format);
    const double zoom = zoom_ > 0 ? zoom_ : fittedZoom();
    const QString percent = QString("%1 %").arg(std::lround(zoom * 100));
    statusZoom->setText(zoom_ > 0 ? percent
                                  : QString("%1 (%2)").arg(translated(caption::kFit.key), percent));
}

void MainWindow::openNeighbour(int step) {
    busyUntilIdle();
    app_.view().OpenNeighbour(step);
}

void MainWindow::copyPicture() {
    const QImage image = StoreImage(app_.view().Store());
    if (image.isNull()) return;
    QApplication::clipboard()->setImage(image);
}

void MainWindow::showDetails() {
    const core::ImageStore& store = app_.view().Store();
    if (!store.Current.Usable()) return;
    QDialog dialog(this);
    dialog.setObjectName("detailsDialog");
    dialog.setWindowTitle(findChild<QAction*>("detailsAction")->text().remove("...").remove('&'));
    auto* text = Named(new QPlainTextEdit(Q(app::ImageDetailsText(
                           store, app_.settings().CurrentFile, app_.view().FileCompression()))),
                       "detailsText");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(560, 360);
    dialog.exec();
}

// ---- Window events

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && fullScreenAction) {
        fullScreenAction->setChecked(isFullScreen());
        noteGeometry();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    noteGeometry();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) retranslate();
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        layOutWidgets();
        elideFileName();
        noteGeometry();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (!isMaximized() && !isFullScreen()) resize(size() + clientSize() - centralWidget()->size());
    placed_ = true;
    settingsTimer_->start(1000);
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
    // Where the client area is, as the next start places it (an enlarged
    // window: where it returns to).
    noteGeometry();
    closed_ = true;
    settingsTimer_->stop();
    host_.stopTimers();
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
    pickedColourLabel->move(colourPicture->mapTo(colourPane, QPoint(left, y - 20)));
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
