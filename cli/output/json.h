// JSON text for info --json.
#pragma once

#include <string>

namespace cli {

// JSON string literal (with quotes) for a text; bytes that are not well-formed
// UTF-8 are written as \ufffd, so the line stays valid JSON.
std::string JsonString(const std::string& text);

}  // namespace cli
