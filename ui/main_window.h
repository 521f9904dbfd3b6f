// The main window: the colour picture, the alpha channel, the message memo, the
// menus and the timers. It turns Qt events into calls on the application and
// the application's Host calls into widget changes; it decides nothing itself.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QSize>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/host.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QUrl;

namespace ui {

class PictureView;
class TAboutBox;
class TForm2;
class TForm4;

class TForm1 : public QMainWindow, public app::Host {
    Q_OBJECT
public:
    // The client area's size when the window is not enlarged.
    static constexpr QSize kDefaultClientSize{725, 420};

    // `programDir` ends with a separator; `dataDir` is the installed data folder
    // (with a trailing separator, or empty).
    TForm1(const std::string& programDir, const std::string& programPath,
           const std::string& dataDir, QWidget* parent = nullptr);
    ~TForm1() override;

    app::Application& application() { return app_; }
    // The arguments after the program name, run at the first showing.
    void SetCommandLine(std::vector<std::string> args) { commandLine_ = std::move(args); }
    // Puts the translated captions on every keyed item (each activation). The
    // file name and size lines keep describing a loaded image.
    void FormActivate();
    // The client area (below the menu bar) that holds the panes.
    QWidget* ClientArea() const { return centralWidget(); }
    // Opens a document with the desktop's viewer; false when none could.
    std::function<bool(const QUrl&)> OpenUrl;

    // ---- Host
    void AddMemoLine(const std::string& line) override;
    int MemoLineCount() const override;
    std::vector<std::string> MemoLines() override;
    void ClearMemo() override;
    void SetFileNameLabel(const std::string& text) override;
    void SetSizeLabel(const std::string& text) override;
    void SetRecentFileCaption(const std::string& text) override;
    void SetTitle(const std::string& text) override;
    void Beep() override;
    void ClearPictures() override;
    void ShowColourPicture(const core::Bitmap& bitmap, int shownWidth, int shownHeight) override;
    void ShowAlphaPicture(const core::Bitmap& bitmap, int shownWidth, int shownHeight) override;
    void SetTransparentChecked(bool checked) override;
    void SetNonUniformColourVisible(bool visible) override;
    void ShowTrawlButtons() override;
    void EnableTrawlButtons(bool resume, bool stop) override;
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    app::Answer Confirm(const std::string& text, app::Buttons buttons) override;
    // The caption's first line is the title; the rest is shown in the dialog.
    std::optional<std::string> PickFolder(const std::string& caption,
                                          const std::string& proposedFolder) override;
    std::optional<std::string> PickOpenFile(const std::string& title, const std::string& filter,
                                            int filterIndex,
                                            const std::string& initialFolder) override;
    std::optional<std::string> PickSaveFile(const std::string& filter,
                                            const std::string& proposedName) override;
    void StartTimer(app::TimerId id, int intervalMs) override;
    void StopTimer(app::TimerId id) override;
    bool TimerActive(app::TimerId id) const override;
    void Sleep(int milliseconds) override;
    void OpenDocument(const std::string& path) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;
    void RequestClose() override;

    // ---- Controls (named as the window's design names them)
    QLabel* Label1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Panel1Caption = nullptr;
    PictureView* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* colourlbl = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Panel2Caption = nullptr;
    PictureView* Image2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* bResume = nullptr;
    QPushButton* bStop = nullptr;

    QMenu* File1 = nullptr;
    QAction *Open1 = nullptr, *Open2 = nullptr, *Save1 = nullptr, *SaveAs1 = nullptr,
            *Exit1 = nullptr;
    QMenu* RecentFiles = nullptr;  // the last files opened
    QAction* TrawlFolder1 = nullptr;
    QAction *MergeAlphaImage1 = nullptr, *MakeNormalMap1 = nullptr, *ViewLog = nullptr,
            *DeleteLog1 = nullptr;
    QMenu* Options1 = nullptr;
    QAction *ConvertBMPs1 = nullptr, *ConvertJPGs1 = nullptr, *ConvertTextures1 = nullptr;
    QAction *CloseonDone1 = nullptr, *OverwriteTGAs1 = nullptr, *FixUniformColour1 = nullptr;
    QMenu* SetUp1 = nullptr;
    QAction *Editor1 = nullptr, *OpenWith1 = nullptr, *RemoveOpenWith1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction *Help2 = nullptr, *About1 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction *DisplayActualSize1 = nullptr, *Edit1 = nullptr, *DisplayTransparent1 = nullptr;
    QAction *Createalphamask1 = nullptr, *TransparentBground1 = nullptr, *GreyScale1 = nullptr;
    QAction* NonUniformColour1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction *DisplayActualSize2 = nullptr, *Edit2 = nullptr, *InvertAlphaColour1 = nullptr;
    QAction* RemoveAlphaChannel1 = nullptr;

    TAboutBox* AboutBox = nullptr;
    TForm2* Form2 = nullptr;
    TForm4* Form4 = nullptr;

    // ---- Commands handled by the window itself (dialogs it owns)
    void Createalphamask1Click();
    void TransparentBground1Click();
    void DisplayActualSize1Click();
    void DisplayActualSize2Click();
    void About1Click();
    void Help2Click();
    void Image1MouseMove(QPoint position);
    void Image1MouseDown(QPoint position, Qt::MouseButton button);
    // Escape while a colour pick is awaited.
    void CancelColourPick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildTimers();
    void SyncOptionChecks();
    void FillRecentFiles();
    // Places every control for the client area's size: the panes share what
    // the window has beyond its default size, the pictures fit their boxes.
    void LayoutControls();
    void FitPictures();
    // Puts the client area at the stored position, on a screen.
    void PlaceAt(int left, int top);
    // The image pixel under a point of Image1, or false when there is none.
    bool PixelUnder(QPoint position, int& px, int& py) const;
    // A busy cursor until the program is idle again (a load or save is coming).
    void BusyUntilIdle();
    void ShowBox(int icon, const std::string& text);
    void ShowActualSize(bool alpha);

    app::Application app_;
    std::string dataDir_;
    std::vector<std::string> commandLine_;
    bool shown_ = false;
    bool closed_ = false;
    bool busy_ = false;
    std::vector<std::string> memoLines_;
    std::map<app::TimerId, QTimer*> timers_;
    QSize colourSize_, alphaSize_;  // the full pictures' sizes (the panes hold reductions)
};

}  // namespace ui
