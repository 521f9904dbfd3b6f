// Shared by the window tests: a main window, shown, in a temporary program folder on
// Qt's offscreen platform, answering the dialogs it opens, waiting for events.
#pragma once

#include <gtest/gtest.h>

// Class by class: the QtWidgets umbrella pulls in windows.h through OpenGL.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"
#include "ui/dialogs/tolerance_dialog.h"
#include "ui/picture/picture_view.h"
#include "ui/windows/actual_size_window.h"
#include "ui/windows/main_window.h"

namespace window_testing {

namespace fs = std::filesystem;

// Runs `action` on the next modal dialog of type `Dialog` once it is open;
// `context` going away (the test's window) cancels the wait.
template <typename Dialog = QWidget>
void WhenModalOpens(QObject* context, std::function<void(Dialog*)> action, int triesLeft = 2000) {
    QTimer::singleShot(1, context, [=] {
        if (auto* modal = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
            action(modal);
        else if (triesLeft > 0)
            WhenModalOpens<Dialog>(context, action, triesLeft - 1);
    });
}

// Handles events until `done` holds (false when it never did within `ms`).
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    return QTest::qWaitFor(done, ms);
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : window(dir.path().string() + "/", dir.File("skeinpress"), "") {
        window.host().StopTimer(app::TimerId::OpenWithSetup);  // no folder set-up mid-test
        window.show();
        QApplication::processEvents();
    }

    static std::string S(const QString& text) { return text.toStdString(); }
    static QString Q(const std::string& text) { return QString::fromStdString(text); }
    app::Application& application() { return window.application(); }
    // A widget, menu or action of the window by its name.
    template <typename Child = QAction>
    Child* find(const char* name) {
        Child* child = window.findChild<Child*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QLabel* label(const char* name) { return find<QLabel>(name); }
    // A small picture file in the test's folder, shown as File > Open shows it.
    void Open(const std::string& name, int width = 8, int height = 8, bool alpha = false) {
        testing_support::WriteImage(dir.File(name), width, height, false, alpha);
        application().view().OpenFile(dir.File(name));
    }

    testing_support::TempDir dir;
    ui::MainWindow window;
};

}  // namespace window_testing
