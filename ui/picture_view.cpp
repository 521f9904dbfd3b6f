#include "ui/picture_label.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace ui {

PictureLabel::PictureLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setScaledContents(true);
}

void PictureLabel::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().toPoint());
    QLabel::mouseMoveEvent(event);
}

void PictureLabel::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->position().toPoint(), event->button());
    QLabel::mousePressEvent(event);
}

void PictureLabel::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

}  // namespace ui
