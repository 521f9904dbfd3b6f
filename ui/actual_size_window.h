// The three small windows beside the main window: the actual-size view, the
// colour-tolerance dialog and the about box. All are shown modally.
#pragma once

#include <QDialog>
#include <QImage>
#include <QKeySequence>
#include <QList>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QScrollArea;
class QSpinBox;
class QPushButton;
class QToolButton;

namespace app {
class ImageView;
}

namespace ui {

// The picture of the actual-size window at a zoom: pixel for pixel (without
// smoothing, so single pixels can be inspected) from 100 % upward, smoothly
// reduced below it, with a margin of 8 pixels around it.
class ZoomCanvas : public QWidget {
    Q_OBJECT
public:
    explicit ZoomCanvas(QWidget* parent = nullptr);
    void setPicture(QImage picture);
    const QImage& picture() const { return picture_; }
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    QSize sizeHint() const override;
    static constexpr int kMargin = 8;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QImage reduced_;  // the picture at a zoom below 100 %, made once per zoom
    double zoom_ = 1.0;
};

// Shows the colour picture or the alpha channel pixel for pixel, and zooms
// (+, -, 0 for 100 %, F to fit the window, Ctrl with the mouse wheel). The
// window fits on the screen; a larger picture scrolls.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // Sizes, places and fills the window from the open image (the window's
    // show step); exec() afterwards shows it.
    void Prepare(app::ImageView& view);

    double Zoom() const { return Image1->zoom(); }
    // Zooms to `zoom` (kept within the steps' range); `anchor`, a point of the
    // scrolled view, keeps showing the same picture pixel.
    void SetZoom(double zoom, QPoint anchor = QPoint(-1, -1));
    void ZoomIn(QPoint anchor = QPoint(-1, -1));
    void ZoomOut(QPoint anchor = QPoint(-1, -1));
    void FitToWindow();

    ZoomCanvas* Image1 = nullptr;
    QScrollArea* Scroll = nullptr;
    QLabel* ZoomLabel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    // Sizes the window for the picture at its zoom, within the screen: centred
    // on it when opening, else only larger, kept on the screen.
    void SizeToPicture(bool centred);
    QToolButton* AddZoomButton(const QString& text, const QString& tip,
                               const QList<QKeySequence>& keys,
                               std::function<void(TForm2&)> handler);
};

// Asks for the tolerance of a colour pick. The spin box keeps its last value.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    int ToleranceValue = 10;
    bool ToleranceAccepted = false;
    QSpinBox* SpinEdit1 = nullptr;
    QPushButton* Button1 = nullptr;  // Accept
    QPushButton* Button2 = nullptr;  // Cancel

protected:
    void showEvent(QShowEvent* event) override;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    // Comments, Copyright, Liability, License1, License2, Trademark.
    void SetParagraphs(const std::array<std::string, 6>& texts);
    std::array<QLabel*, 6> Paragraphs{};
};

}  // namespace ui
