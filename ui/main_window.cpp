#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "ui/picture_convert.h"
#include "ui/picture_view.h"
#include "ui/actual_size_window.h"

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
QFrame* MakePanel(QWidget* parent, QLabel*& caption) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);
    caption = new QLabel(panel);
    caption->setAlignment(Qt::AlignCenter);
    return panel;
}

// The one local file or folder a drag carries, if that is what it carries.
std::optional<std::string> DraggedPath(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return std::nullopt;
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    return url.toLocalFile().toStdString();
}

}  // namespace

TForm1::TForm1(const std::string& programDir, const std::string& programPath,
               const std::string& dataDir, QWidget* parent)
    : QMainWindow(parent), app_(*this), dataDir_(dataDir) {
    InitSkeinpressResources();
    OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    setWindowTitle("Skeinpress");
    QApplication::setWindowIcon(QIcon(":/skeinpress/skeinpress.png"));
    setAcceptDrops(true);
    BuildTimers();
    BuildControls();
    BuildMenus();

    // The secondary windows, created after the main window as the program starts.
    AboutBox = new TAboutBox(this);
    Form2 = new TForm2(this);
    Form4 = new TForm4(this);

    app_.Start(programDir, programPath);
    SyncOptionChecks();
    resize(kDefaultClientSize + QSize(0, menuBar()->sizeHint().height()));
    PlaceAt(app_.settings().WindowLeft, app_.settings().WindowTop);
}

TForm1::~TForm1() {
    for (const auto& [id, timer] : timers_) timer->stop();
}

void TForm1::BuildControls() {
    auto* client = new QWidget(this);
    client->setMinimumSize(kDefaultClientSize);
    client->installEventFilter(this);
    setCentralWidget(client);

    Label1 = new QLabel("File Name", client);
    Panel1 = MakePanel(client, Panel1Caption);
    Panel1Caption->setText("Image");
    Image1 = new PictureView(Panel1);
    Image1->setToolTip(kPictureHint);
    Image1->hide();
    Label2 = new QLabel("Image Size:", Panel1);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    colourlbl = new QLabel(Panel1);
    colourlbl->move(144, 112);
    colourlbl->setAutoFillBackground(true);
    colourlbl->hide();

    Panel2 = MakePanel(client, Panel2Caption);
    Panel2Caption->setText("Alpha Channel");
    Image2 = new PictureView(Panel2);
    Image2->setToolTip(kPictureHint);
    Image2->hide();
    Memo1 = new QPlainTextEdit(Panel2);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long message is read whole: wrapped at the pane's edge, within a long
    // path too.
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    bResume = new QPushButton("Resume", client);
    bResume->hide();
    bStop = new QPushButton("Stop Trawl", client);
    bStop->hide();
    LayoutControls();

    connect(bResume, &QPushButton::clicked, this, [this] { app_.trawl().Resume(); });
    connect(bStop, &QPushButton::clicked, this, [this] { app_.trawl().Stop(); });
    connect(Image1, &PictureView::mouseMoved, this, &TForm1::Image1MouseMove);
    connect(Image1, &PictureView::mousePressed, this, &TForm1::Image1MouseDown);
    connect(Image1, &PictureView::contextMenuRequested, this,
            [this](QPoint at) { PopupMenu1->exec(at); });
    connect(Image2, &PictureView::contextMenuRequested, this,
            [this](QPoint at) { PopupMenu2->exec(at); });

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TForm1::CancelColourPick);
    // F10 opens the first menu, as on the other desktop programs.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(File1->menuAction()); });
}

void TForm1::LayoutControls() {
    // What the client area has beyond its default size goes half to each pane;
    // in the alpha pane, half of the extra height to the picture, half to the memo.
    const QSize extra = (ClientArea()->size() - kDefaultClientSize).expandedTo(QSize(0, 0));
    const int leftWider = extra.width() / 2;
    const int rightWider = extra.width() - leftWider;
    const int taller = extra.height();
    const int alphaTaller = taller / 2;
    const int lineHeight = std::max(13, fontMetrics().height());

    Label1->setGeometry(16, 400 + taller, 465 + extra.width(), lineHeight);
    Panel1->setGeometry(16, 8, 346 + leftWider, 377 + taller);
    Panel1Caption->setGeometry(2, 2, Panel1->width() - 4, Panel1->height() - 4);
    Label2->setGeometry(4, 342 + taller, 335 + leftWider, 33);
    Panel2->setGeometry(363 + leftWider, 8, 347 + rightWider, 377 + taller);
    Panel2Caption->setGeometry(2, 2, Panel2->width() - 4, Panel2->height() - 4);
    Memo1->setGeometry(8, 224 + alphaTaller, 329 + rightWider, 145 + taller - alphaTaller);
    bResume->setGeometry(544 + extra.width(), 392 + taller, 75, 25);
    bStop->setGeometry(632 + extra.width(), 392 + taller, 75, 25);
    FitPictures();
}

void TForm1::FitPictures() {
    // The colour box is 330 x 330 and the alpha box 330 x 209 at the default size.
    if (!colourSize_.isEmpty()) {
        const app::FittedSize shown = app::FitIntoBox(colourSize_.width(), colourSize_.height(),
                                                      Panel1->width() - 16, Panel1->height() - 47);
        Image1->setGeometry(8, 8, shown.width, shown.height);
    }
    if (!alphaSize_.isEmpty()) {
        const app::FittedSize shown = app::FitIntoBox(alphaSize_.width(), alphaSize_.height(),
                                                      Panel2->width() - 17, Memo1->y() - 15);
        Image2->setGeometry(8, 8, shown.width, shown.height);
    }
}

void TForm1::PlaceAt(int left, int top) {
    // The stored place is the client area's, so it reads back the same
    // whatever the window manager's decoration. A place on no screen (another
    // monitor set-up) falls back to the default.
    QPoint corner(left, top);
    if (!QGuiApplication::screenAt(corner)) corner = kDefaultPosition;
    setGeometry(QRect(corner, size()));
}

void TForm1::BuildMenus() {
    auto item = [this](QMenu* menu, const char* caption, auto handler) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto option = [this](QMenu* menu, const char* caption, bool app::Settings::*flag) {
        QAction* action = menu->addAction(caption);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, action, flag] { action->setChecked(app_.ToggleOption(flag)); });
        return action;
    };

    File1 = menuBar()->addMenu("&File");
    Open1 = item(File1, "Open", [this] { app_.view().ChooseAndOpen(); });
    Open1->setShortcut(StandardKey(QKeySequence::Open, QKeySequence("Ctrl+O")));
    Open2 = item(File1, "  ", [this] {
        BusyUntilIdle();
        app_.view().ReopenCurrent();
    });
    RecentFiles = File1->addMenu("Open Recent");
    connect(File1, &QMenu::aboutToShow, this, &TForm1::FillRecentFiles);
    Save1 = item(File1, "Save", [this] { app_.view().Save(); });
    Save1->setShortcut(StandardKey(QKeySequence::Save, QKeySequence("Ctrl+S")));
    SaveAs1 = item(File1, "Save As", [this] { app_.view().SaveAs(); });
    SaveAs1->setShortcut(StandardKey(QKeySequence::SaveAs, QKeySequence("Ctrl+Shift+S")));
    Exit1 = item(File1, "Exit", [this] { close(); });
    Exit1->setShortcut(StandardKey(QKeySequence::Quit, QKeySequence("Ctrl+Q")));
    File1->addSeparator();
    MergeAlphaImage1 =
        item(File1, "Merge Alpha Image", [this] { app_.editing().MergeAlphaImage(); });
    MakeNormalMap1 = item(File1, "Make Normal Map", [this] { app_.editing().MakeNormalMap(); });
    File1->addSeparator();
    TrawlFolder1 = item(File1, "Trawl Folder...", [this] { app_.trawl().ChooseFolderAndTrawl(); });
    ViewLog = item(File1, "View Trawl Log", [this] { app_.log().View(); });
    DeleteLog1 = item(File1, "Delete Trawl Log", [this] { app_.DeleteTrawlLog(); });
    FillRecentFiles();

    Options1 = menuBar()->addMenu("&Options");
    ConvertBMPs1 = option(Options1, "Convert BMPs", &app::Settings::DoBMPs);
    ConvertJPGs1 = option(Options1, "Convert JPGs", &app::Settings::DoJPGs);
    ConvertTextures1 = option(Options1, "Convert Textures", &app::Settings::DoTextures);
    Options1->addSeparator();
    CloseonDone1 = option(Options1, "Close on Done", &app::Settings::CloseOnDone);
    OverwriteTGAs1 = option(Options1, "Overwrite TGAs", &app::Settings::OverwriteTGAs);
    FixUniformColour1 = option(Options1, "Fix Uniform Colour", &app::Settings::FixUniformColour);

    SetUp1 = menuBar()->addMenu("&SetUp");
    Editor1 = item(SetUp1, "Editor", [this] { app_.editor().ChooseEditor(); });
    OpenWith1 = item(SetUp1, "OpenWith", [this] { app_.openWith().InstallAgain(); });
    RemoveOpenWith1 = item(SetUp1, "Remove OpenWith", [this] { app_.openWith().Remove(); });

    Help1 = menuBar()->addMenu("&Help");
    Help2 = item(Help1, "Help", [this] { Help2Click(); });
    Help2->setShortcut(StandardKey(QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)));
    About1 = item(Help1, "About", [this] { About1Click(); });

    PopupMenu1 = new QMenu(this);
    DisplayActualSize1 =
        item(PopupMenu1, "Display Actual Size", [this] { DisplayActualSize1Click(); });
    Edit1 = item(PopupMenu1, "Edit", [this] { app_.editor().EditColour(); });
    DisplayTransparent1 = item(PopupMenu1, "Display Transparent", [this] {
        // The application owns the tick; undo Qt's own toggling first.
        DisplayTransparent1->setChecked(app_.view().TransparentView());
        app_.view().ToggleTransparent();
    });
    DisplayTransparent1->setCheckable(true);
    Createalphamask1 = item(PopupMenu1, "Create alpha mask", [this] { Createalphamask1Click(); });
    TransparentBground1 =
        item(PopupMenu1, "Transparent Background", [this] { TransparentBground1Click(); });
    GreyScale1 = item(PopupMenu1, "Grey Scale", [this] { app_.editing().GreyScale(); });
    NonUniformColour1 =
        item(PopupMenu1, "Non Uniform Colour", [this] { app_.editing().BreakUpUniformColour(); });
    NonUniformColour1->setVisible(false);

    PopupMenu2 = new QMenu(this);
    DisplayActualSize2 =
        item(PopupMenu2, "Display Actual Size", [this] { DisplayActualSize2Click(); });
    Edit2 = item(PopupMenu2, "Edit", [this] { app_.editor().EditAlpha(); });
    InvertAlphaColour1 =
        item(PopupMenu2, "Invert Alpha Colour", [this] { app_.editing().InvertAlpha(); });
    RemoveAlphaChannel1 =
        item(PopupMenu2, "Remove Alpha Channel", [this] { app_.editing().RemoveAlpha(); });
}

void TForm1::FillRecentFiles() {
    RecentFiles->clear();
    const std::vector<std::string>& recent = app_.settings().RecentFiles;
    for (size_t i = 0; i < recent.size(); ++i) {
        const std::string path = recent[i];
        QAction* action =
            RecentFiles->addAction(QString("&%1  %2").arg(i + 1).arg(Q(path).replace('&', "&&")));
        connect(action, &QAction::triggered, this, [this, path] {
            BusyUntilIdle();
            app_.view().OpenFile(path);
        });
    }
    RecentFiles->setEnabled(!recent.empty());
}

void TForm1::BuildTimers() {
    for (const app::TimerId id : app::kTimers) {
        auto* timer = new QTimer(this);
        // The editor watchers poll until stopped; every other timer acts once per arming.
        timer->setSingleShot(!app::TimerRepeats(id));
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] {
            // Opening the file named on the command line takes a moment.
            if (id == app::TimerId::OpenDelayed) BusyUntilIdle();
            app_.TimerFired(id);
        });
        timers_[id] = timer;
    }
}

void TForm1::SyncOptionChecks() {
    const app::Settings& s = app_.settings();
    ConvertBMPs1->setChecked(s.DoBMPs);
    ConvertJPGs1->setChecked(s.DoJPGs);
    ConvertTextures1->setChecked(s.DoTextures);
    CloseonDone1->setChecked(s.CloseOnDone);
    OverwriteTGAs1->setChecked(s.OverwriteTGAs);
    FixUniformColour1->setChecked(s.FixUniformColour);
}

void TForm1::FormActivate() {
    auto T = [this](const char* key) { return Q(app_.T(key)); };
    File1->setTitle(WithMnemonic(T("menu File")));
    Open1->setText(T("menu Open"));
    SaveAs1->setText(T("menu SaveAs"));
    Exit1->setText(T("menu Exit"));
    ViewLog->setText(T("menu ViewLog"));
    DeleteLog1->setText(T("menu DeleteLog"));
    Options1->setTitle(WithMnemonic(T("menu Options")));
    ConvertBMPs1->setText(T("menu ConvertBMP"));
    ConvertJPGs1->setText(T("menu ConvertJPG"));
    ConvertTextures1->setText(T("menu ConvertTex"));
    CloseonDone1->setText(T("menu CloseOnDone"));
    OverwriteTGAs1->setText(T("menu OverwriteTGA"));
    FixUniformColour1->setText(T("menu Uniform"));
    SetUp1->setTitle(WithMnemonic(T("menu Setup")));
    Editor1->setText(T("menu Editor"));
    OpenWith1->setText(T("menu OpenWith"));
    RemoveOpenWith1->setText(T("menu RemoveOpenWith"));
    Help1->setTitle(WithMnemonic(T("menu Help")));
    Help2->setText(Help1->title());
    About1->setText(T("menu About"));
    // Activation follows every dialog and every return from another program:
    // the lines describing a loaded image stay.
    if (!app_.view().Store().ImageLoaded) {
        Label1->setText(T("label FileName"));
        Label2->setText(T("label Size"));
    }
    Panel1Caption->setText(T("label Image"));
    Panel2Caption->setText(T("label Alpha"));
    bResume->setText(T("button Resume"));
    bStop->setText(T("button Stop"));
    DisplayActualSize1->setText(T("popup1 ActSize"));
    Edit1->setText(T("popup1 Edit"));
    DisplayTransparent1->setText(T("popup1 Transparent"));
    Createalphamask1->setText(T("popup1 Mask"));
    TransparentBground1->setText(T("popup1 BGround"));
    NonUniformColour1->setText(T("popup1 colour"));
    GreyScale1->setText(T("popup1 Grey"));
    DisplayActualSize2->setText(T("popup2 ActSize"));
    Edit2->setText(T("popup2 Edit"));
    RemoveAlphaChannel1->setText(T("popup2 Remove"));
    InvertAlphaColour1->setText(T("popup2 Invert"));
}

// ---- Window events

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) LayoutControls();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormActivate();
    // Run the command line once the window is on screen: its jobs block for a
    // moment and fill the panes.
    // The command line may change the options: show them as they now are.
    QTimer::singleShot(0, this, [this] {
        app_.RunCommandLine(commandLine_);
        SyncOptionChecks();
    });
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (!app_.MayClose()) {
        event->ignore();
        return;
    }
    closed_ = true;
    for (const auto& [id, timer] : timers_) timer->stop();
    // Where the client area is, as the next start places it (an enlarged
    // window: where it returns to).
    const QPoint corner = normalGeometry().topLeft();
    app_.settings().WindowLeft = corner.x();
    app_.settings().WindowTop = corner.y();
    app_.Close();
    event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (DraggedPath(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const auto path = DraggedPath(event->mimeData());
    if (!path) return;
    event->acceptProposedAction();
    // The drop's own event ends first: a question or a load must not hold the
    // other program's drag.
    QTimer::singleShot(0, this, [this, path = *path] {
        BusyUntilIdle();
        app_.OpenDropped(path);
    });
}

// ---- Commands with the window's own dialogs

void TForm1::DisplayActualSize1Click() {
    ShowActualSize(false);
}

void TForm1::DisplayActualSize2Click() {
    ShowActualSize(true);
}

void TForm1::ShowActualSize(bool alpha) {
    if (!app_.view().ChooseActualSize(alpha)) return;
    Form2->Prepare(app_.view());
    Form2->exec();
}

void TForm1::Createalphamask1Click() {
    app_.pick().AskTolerance();
    // Just above the main window, left edges aligned.
    Form4->adjustSize();
    const QRect main = frameGeometry();
    const int frameExtra = Form4->frameGeometry().height() - Form4->height();
    Form4->move(main.left(), std::max(0, main.top() - Form4->height() - std::max(0, frameExtra)));
    Form4->exec();
    if (!Form4->ToleranceAccepted) {
        app_.pick().End();
        return;
    }
    app_.pick().Begin(Form4->ToleranceValue);
    Image1->setCursor(Qt::CrossCursor);
}

void TForm1::CancelColourPick() {
    if (!app_.pick().AwaitingColour()) return;
    app_.pick().End();
    colourlbl->hide();
    Image1->unsetCursor();
}

void TForm1::TransparentBground1Click() {
    const uint32_t current = app_.settings().BGroundColour;
    const QColor initial(current & 0xFF, (current >> 8) & 0xFF, (current >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, this);
    if (!chosen.isValid()) return;
    app_.view().SetBackground(static_cast<uint32_t>(chosen.red()) |
                              (static_cast<uint32_t>(chosen.green()) << 8) |
                              (static_cast<uint32_t>(chosen.blue()) << 16));
}

void TForm1::About1Click() {
    app_.pick().End();
    AboutBox->SetParagraphs({app_.T("about Comments"), app_.T("about Copyright"),
                             app_.T("about Liability"), app_.T("about License1"),
                             app_.T("about License2"), app_.T("about Trademark")});
    AboutBox->adjustSize();
    const QRect main = frameGeometry();
    AboutBox->move(main.left() + (main.width() - AboutBox->width()) / 2,
                   main.top() + (main.height() - AboutBox->height()) / 2);
    AboutBox->exec();
}

void TForm1::Help2Click() {
    app_.ShowHelp(dataDir_);
}

// ---- Colour pick on the colour picture

bool TForm1::PixelUnder(QPoint position, int& px, int& py) const {
    if (colourSize_.isEmpty() || Image1->width() <= 0 || Image1->height() <= 0) return false;
    px = static_cast<int>(static_cast<int64_t>(colourSize_.width()) * position.x() /
                          Image1->width());
    py = static_cast<int>(static_cast<int64_t>(colourSize_.height()) * position.y() /
                          Image1->height());
    return px >= 0 && py >= 0 && px < colourSize_.width() && py < colourSize_.height();
}

void TForm1::Image1MouseMove(QPoint position) {
    if (!app_.pick().AwaitingColour()) {
        Image1->unsetCursor();
        return;
    }
    Image1->setCursor(Qt::CrossCursor);
    colourlbl->hide();
    int px = 0, py = 0;
    uint8_t red = 0, green = 0, blue = 0;
    // The image's own colour: in the transparent view the picture shows a blend.
    if (!PixelUnder(position, px, py) || !app_.view().ColourAt(px, py, red, green, blue)) return;
    const int x = position.x(), y = position.y();
    const bool inside = y > 16 && y < Image1->height() - 10 && x > 20 && x < Image1->width() - 10;
    colourlbl->setText(QString("R %1, G %2, B %3").arg(red).arg(green).arg(blue));
    colourlbl->adjustSize();
    const int left = x < Image1->width() - colourlbl->width() ? x + 25 : x - 65;
    colourlbl->move(left, y - 20);
    if (inside) {
        colourlbl->show();
        colourlbl->raise();
    }
}

void TForm1::Image1MouseDown(QPoint position, Qt::MouseButton button) {
    colourlbl->hide();
    if (!app_.pick().AwaitingColour() || button != Qt::LeftButton) return;
    int px = 0, py = 0;
    uint8_t red = 0, green = 0, blue = 0;
    if (!PixelUnder(position, px, py) || !app_.view().ColourAt(px, py, red, green, blue)) return;
    Image1->unsetCursor();
    app_.editing().ApplyPickedColour(red, green, blue);
}

// ---- Host

void TForm1::AddMemoLine(const std::string& line) {
    memoLines_.push_back(line);
    Memo1->appendPlainText(Q(line));
}

int TForm1::MemoLineCount() const {
    return static_cast<int>(memoLines_.size());
}

std::vector<std::string> TForm1::MemoLines() {
    return memoLines_;
}

void TForm1::ClearMemo() {
    memoLines_.clear();
    Memo1->clear();
}

void TForm1::SetFileNameLabel(const std::string& text) {
    Label1->setText(Q(text));
}
void TForm1::SetSizeLabel(const std::string& text) {
    Label2->setText(Q(text));
}
void TForm1::SetRecentFileCaption(const std::string& text) {
    Open2->setText(Q(text).replace('&', "&&"));
}
void TForm1::SetTitle(const std::string& text) {
    setWindowTitle(Q(text));
}
void TForm1::Beep() {
    QApplication::beep();
}

void TForm1::ClearPictures() {
    Image1->clear();
    Image2->clear();
    colourSize_ = alphaSize_ = QSize();
}

// The panes hold a reduction of a big picture that is still as large as the
// screen, so a later enlargement of the window needs no new one.
void TForm1::ShowColourPicture(const core::Bitmap& bitmap, int, int) {
    colourSize_ = QSize(bitmap.Width(), bitmap.Height());
    Image1->setPicture(ReducedImage(bitmap, screen()->availableGeometry().size()));
    FitPictures();
    Image1->show();
}

void TForm1::ShowAlphaPicture(const core::Bitmap& bitmap, int, int) {
    alphaSize_ = QSize(bitmap.Width(), bitmap.Height());
    Image2->setPicture(ReducedImage(bitmap, screen()->availableGeometry().size()));
    FitPictures();
    Image2->show();
}

void TForm1::SetTransparentChecked(bool checked) {
    DisplayTransparent1->setChecked(checked);
}
void TForm1::SetNonUniformColourVisible(bool visible) {
    NonUniformColour1->setVisible(visible);
}

void TForm1::ShowTrawlButtons() {
    bResume->show();
    bStop->show();
}

void TForm1::EnableTrawlButtons(bool resume, bool stop) {
    bResume->setEnabled(resume);
    bStop->setEnabled(stop);
}

void TForm1::ShowBox(int icon, const std::string& text) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), windowTitle(), Q(text), QMessageBox::Ok,
                    this);
    box.exec();
}

void TForm1::ShowMessage(const std::string& text) {
    ShowBox(QMessageBox::Information, text);
}

void TForm1::ShowError(const std::string& text) {
    ShowBox(QMessageBox::Warning, text);
}

app::Answer TForm1::Confirm(const std::string& text, app::Buttons buttons) {
    QMessageBox box(QMessageBox::Question, windowTitle(), Q(text),
                    QMessageBox::Yes | QMessageBox::No, this);
    if (buttons == app::Buttons::YesNoCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setEscapeButton(QMessageBox::No);
    }
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return app::Answer::Yes;
        case QMessageBox::No:
            return app::Answer::No;
        default:
            return buttons == app::Buttons::YesNoCancel ? app::Answer::Cancel : app::Answer::No;
    }
}

std::optional<std::string> TForm1::PickFolder(const std::string& caption,
                                              const std::string& proposedFolder) {
    // A title shows one line: the rest of the caption goes into the dialog.
    const QStringList lines = Q(caption).split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts);
    QFileDialog dialog(this, lines.value(0), Q(proposedFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (lines.size() > 1) {
        auto* note = new QLabel(lines.mid(1).join('\n'), &dialog);
        note->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> TForm1::PickOpenFile(const std::string& title, const std::string& filter,
                                                int filterIndex, const std::string& initialFolder) {
    QFileDialog dialog(this, Q(title), Q(initialFolder));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = ToQtFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    BusyUntilIdle();
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> TForm1::PickSaveFile(const std::string& filter,
                                                const std::string& proposedName) {
    const QString chosen = QFileDialog::getSaveFileName(this, QString(), Q(proposedName),
                                                        ToQtFilters(filter).join(";;"));
    if (chosen.isEmpty()) return std::nullopt;
    BusyUntilIdle();
    return chosen.toStdString();
}

void TForm1::BusyUntilIdle() {
    if (busy_) return;
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, this, [this] {
        QApplication::restoreOverrideCursor();
        busy_ = false;
    });
}

void TForm1::StartTimer(app::TimerId id, int intervalMs) {
    timers_.at(id)->start(std::max(0, intervalMs));
}

void TForm1::StopTimer(app::TimerId id) {
    timers_.at(id)->stop();
}

bool TForm1::TimerActive(app::TimerId id) const {
    return timers_.at(id)->isActive();
}

void TForm1::Sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(std::max(0, milliseconds)));
}

void TForm1::OpenDocument(const std::string& path) {
    if (!OpenUrl(QUrl::fromLocalFile(Q(path))))
        ShowError("Could not open \"" + path + "\": no program to show it was found.");
}

bool TForm1::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    QStringList arguments;
    for (const auto& arg : args) arguments << Q(arg);
    return QProcess::startDetached(Q(program), arguments);
}

void TForm1::RequestClose() {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

}  // namespace ui
