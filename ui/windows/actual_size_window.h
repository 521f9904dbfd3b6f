// The actual-size window: the colour picture or the alpha channel pixel for
// pixel, zoomed, shown modally beside the main window.
#pragma once

#include <QDialog>
#include <QImage>
#include <QKeySequence>
#include <QList>
#include <functional>

class QLabel;
class QScrollArea;
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
class ActualSizeWindow : public QDialog {
    Q_OBJECT
public:
    explicit ActualSizeWindow(QWidget* parent = nullptr);
    // Sizes, places and fills the window from the open image (the window's
    // show step); exec() afterwards shows it.
    void prepare(app::ImageView& view);

    double zoom() const { return canvas->zoom(); }
    // Zooms to `zoom` (kept within the steps' range); `anchor`, a point of the
    // scrolled view, keeps showing the same picture pixel.
    void setZoom(double zoom, QPoint anchor = QPoint(-1, -1));
    void zoomIn(QPoint anchor = QPoint(-1, -1));
    void zoomOut(QPoint anchor = QPoint(-1, -1));
    void fitToWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    // Sizes the window for the picture at its zoom, within the screen: centred
    // on it when opening, else only larger, kept on the screen.
    void sizeToPicture(bool centred);
    QToolButton* addZoomButton(const QString& text, const QString& tip,
                               const QList<QKeySequence>& keys,
                               std::function<void(ActualSizeWindow&)> handler);

    ZoomCanvas* canvas = nullptr;
    QScrollArea* scrollArea = nullptr;
    QLabel* zoomLabel = nullptr;
};

}  // namespace ui
