#pragma once

#include <string>
#include <string_view>

namespace runetally {

// A CSV field, quoted only when it holds a comma, a quote or a line break, quotes doubled.
std::string CsvField(std::string_view value);

// A JSON string literal. A byte that is no UTF-8 becomes U+FFFD rather than an exception: the
// output always parses.
std::string JsonString(std::string_view value);

} // namespace runetally
