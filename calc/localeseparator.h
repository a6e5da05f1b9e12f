#pragma once

#include <string_view>

namespace runetally {

// The calculation reads and writes a one-byte decimal separator. A locale whose separator is not
// a single ASCII character keeps the full stop rather than pass half a character.
constexpr char SeparatorFromText(std::string_view utf8) {
    return utf8.size() == 1 && static_cast<unsigned char>(utf8.front()) < 0x80 &&
                   utf8.front() != '\0'
               ? utf8.front()
               : '.';
}

// The decimal separator of the user's regional settings. On POSIX systems it is the C library's
// for the locale the program has set (setlocale(LC_ALL, "") names it after LC_ALL, LC_NUMERIC,
// then LANG).
char UserDecimalSeparator();

// Where UserDecimalSeparator() takes the separator from, in words for a help text.
const char* DecimalSeparatorSource();

} // namespace runetally
