#include "app/application.h"

#include <chrono>

#include <QDir>

#include "app/command_line.h"
#include "app/folder_listing.h"
#include "app/mem_ini.h"

namespace app {

namespace {

// The application's own handlers behind the command line's job interface.
class OwnJobs : public CommandLineJobs {
public:
    explicit OwnJobs(Application& app) : app_(app) {}
    void StartTrawl() override { app_.StartClick(); }
    void OpenAndSave() override { app_.OpenAndSave(); }
    void SaveAs() override { app_.SaveAs1Click(); }

private:
    Application& app_;
};

std::string DefaultDriveRoot() {
#ifdef _WIN32
    return "C:\\";
#else
    // The simulator runs under Wine here; its C: drive is the default prefix's drive_c.
    return (QDir::homePath() + QStringLiteral("/.wine/drive_c/")).toStdString();
#endif
}

}  // namespace

Application::Application(Host& host)
    : Random(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())),
      host_(host),
      ownJobs_(std::make_unique<OwnJobs>(*this)) {
    store_.Notice = [this](const std::string& line) { host_.AddMemoLine(line); };
    store_.Beep = [this] { host_.Beep(); };
    OpenWithDriveRoot = DefaultDriveRoot();
}

Application::~Application() = default;

std::string Application::T(const std::string& key) const {
    return language_.Translate(key);
}

CommandLineJobs& Application::Jobs() {
    return jobs_ ? *jobs_ : *ownJobs_;
}

}  // namespace app
