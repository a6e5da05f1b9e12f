#include "localeseparator.h"

#include <clocale>

namespace runetally {

char UserDecimalSeparator() {
    const std::lconv* conventions = std::localeconv();
    return conventions != nullptr && conventions->decimal_point != nullptr
               ? SeparatorFromText(conventions->decimal_point)
               : '.';
}

} // namespace runetally
