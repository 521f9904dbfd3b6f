// The about box: the program's name, version and the language file's notices.
#pragma once

#include <QDialog>
#include <array>
#include <string>

class QLabel;

namespace ui {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    // Comments, Copyright, Liability, License1, License2, Trademark.
    void setParagraphs(const std::array<std::string, 6>& texts);

private:
    std::array<QLabel*, 6> paragraphs{};
};

}  // namespace ui
