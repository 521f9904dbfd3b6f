#include "app/application.h"

#include <chrono>

#include "app/folder_listing.h"

namespace app {

Application::Application(Host& host)
    : Random(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())),
      host_(host) {
    store_.Notice = [this](const std::string& line) { host_.AddMemoLine(line); };
    store_.Beep = [this] { host_.Beep(); };
}

Application::~Application() = default;

std::string Application::T(const std::string& key) const { return language_.Translate(key); }

}  // namespace app
