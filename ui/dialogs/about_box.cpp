#include "ui/dialogs/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "skeinpress_version.h"

namespace ui {
namespace {

QLabel* Named(QLabel* label, const char* name) {
    label->setObjectName(name);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
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
    names->addWidget(Named(new QLabel("Version " SKEINPRESS_VERSION, this), "versionLabel"));
    head->addLayout(names);
    head->addStretch();
    layout->addLayout(head);
    for (auto& paragraph : paragraphs) {
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

void AboutBox::setParagraphs(const std::array<std::string, 6>& texts) {
    for (size_t i = 0; i < texts.size(); ++i)
        paragraphs[i]->setText(QString::fromStdString(texts[i]));
}

}  // namespace ui
