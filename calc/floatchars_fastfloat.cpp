#include "floatchars.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace runetally {

std::from_chars_result DoubleFromChars(const char* first, const char* last, double& value) {
    double read = 0.0;
    const fast_float::from_chars_result result = fast_float::from_chars(first, last, read);
    if (result.ec != std::errc()) {
        return {result.ptr, result.ec};
    }
    // fast_float gives infinity or zero where std::from_chars reports the number out of range.
    const char* exponent =
        std::find_if(first, result.ptr, [](char c) { return c == 'e' || c == 'E'; });
    const bool nonZero =
        std::find_if(first, exponent, [](char c) { return c >= '1' && c <= '9'; }) != exponent;
    if (std::isinf(read) || (read == 0.0 && nonZero)) {
        return {result.ptr, std::errc::result_out_of_range};
    }
    value = read;
    return {result.ptr, std::errc()};
}

std::to_chars_result DoubleToScientific(char* first, char* last, double value, int precision) {
    // The C library's printf rounds exactly, and writes %e as std::to_chars writes scientific.
    char text[128]; // room for any precision below 100
    const int length = std::snprintf(text, sizeof text, "%.*e", precision, value);
    if (length < 0 || length > last - first) {
        return {last, std::errc::value_too_large};
    }
    return {std::copy_n(text, length, first), std::errc()};
}

} // namespace runetally
