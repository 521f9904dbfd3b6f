#include "ui/picture_view.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void PictureView::setPicture(QImage picture) {
    picture_ = std::move(picture);
    scaled_ = QImage();
    update();
}

void PictureView::clear() {
    setPicture(QImage());
}

void PictureView::paintEvent(QPaintEvent*) {
    if (picture_.isNull() || width() <= 0 || height() <= 0) return;
    QPainter painter(this);
    if (width() >= picture_.width() && height() >= picture_.height()) {
        painter.drawImage(rect(), picture_);
        return;
    }
    if (scaled_.size() != size())
        scaled_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QPoint(0, 0), scaled_);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->position().toPoint(), event->button());
    QWidget::mousePressEvent(event);
}

void PictureView::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

}  // namespace ui
