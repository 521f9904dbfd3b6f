// The main window: the colour picture, the alpha channel, the message log, the
// menus. It turns Qt events into calls on the application; its WindowHost turns
// the application's calls back into widget changes. It decides nothing itself.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "ui/windows/window_host.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QThread;
class QTimer;
class QToolBar;

namespace ui {

class AboutBox;
class ActualSizeWindow;
class PictureView;
class ToleranceDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The client area's size when the window is not enlarged.
    static constexpr QSize kDefaultClientSize{725, 420};

    // `programDir` ends with a separator; `dataDir` is the installed data folder
    // (with a trailing separator, or empty).
    MainWindow(const std::string& programDir, const std::string& programPath,
               const std::string& dataDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The place for a window of `frame` (decoration included) wanted at its
    // top-left corner, moved so that it lies wholly inside the available area
    // of the screen it overlaps most (the first one when it overlaps none). A
    // window larger than that area keeps its title bar's top-left corner on it.
    static QPoint KeptOnScreen(const QRect& frame, const QList<QRect>& available);

    app::Application& application() { return app_; }
    WindowHost& host() { return host_; }
    // The arguments after the program name, run at the first showing.
    void setCommandLine(std::vector<std::string> args) { commandLine_ = std::move(args); }
    // Files opened from the menu, the command line, a drop or the next/previous
    // keys are read on a thread of their own while the window stays live
    // (the tests keep the reads in step with their calls).
    void readInBackground();
    // The desktop asks the program to end (a log-out): no question, the
    // settings are written and the event loop ends with `status`.
    void endNow(int status);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void reopenCurrent();
    void showColourActualSize();
    void showAlphaActualSize();
    void toggleTransparentView();
    void createAlphaMask();
    void cancelColourPick();
    void chooseBackgroundColour();
    void help();
    void about();
    void trackPickedColour(QPoint position);
    void pickColour(QPoint position, Qt::MouseButton button);

private:
    // The adapter draws into the widgets below; nothing else outside reaches them.
    friend class WindowHost;

    void createWidgets();
    // Every menu, its actions and their handlers, listed once.
    void createActions();
    // Puts the language file's captions on every keyed item (each activation).
    // The file name and size lines keep describing a loaded image.
    void retranslate();
    // The language file's text for `key`; for an item newer than the file's
    // keys, its English caption when the file lacks it.
    QString translated(const char* key) const;
    void updateOptionChecks();
    void fillRecentFiles();
    // Places every widget for the client area's size: the panes share what
    // the window has beyond its default size, the pictures fit their boxes.
    void layOutWidgets();
    void fitPictures();
    void setPicture(PictureView* view, QSize& fullSize, const core::Bitmap& bitmap);
    void clearPictures();
    // Puts the client area at the stored position, on a screen.
    void placeAt(int left, int top);
    // The image pixel under a point of the colour picture, or false when there is none.
    bool pixelUnder(QPoint position, int& px, int& py) const;
    // A busy cursor until the program is idle again (a load or save is coming).
    void busyUntilIdle();
    void showActualSize(bool alpha);
    // Zoom: 0 fits the picture into its pane, else the shown size over the
    // image's own size. Both panes follow it.
    void setZoom(double zoom);
    void zoomBy(int steps);
    double fittedZoom() const;
    void copyPicture();
    // Next (1) or previous (-1) file of the current one's folder.
    void openNeighbour(int step);
    void showDetails();
    void updateStatus();
    void setFileNameText(const QString& text);
    void elideFileName();
    // Gives every item of the window's menus a mnemonic not yet taken in its menu.
    void assignMnemonics();
    // The window's place, client size and maximised state into the settings.
    void noteGeometry();
    // The client area's size as stored, at least its default.
    QSize clientSize() const;
    // Writes the settings when they differ from those last written.
    void saveChangedSettings();

    WindowHost host_;
    app::Application app_;
    std::string dataDir_;
    std::vector<std::string> commandLine_;
    bool shown_ = false;
    bool closed_ = false;
    bool busy_ = false;
    bool placed_ = false;  // the first showing has sized the window
    app::Settings savedSettings_;
    QTimer* settingsTimer_ = nullptr;
    QThread* readThread_ = nullptr;  // readInBackground's, with its receiver
    QObject* reader_ = nullptr;
    QSize colourSize_, alphaSize_;  // the full pictures' sizes (the panes hold reductions)
    double zoom_ = 0;
    std::string shownFile_;  // the file the pictures show
    QString fileNameText_;   // the file name line unelided
    QPoint dragStart_;       // where a drag that pans the picture began
    QPoint dragScroll_;

    QLabel* fileNameLabel = nullptr;
    QFrame* colourPane = nullptr;
    QLabel* colourPaneCaption = nullptr;
    QScrollArea* colourScroll = nullptr;
    PictureView* colourPicture = nullptr;
    QLabel* sizeLabel = nullptr;
    QLabel* pickedColourLabel = nullptr;
    QFrame* alphaPane = nullptr;
    QLabel* alphaPaneCaption = nullptr;
    QScrollArea* alphaScroll = nullptr;
    PictureView* alphaPicture = nullptr;
    QPlainTextEdit* messageLog = nullptr;
    QPushButton* resumeButton = nullptr;
    QPushButton* stopButton = nullptr;

    QMenu* fileMenu = nullptr;
    QMenu* recentFilesMenu = nullptr;
    QMenu* optionsMenu = nullptr;
    QMenu* setUpMenu = nullptr;
    QMenu* imageMenu = nullptr;
    QMenu* alphaChannelMenu = nullptr;
    QMenu* helpMenu = nullptr;
    QToolBar* toolBar = nullptr;
    QLabel* statusSize = nullptr;
    QLabel* statusFormat = nullptr;
    QLabel* statusZoom = nullptr;
    QMenu* colourMenu = nullptr;      // the colour picture's right click
    QMenu* alphaMenu = nullptr;       // the alpha picture's right click
    QAction* reopenAction = nullptr;  // captioned with the current file
    QAction* helpAction = nullptr;
    QAction* transparentViewAction = nullptr;
    QAction* nonUniformColourAction = nullptr;
    QAction* fullScreenAction = nullptr;
    std::vector<std::pair<QAction*, bool app::Settings::*>> optionActions_;
    // The items whose captions the language file gives, with their keys.
    std::vector<std::pair<QAction*, const char*>> actionCaptions_;
    std::vector<std::pair<QMenu*, const char*>> menuCaptions_;
    std::vector<std::pair<QAction*, const char*>> iconCaptions_;  // the toolbar's short ones

    AboutBox* aboutBox = nullptr;
    ActualSizeWindow* actualSizeWindow = nullptr;
    ToleranceDialog* toleranceDialog = nullptr;
};

}  // namespace ui
