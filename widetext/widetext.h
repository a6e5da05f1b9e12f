#pragma once

#include <string>
#include <string_view>

namespace runetally {

// The program speaks UTF-8; Windows takes window texts and file names in UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace runetally
