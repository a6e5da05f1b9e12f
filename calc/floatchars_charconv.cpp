#include "floatchars.h"

namespace runetally {

std::from_chars_result DoubleFromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

std::to_chars_result DoubleToScientific(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::scientific, precision);
}

} // namespace runetally
