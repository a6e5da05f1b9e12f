#pragma once

#include <string>
#include <string_view>

namespace runetally::win32 {

// The descriptions and commands speak UTF-8; every window text on Windows is UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace runetally::win32
