#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runetally {

// Reads a whole text as a number: optional spaces, an optional sign, digits with at most one
// decimal separator, an optional exponent, optional spaces. Gives nothing for any other text
// and for a value too large for a double.
std::optional<double> ParseNumber(std::string_view text, char decimalSeparator = '.');

// Writes a finite result to 15 significant digits: plain from 0.0001 up to 10^15, exponent
// notation ("6.103515625E-05") outside. Throws std::domain_error for infinity or NaN.
std::string FormatNumber(double value, char decimalSeparator = '.');

// Writes at most 15 significant digits, d.ddd... × 10^exponent, as FormatNumber writes a number;
// no digits is 0. The digits hold no trailing zeros.
std::string WriteSignificant(bool negative, std::string_view digits, int exponent,
                             char decimalSeparator = '.');

} // namespace runetally
