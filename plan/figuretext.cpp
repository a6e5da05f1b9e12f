#include "figuretext.h"

#include "numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

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

std::string RoundedText(double value, int digits, char separator) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", std::clamp(digits, 1, 17) - 1, value);
    // "-d.ddde+NN": the digits, then the exponent.
    const std::string_view written(text);
    const bool negative = written.front() == '-';
    std::string mantissa;
    for (char c : written.substr(negative ? 1 : 0, written.find('e'))) {
        if (c >= '0' && c <= '9') {
            mantissa += c;
        }
    }
    while (mantissa.size() > 1 && mantissa.back() == '0') {
        mantissa.pop_back();
    }
    const int exponent = std::atoi(text + written.find('e') + 1);
    return mantissa == "0" ? "0" : WriteSignificant(negative, mantissa, exponent, separator);
}

std::string CrossingText(double at, double current, char separator) {
    for (int digits = 4; digits < 15; ++digits) {
        const std::string text = RoundedText(at, digits, separator);
        if (ParseNumber(text, separator) != current || at == current) {
            return text;
        }
    }
    return RoundedText(at, 15, separator);
}

} // namespace runetally
