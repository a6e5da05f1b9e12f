#pragma once

#include <charconv>

namespace runetally {

// std::from_chars and std::to_chars for doubles. Some C++ libraries lack them (the one that the
// web build compiles with has neither), so the build chooses where they come from; every source
// gives the same answers.

// Reads a double as std::from_chars does with the general format: result_out_of_range, and the
// value left alone, when the number rounds to infinity or, not being zero, to zero.
std::from_chars_result DoubleFromChars(const char* first, const char* last, double& value);

// Writes a finite value as std::to_chars does in scientific format with `precision` digits after
// the point, exactly rounded, ties to even: "-1.50e+03", an exponent of at least two digits.
std::to_chars_result DoubleToScientific(char* first, char* last, double value, int precision);

} // namespace runetally
