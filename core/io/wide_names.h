// File names on Windows: UTF-8 inside the program, UTF-16 at every system
// call, in the "\\?\" form when they are too long for the plain one.
#pragma once

#if defined(_WIN32)

#include <string>
#include <string_view>

namespace core {

// UTF-8 as UTF-16; empty (and `valid` false) for bytes that are not UTF-8.
std::wstring WideFromUtf8(std::string_view text, bool* valid = nullptr);
std::string Utf8FromWide(std::wstring_view text);

// The name to hand to the system for `path`: UTF-16, and in the "\\?\" form
// (made absolute) when it is as long as the plain form's limit allows or
// longer. Empty when `path` is not UTF-8.
std::wstring SystemName(std::string_view path);

// The system's text for an error code, without a line end.
std::string SystemErrorText(unsigned long code);

}  // namespace core

#endif
