// An image control: draws its picture stretched to its own size (smoothly when
// the picture is reduced, pixel for pixel when it is enlarged, so a texture's
// pixels stay sharp) and reports mouse moves, presses and right clicks to its
// window, which forwards them to the application. Inside a scroll area a
// left-button drag pans it.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace ui {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);
    void setPicture(QImage picture);
    void clear();
    const QImage& picture() const { return picture_; }

signals:
    void mouseMoved(QPoint position);
    void mousePressed(QPoint position, Qt::MouseButton button);
    void contextMenuRequested(QPoint globalPosition);
    // Ctrl+wheel: whole steps in (positive) or out.
    void zoomRequested(int steps);
    // The picture last set has been painted for the first time.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void noteFirstPaint();

    QImage picture_;
    QImage scaled_;       // the picture reduced to the current size, made once per size
    int wheelAngle_ = 0;  // of Ctrl+wheel turns not yet a whole step
    // A left-button drag pans the scroll area around the picture: where it began.
    QPoint dragFrom_, scrolledFrom_;
    bool dragging_ = false;
    bool unpainted_ = false;  // the picture set has not been painted yet
};

}  // namespace ui
