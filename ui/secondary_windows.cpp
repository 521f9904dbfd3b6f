#include "ui/secondary_windows.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/application.h"
#include "ui/picture_convert.h"

namespace ui {

// ---- Actual size

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Actual Size");
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    canvas_ = new QWidget;
    Image1 = new QLabel(canvas_);
    Image1->setScaledContents(true);
    Image1->move(8, 8);
    scroll_->setWidget(canvas_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
}

void TForm2::Prepare(app::Application& application) {
    const auto& image = application.store().Image;
    const int width = std::max(0, image.Width);
    const int height = std::max(0, image.Height);
    Image1->setVisible(true);

    // Room for the picture and its margins; a picture larger than the desktop
    // scrolls inside a window that fits.
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const QRect available = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    const int windowWidth = std::min(width + 24, std::max(available.width(), 100));
    const int windowHeight = std::min(height + 60, std::max(available.height(), 100));
    resize(windowWidth, windowHeight);
    move(desktop.x() + (desktop.width() - windowWidth) / 2,
         desktop.y() + (desktop.height() - windowHeight) / 2);

    Image1->resize(width, height);
    canvas_->resize(width + 16, height + 16);
    Image1->clear();
    core::Bitmap bitmap;
    if (application.RenderActualSize(bitmap))
        Image1->setPixmap(QPixmap::fromImage(ToImage(bitmap)));
}

void TForm2::closeEvent(QCloseEvent* event) {
    Image1->clear();
    QDialog::closeEvent(event);
}

void TForm2::done(int result) {
    Image1->clear();
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
    names->addWidget(new QLabel("Version 1.22   28 April 2013", this));
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
