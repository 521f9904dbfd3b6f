#include "ui/picture/picture_view.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace ui {
namespace {

// The scroll area whose viewport holds `view`, if any.
QAbstractScrollArea* ScrollAreaOf(QWidget* view) {
    QWidget* viewport = view->parentWidget();
    return viewport ? qobject_cast<QAbstractScrollArea*>(viewport->parentWidget()) : nullptr;
}

}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    // Focus lets the Menu key open the picture's menu.
    setFocusPolicy(Qt::StrongFocus);
}

void PictureView::setPicture(QImage picture) {
    picture_ = std::move(picture);
    scaled_ = QImage();
    unpainted_ = !picture_.isNull();
    update();
}

void PictureView::clear() {
    setPicture(QImage());
}

void PictureView::paintEvent(QPaintEvent* event) {
    if (picture_.isNull() || width() <= 0 || height() <= 0) return;
    QPainter painter(this);
    if (width() >= picture_.width() && height() >= picture_.height()) {
        // Enlarged (zoomed in, perhaps far): only the part exposed, pixel for pixel.
        const QRect exposed = event->rect();
        const double sx = static_cast<double>(picture_.width()) / width();
        const double sy = static_cast<double>(picture_.height()) / height();
        painter.drawImage(QRectF(exposed), picture_,
                          QRectF(exposed.x() * sx, exposed.y() * sy, exposed.width() * sx,
                                 exposed.height() * sy));
        noteFirstPaint();
        return;
    }
    if (scaled_.size() != size())
        scaled_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QPoint(0, 0), scaled_);
    noteFirstPaint();
}

void PictureView::noteFirstPaint() {
    if (!unpainted_) return;
    unpainted_ = false;
    emit firstPainted();
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().toPoint());
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        if (QAbstractScrollArea* area = ScrollAreaOf(this)) {
            const QPoint moved = event->globalPosition().toPoint() - dragFrom_;
            area->horizontalScrollBar()->setValue(scrolledFrom_.x() - moved.x());
            area->verticalScrollBar()->setValue(scrolledFrom_.y() - moved.y());
        }
    }
    QWidget::mouseMoveEvent(event);
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->position().toPoint(), event->button());
    QAbstractScrollArea* area = ScrollAreaOf(this);
    dragging_ =
        event->button() == Qt::LeftButton && area &&
        (area->horizontalScrollBar()->maximum() > 0 || area->verticalScrollBar()->maximum() > 0);
    if (dragging_) {
        dragFrom_ = event->globalPosition().toPoint();
        scrolledFrom_ = {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
    }
    QWidget::mousePressEvent(event);
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void PictureView::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

void PictureView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();  // the scroll area scrolls
        return;
    }
    // A mouse turns 120 per notch; a touchpad sends smaller parts of one.
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    wheelAngle_ -= steps * 120;
    if (steps != 0) emit zoomRequested(steps);
    event->accept();
}

}  // namespace ui
