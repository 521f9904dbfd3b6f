// An image control that reports mouse moves, presses and right clicks to its
// window, which forwards them to the application.
#pragma once

#include <QLabel>
#include <QPoint>

namespace ui {

class PictureLabel : public QLabel {
    Q_OBJECT
public:
    explicit PictureLabel(QWidget* parent = nullptr);

signals:
    void mouseMoved(QPoint position);
    void mousePressed(QPoint position, Qt::MouseButton button);
    void contextMenuRequested(QPoint globalPosition);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace ui
