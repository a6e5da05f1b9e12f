#include "figuretext.h"

#include "numbers.h"

#include <cmath>

namespace runetally {

DamageValue Checked(double value) {
    if (std::isinf(value)) {
        return DamageFailure(ArithmeticFault::Overflow);
    }
    if (std::isnan(value)) {
        return DamageFailure(ArithmeticFault::InvalidOperation);
    }
    return value;
}

std::string FigureText(const DamageValue& value, char separator) {
    const DamageValue checked =
        std::holds_alternative<double>(value) ? Checked(std::get<double>(value)) : value;
    if (const double* number = std::get_if<double>(&checked)) {
        return FormatNumber(*number, separator);
    }
    return FailureText(std::get<DamageFailure>(checked));
}

std::string FigureText(const DamageValue& value, const std::optional<Decimal>& written,
                       char separator) {
    return written && std::holds_alternative<double>(value) ? DecimalText(*written, separator)
                                                            : FigureText(value, separator);
}

std::string TenthsText(double percent, char separator) {
    constexpr double kWhole = 4503599627370496.0; // 2^52
    const bool fraction = std::abs(percent) < kWhole;
    return FigureText(fraction ? std::round(percent * 10) / 10 : percent, separator);
}

std::string ShareOfBestText(double percent, char separator) {
    if (percent == 100 || std::round(percent * 10) / 10 != 100) {
        return TenthsText(percent, separator);
    }
    // Fifteen significant digits hold thirteen decimals below 100.
    double scale = 10;
    for (int decimals = 2; decimals <= 13; ++decimals) {
        scale *= 10;
        const double shown = std::round(percent * scale) / scale;
        if (shown != 100) {
            return FigureText(shown, separator);
        }
    }
    return FigureText(percent < 100 ? 99.9999999999999 : 100.000000000001, separator);
}

} // namespace runetally
