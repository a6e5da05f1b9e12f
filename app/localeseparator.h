#pragma once

#include <QLocale>

namespace runetally {

// The calculation reads and writes a one-byte decimal separator. A locale whose separator is not
// a single ASCII character keeps the full stop rather than pass half a character.
inline char LocaleSeparator(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    return point.size() == 1 && point.front().unicode() < 0x80
               ? static_cast<char>(point.front().unicode())
               : '.';
}

} // namespace runetally
