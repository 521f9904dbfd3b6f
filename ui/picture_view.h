// An image control: draws its picture stretched to its own size (smoothly when
// the picture is reduced, pixel for pixel when it is enlarged, so a texture's
// pixels stay sharp) and reports mouse moves, presses and right clicks to its
// window, which forwards them to the application.
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage picture_;
    QImage scaled_;  // the picture reduced to the current size, made once per size
};

}  // namespace ui
