#include "ui/windows/actual_size_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/view/image_view.h"
#include "ui/picture/picture_convert.h"

namespace ui {

namespace {

// The zoom steps of +, - and the wheel: halving below 100 %, finer above it.
constexpr std::array<double, 12> kZoomSteps{1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1,  2,
                                            3,        4,       6,       8,       12, 16};

// The decoration a window manager puts around the main window, for placing a
// window that has not been shown yet (none known: no decoration).
QMargins FrameMargins(const QWidget* window) {
    if (!window || !window->isVisible()) return {};
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

}  // namespace

ZoomCanvas::ZoomCanvas(QWidget* parent) : QWidget(parent) {}

void ZoomCanvas::setPicture(QImage picture) {
    picture_ = std::move(picture);
    reduced_ = QImage();
    resize(sizeHint());
    update();
}

void ZoomCanvas::setZoom(double zoom) {
    zoom_ = zoom;
    reduced_ = QImage();
    resize(sizeHint());
    update();
}

QSize ZoomCanvas::sizeHint() const {
    return QSize(qRound(picture_.width() * zoom_), qRound(picture_.height() * zoom_)) +
           QSize(2 * kMargin, 2 * kMargin);
}

void ZoomCanvas::paintEvent(QPaintEvent* event) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    const QSize shown = sizeHint() - QSize(2 * kMargin, 2 * kMargin);
    if (zoom_ < 1) {
        if (reduced_.size() != shown)
            reduced_ = picture_.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(QPoint(kMargin, kMargin), reduced_);
        return;
    }
    // Only the picture's pixels the exposed area covers, each drawn as a block.
    const QRect exposed = event->rect() & QRect(QPoint(kMargin, kMargin), shown);
    if (exposed.isEmpty()) return;
    const int left = static_cast<int>((exposed.left() - kMargin) / zoom_);
    const int top = static_cast<int>((exposed.top() - kMargin) / zoom_);
    const int right = static_cast<int>(std::ceil((exposed.right() + 1 - kMargin) / zoom_));
    const int bottom = static_cast<int>(std::ceil((exposed.bottom() + 1 - kMargin) / zoom_));
    const QRect source = QRect(left, top, right - left, bottom - top) & picture_.rect();
    const QRectF target(kMargin + source.x() * zoom_, kMargin + source.y() * zoom_,
                        source.width() * zoom_, source.height() * zoom_);
    painter.drawImage(target, picture_, source);
}

ActualSizeWindow::ActualSizeWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Actual Size");
    scrollArea = new QScrollArea(this);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(false);
    canvas = new ZoomCanvas;
    scrollArea->setWidget(canvas);
    scrollArea->viewport()->installEventFilter(this);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 0, 8, 6);
    bar->setSpacing(2);
    bar->addWidget(addZoomButton(QStringLiteral("\u2212"), "Zoom out",
                                 {QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut},
                                 [](ActualSizeWindow& w) { w.zoomOut(); }));
    bar->addWidget(addZoomButton(
        "+", "Zoom in",
        {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence::ZoomIn},
        [](ActualSizeWindow& w) { w.zoomIn(); }));
    bar->addWidget(addZoomButton("1:1", "Actual size, 100 %",
                                 {QKeySequence(Qt::Key_0), QKeySequence(Qt::CTRL | Qt::Key_0)},
                                 [](ActualSizeWindow& w) { w.setZoom(1); }));
    bar->addWidget(addZoomButton("Fit", "Fit to window", {QKeySequence(Qt::Key_F)},
                                 [](ActualSizeWindow& w) { w.fitToWindow(); }));
    bar->addStretch();
    zoomLabel = new QLabel("100 %", this);
    bar->addWidget(zoomLabel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scrollArea, 1);
    layout->addLayout(bar);
}

QToolButton* ActualSizeWindow::addZoomButton(const QString& text, const QString& tip,
                                             const QList<QKeySequence>& keys,
                                             std::function<void(ActualSizeWindow&)> handler) {
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setToolTip(tip + " (" + keys.front().toString(QKeySequence::NativeText) + ")");
    connect(action, &QAction::triggered, this, [this, handler] { handler(*this); });
    addAction(action);
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void ActualSizeWindow::prepare(app::ImageView& view) {
    const auto& image = view.Store().Current;
    canvas->setVisible(true);
    canvas->setZoom(1);
    zoomLabel->setText("100 %");
    core::Bitmap bitmap;
    canvas->setPicture(view.RenderActualSize(bitmap) ? ToImage(bitmap) : QImage());
    // With no image the window still takes the store's last size.
    if (canvas->picture().isNull())
        canvas->resize(std::max(0, image.Width) + 16, std::max(0, image.Height) + 16);
    sizeToPicture(true);
    scrollArea->horizontalScrollBar()->setValue(0);
    scrollArea->verticalScrollBar()->setValue(0);
}

void ActualSizeWindow::sizeToPicture(bool centred) {
    // Room for the picture and its margins, within the screen, decoration
    // included (before the first showing, the main window's tells); a larger
    // picture scrolls.
    const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    const QWidget* placed = isVisible() ? this : main;
    const QScreen* screen = placed ? placed->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const QMargins frame = FrameMargins(placed);
    const QSize room = available.size().shrunkBy(frame);
    QSize client = (canvas->size() + QSize(8, 44)).expandedTo(minimumSizeHint());
    if (!centred) client = client.expandedTo(size());  // a zoom only enlarges the window
    client = client.boundedTo(room);

    const QSize outer = client.grownBy(frame);
    QPoint corner = centred
                        ? available.topLeft() + QPoint((available.width() - outer.width()) / 2,
                                                       (available.height() - outer.height()) / 2)
                        : frameGeometry().topLeft();
    corner.setX(std::clamp(corner.x(), available.left(), available.right() + 1 - outer.width()));
    corner.setY(std::clamp(corner.y(), available.top(), available.bottom() + 1 - outer.height()));
    setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), client));
}

void ActualSizeWindow::setZoom(double zoom, QPoint anchor) {
    zoom = std::clamp(zoom, kZoomSteps.front(), kZoomSteps.back());
    const double old = canvas->zoom();
    if (anchor.x() < 0) anchor = scrollArea->viewport()->rect().center();
    // The picture point under the anchor (the canvas moves as it scrolls).
    const QPointF margin(ZoomCanvas::kMargin, ZoomCanvas::kMargin);
    const QPointF picturePoint = (QPointF(anchor - canvas->pos()) - margin) / old;
    canvas->setZoom(zoom);
    zoomLabel->setText(QString::number(qRound(zoom * 100)) + " %");
    if (isVisible()) sizeToPicture(false);
    const QPointF moved = picturePoint * zoom + margin;
    scrollArea->horizontalScrollBar()->setValue(qRound(moved.x() - anchor.x()));
    scrollArea->verticalScrollBar()->setValue(qRound(moved.y() - anchor.y()));
}

void ActualSizeWindow::zoomIn(QPoint anchor) {
    const double zoom = canvas->zoom();
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom * 1.001);
    setZoom(next == kZoomSteps.end() ? kZoomSteps.back() : *next, anchor);
}

void ActualSizeWindow::zoomOut(QPoint anchor) {
    const double zoom = canvas->zoom();
    auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom * 0.999);
    setZoom(below == kZoomSteps.begin() ? kZoomSteps.front() : *std::prev(below), anchor);
}

void ActualSizeWindow::fitToWindow() {
    const QImage& picture = canvas->picture();
    if (picture.isNull()) return;
    const QSize room =
        scrollArea->viewport()->size() - QSize(2 * ZoomCanvas::kMargin, 2 * ZoomCanvas::kMargin);
    setZoom(std::min(static_cast<double>(room.width()) / picture.width(),
                     static_cast<double>(room.height()) / picture.height()));
}

bool ActualSizeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scrollArea->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const QPoint at = wheel->position().toPoint();
            if (wheel->angleDelta().y() > 0) zoomIn(at);
            if (wheel->angleDelta().y() < 0) zoomOut(at);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ActualSizeWindow::done(int result) {
    canvas->setPicture(QImage());
    QDialog::done(result);
}

}  // namespace ui
