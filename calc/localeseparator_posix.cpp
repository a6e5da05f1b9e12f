#include "localeseparator.h"

#include <clocale>

namespace runetally {

char UserDecimalSeparator() {
    const std::lconv* conventions = std::localeconv();
    return conventions != nullptr && conventions->decimal_point != nullptr
               ? SeparatorFromText(conventions->decimal_point)
               : '.';
}

const char* DecimalSeparatorSource() {
    return "the locale in LC_ALL, LC_NUMERIC or LANG";
}

} // namespace runetally
