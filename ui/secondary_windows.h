// The three small windows beside the main window: the actual-size view, the
// colour-tolerance dialog and the about box. All are shown modally.
#pragma once

#include <QDialog>
#include <array>
#include <string>

class QLabel;
class QScrollArea;
class QSpinBox;
class QPushButton;

namespace app {
class Application;
}

namespace ui {

// Shows the colour picture or the alpha channel pixel for pixel; a scroll area
// takes over when the image is larger than the desktop.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // Sizes, places and fills the window from the application's image
    // (the window's show step); exec() afterwards shows it.
    void Prepare(app::Application& application);
    QLabel* Image1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
};

// Asks for the tolerance of a colour pick. The spin box keeps its last value.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    int ToleranceValue = 10;
    bool ToleranceAccepted = false;
    QSpinBox* SpinEdit1 = nullptr;
    QPushButton* Button1 = nullptr;  // Accept
    QPushButton* Button2 = nullptr;  // Cancel

protected:
    void showEvent(QShowEvent* event) override;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    // Comments, Copyright, Liability, License1, License2, Trademark.
    void SetParagraphs(const std::array<std::string, 6>& texts);
    std::array<QLabel*, 6> Paragraphs{};
};

}  // namespace ui
