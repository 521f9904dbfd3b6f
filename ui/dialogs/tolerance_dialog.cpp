#include "ui/dialogs/tolerance_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace ui {

ToleranceDialog::ToleranceDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Data Entry");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Set Colour Tolerance", this));
    toleranceBox = new QSpinBox(this);
    toleranceBox->setRange(1, 254);
    toleranceBox->setValue(10);
    layout->addWidget(toleranceBox);
    layout->addWidget(new QLabel("Value will work + or -  for each of R, G, and B", this));
    auto* buttons = new QHBoxLayout;
    auto* acceptButton = new QPushButton("Accept", this);
    acceptButton->setObjectName("acceptButton");
    auto* cancelButton = new QPushButton("Cancel", this);
    acceptButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(acceptButton, &QPushButton::clicked, this, [this] {
        // A number typed but not yet committed counts.
        toleranceBox->interpretText();
        tolerance_ = std::clamp(toleranceBox->value(), 1, 254);
        accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace ui
