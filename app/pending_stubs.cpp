// temporary: replaced when the app flows land.
#include "app/application.h"

namespace app {
void Application::ViewTexture(bool) {}
void Application::Open1Click() {}
void Application::Open2Click() {}
void Application::Timer1Timer() {}
void Application::Save1Click() {}
void Application::bStopClick() {}
void Application::Timer5Timer() {}
void Application::Timer4Timer() {}
void Application::ViewLogFile() {}
void Application::DeleteLog1Click() {}
}  // namespace app
