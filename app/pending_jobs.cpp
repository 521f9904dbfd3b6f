// temporary: replaced by the trawl and view flows
#include "app/application.h"

namespace app {

void Application::StartClick() {}
void Application::OpenAndSave() {}
void Application::SaveAs1Click() {}

}  // namespace app
