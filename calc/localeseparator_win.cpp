#include "localeseparator.h"

#include <windows.h>

#include <array>
#include <string>

namespace runetally {

char UserDecimalSeparator() {
    std::array<wchar_t, 8> separator{}; // LOCALE_SDECIMAL holds at most four characters
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator.data(),
                                       static_cast<int>(separator.size()));
    if (length != 2 || separator[0] >= 0x80) {
        return '.'; // no answer, more than one character, or not ASCII
    }
    return SeparatorFromText(std::string(1, static_cast<char>(separator[0])));
}

const char* DecimalSeparatorSource() {
    return "Windows' regional settings (Region, Format)";
}

} // namespace runetally
