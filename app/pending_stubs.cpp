// temporary: replaced when the app flows land.
#include "app/application.h"
#include "app/pending_operations.h"

namespace core {
bool InvertAlpha(ImageStore&) { return false; }
bool CreateAlphaMask(ImageStore&, const std::string&) { return false; }
bool MergeAlphaImage(ImageStore&, const std::string&) { return false; }
bool SaveColourImage(ImageStore&, const std::string&) { return false; }
bool SaveAlphaImage(ImageStore&, const std::string&) { return false; }
void GreyScale(ImageStore&) {}
void NonUniformColour(ImageStore&, int, int, bool, std::mt19937&) {}
bool MakeNormalMap(int32_t, int32_t, int32_t, uint8_t*, uint8_t) { return false; }
}  // namespace core

namespace app {
void Application::FormCreate(const std::string& programDir, const std::string& programPath) {
    programDir_ = programDir;
    programPath_ = programPath;
}
std::string Application::SettingsFilePath() const { return programDir_ + "skeinpress.ini"; }
void Application::FormShow(const std::vector<std::string>&) {}
bool Application::FormCloseQuery() { return true; }
void Application::FormClose() {}
void Application::Timer6Timer() {}
void Application::Timer7Timer() {}
void Application::OpenWith1Click() {}
void Application::RemoveOpenWith1Click() {}
void Application::ViewTexture(bool) {}
void Application::Open1Click() {}
void Application::Open2Click() {}
void Application::Timer1Timer() {}
void Application::Save1Click() {}
void Application::SaveAs1Click() {}
void Application::StartClick() {}
void Application::bStopClick() {}
void Application::Timer5Timer() {}
void Application::Timer4Timer() {}
void Application::ViewLogFile() {}
void Application::DeleteLog1Click() {}
}  // namespace app
