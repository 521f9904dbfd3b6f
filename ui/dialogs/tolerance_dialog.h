// Asks for the tolerance of a colour pick. The spin box keeps its last value.
#pragma once

#include <QDialog>

class QSpinBox;

namespace ui {

class ToleranceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ToleranceDialog(QWidget* parent = nullptr);
    // The value last accepted (exec() tells whether this showing accepted one).
    int tolerance() const { return tolerance_; }

private:
    QSpinBox* toleranceBox = nullptr;
    int tolerance_ = 10;
};

}  // namespace ui
