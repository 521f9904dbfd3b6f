#include "app/language.h"

namespace app {

bool Language::LoadFile(const std::string& path) { return false; }

std::string Language::Translate(const std::string& key) const { return kNotTranslated; }

}  // namespace app
