// skeinpress: the desktop program.
#include <QApplication>
#include <QIcon>
#include <string>
#include <vector>

#include "app/platform/program_dir.h"
#include "ui/system/end_request.h"
#include "ui/windows/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("skeinpress");

    const std::string programPath = app::RunningProgramPath();
    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());

    ui::MainWindow window(app::ProgramDirFor(programPath), programPath,
                          app::InstalledDataDir(programPath));
    window.setCommandLine(std::move(args));
    window.readInBackground();
    // A log-out keeps what the user set: the settings are written first.
    ui::EndRequestWatch endRequest([&window](int signal) { window.endNow(128 + signal); });
    window.show();
    const int status = application.exec();
    // An unattended job (-close) that refused its file ends with a failure.
    return status != 0 ? status : window.application().ExitStatus();
}
