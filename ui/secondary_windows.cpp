#include "ui/secondary_windows.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/view/image_view.h"
#include "skeinpress_version.h"
#include "ui/picture_convert.h"

namespace ui {

// ---- Actual size

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

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Actual Size");
    Scroll = new QScrollArea(this);
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setWidgetResizable(false);
    Image1 = new ZoomCanvas;
    Scroll->setWidget(Image1);
    Scroll->viewport()->installEventFilter(this);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 0, 8, 6);
    bar->setSpacing(2);
    bar->addWidget(AddZoomButton(QStringLiteral("\u2212"), "Zoom out",
                                 {QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut},
                                 [](TForm2& w) { w.ZoomOut(); }));
    bar->addWidget(AddZoomButton(
        "+", "Zoom in",
        {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence::ZoomIn},
        [](TForm2& w) { w.ZoomIn(); }));
    bar->addWidget(AddZoomButton("1:1", "Actual size, 100 %",
                                 {QKeySequence(Qt::Key_0), QKeySequence(Qt::CTRL | Qt::Key_0)},
                                 [](TForm2& w) { w.SetZoom(1); }));
    bar->addWidget(AddZoomButton("Fit", "Fit to window", {QKeySequence(Qt::Key_F)},
                                 [](TForm2& w) { w.FitToWindow(); }));
    bar->addStretch();
    ZoomLabel = new QLabel("100 %", this);
    bar->addWidget(ZoomLabel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Scroll, 1);
    layout->addLayout(bar);
}

QToolButton* TForm2::AddZoomButton(const QString& text, const QString& tip,
                                   const QList<QKeySequence>& keys,
                                   std::function<void(TForm2&)> handler) {
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

void TForm2::Prepare(app::ImageView& view) {
    const auto& image = view.Store().Image;
    Image1->setVisible(true);
    Image1->setZoom(1);
    ZoomLabel->setText("100 %");
    core::Bitmap bitmap;
    Image1->setPicture(view.RenderActualSize(bitmap) ? ToImage(bitmap) : QImage());
    // With no image the window still takes the store's last size.
    if (Image1->picture().isNull())
        Image1->resize(std::max(0, image.Width) + 16, std::max(0, image.Height) + 16);
    SizeToPicture(true);
    Scroll->horizontalScrollBar()->setValue(0);
    Scroll->verticalScrollBar()->setValue(0);
}

void TForm2::SizeToPicture(bool centred) {
    // Room for the picture and its margins, within the screen, decoration
    // included (before the first showing, the main window's tells); a larger
    // picture scrolls.
    const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    const QWidget* placed = isVisible() ? this : main;
    const QScreen* screen = placed ? placed->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const QMargins frame = FrameMargins(placed);
    const QSize room = available.size().shrunkBy(frame);
    QSize client = (Image1->size() + QSize(8, 44)).expandedTo(minimumSizeHint());
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

void TForm2::SetZoom(double zoom, QPoint anchor) {
    zoom = std::clamp(zoom, kZoomSteps.front(), kZoomSteps.back());
    const double old = Image1->zoom();
    if (anchor.x() < 0) anchor = Scroll->viewport()->rect().center();
    // The picture point under the anchor (the canvas moves as it scrolls).
    const QPointF margin(ZoomCanvas::kMargin, ZoomCanvas::kMargin);
    const QPointF picturePoint = (QPointF(anchor - Image1->pos()) - margin) / old;
    Image1->setZoom(zoom);
    ZoomLabel->setText(QString::number(qRound(zoom * 100)) + " %");
    if (isVisible()) SizeToPicture(false);
    const QPointF moved = picturePoint * zoom + margin;
    Scroll->horizontalScrollBar()->setValue(qRound(moved.x() - anchor.x()));
    Scroll->verticalScrollBar()->setValue(qRound(moved.y() - anchor.y()));
}

void TForm2::ZoomIn(QPoint anchor) {
    const double zoom = Image1->zoom();
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom * 1.001);
    SetZoom(next == kZoomSteps.end() ? kZoomSteps.back() : *next, anchor);
}

void TForm2::ZoomOut(QPoint anchor) {
    const double zoom = Image1->zoom();
    auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom * 0.999);
    SetZoom(below == kZoomSteps.begin() ? kZoomSteps.front() : *std::prev(below), anchor);
}

void TForm2::FitToWindow() {
    const QImage& picture = Image1->picture();
    if (picture.isNull()) return;
    const QSize room =
        Scroll->viewport()->size() - QSize(2 * ZoomCanvas::kMargin, 2 * ZoomCanvas::kMargin);
    SetZoom(std::min(static_cast<double>(room.width()) / picture.width(),
                     static_cast<double>(room.height()) / picture.height()));
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Scroll->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const QPoint at = wheel->position().toPoint();
            if (wheel->angleDelta().y() > 0) ZoomIn(at);
            if (wheel->angleDelta().y() < 0) ZoomOut(at);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::done(int result) {
    Image1->setPicture(QImage());
    QDialog::done(result);
}

// ---- Tolerance

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Data Entry");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Set Colour Tolerance", this));
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setRange(1, 254);
    SpinEdit1->setValue(10);
    layout->addWidget(SpinEdit1);
    layout->addWidget(new QLabel("Value will work + or -  for each of R, G, and B", this));
    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton("Accept", this);
    Button2 = new QPushButton("Cancel", this);
    Button1->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, [this] {
        SpinEdit1->interpretText();
        ToleranceValue = std::clamp(SpinEdit1->value(), 1, 254);
        ToleranceAccepted = true;
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, [this] {
        ToleranceAccepted = false;
        reject();
    });
}

void TForm4::showEvent(QShowEvent* event) {
    ToleranceAccepted = false;
    QDialog::showEvent(event);
}

// ---- About

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(":/skeinpress/skeinpress.png")
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    head->addWidget(icon);
    auto* names = new QVBoxLayout;
    auto* title = new QLabel("Skeinpress", this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    names->addWidget(title);
    names->addWidget(new QLabel("Version " SKEINPRESS_VERSION "   28 April 2013", this));
    head->addLayout(names);
    head->addStretch();
    layout->addLayout(head);
    for (auto& paragraph : Paragraphs) {
        paragraph = new QLabel(this);
        paragraph->setWordWrap(true);
        paragraph->setFixedWidth(380);
        layout->addWidget(paragraph);
    }
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::SetParagraphs(const std::array<std::string, 6>& texts) {
    for (size_t i = 0; i < texts.size(); ++i)
        Paragraphs[i]->setText(QString::fromStdString(texts[i]));
}

}  // namespace ui
