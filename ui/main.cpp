// skeinpress: the desktop program.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <string>
#include <vector>

#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("skeinpress");
    QApplication::setWindowIcon(QIcon(":/skeinpress/skeinpress.png"));

    const QString programDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/");
    const QString dataDir = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/skeinpress") + "/";
    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());

    ui::TForm1 window(programDir.toStdString(), QCoreApplication::applicationFilePath().toStdString(),
                      dataDir.toStdString());
    window.SetCommandLine(std::move(args));
    window.show();
    return application.exec();
}
