#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <system_error>

namespace runetally {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Adds a digit to a decimal exponent without overflowing; anything this far out is out of
// range for a double either way.
std::int64_t saturatingAppend(std::int64_t value, char digit) {
    constexpr std::int64_t limit = 1'000'000'000;
    return value >= limit ? limit : value * 10 + (digit - '0');
}

} // namespace

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // The number is rebuilt in the form std::from_chars reads: '.' as separator, no '+'.
    std::string normal;
    normal.reserve(n + 2);
    if (negative) {
        normal += '-';
    }
    std::size_t intDigits = 0, fracDigits = 0;
    std::int64_t leadingZeros = 0; // before the first non-zero digit, across the separator
    bool seenNonZero = false;
    std::int64_t intSignificant = 0; // integer digits from the first non-zero one
    for (; i < n && isDigit(text[i]); ++i, ++intDigits) {
        normal += text[i];
        seenNonZero = seenNonZero || text[i] != '0';
        if (seenNonZero) {
            ++intSignificant;
        }
    }
    if (i < n && text[i] == decimalSeparator) {
        normal += '.';
        for (++i; i < n && isDigit(text[i]); ++i, ++fracDigits) {
            normal += text[i];
            if (!seenNonZero && text[i] == '0') {
                ++leadingZeros;
            }
            seenNonZero = seenNonZero || text[i] != '0';
        }
    }
    if (intDigits + fracDigits == 0) {
        return std::nullopt;
    }
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            normal += text[i];
            ++i;
        }
        const std::size_t start = i;
        for (; i < n && isDigit(text[i]); ++i) {
            normal += text[i];
            exponent = saturatingAppend(exponent, text[i]);
        }
        if (i == start) {
            return std::nullopt;
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Out of range either way: above the largest double, or so small that it rounds to 0.
        const std::int64_t magnitude =
            (intSignificant > 0 ? intSignificant : -leadingZeros) + exponent;
        if (magnitude > 0) {
            return std::nullopt;
        }
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != normal.data() + normal.size()) {
        return std::nullopt;
    }
    return value;
}

std::string FormatNumber(double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        throw std::domain_error("FormatNumber needs a finite value");
    }
    if (value == 0.0) {
        return "0"; // negative zero too
    }
    // Exactly rounded to 15 significant digits, ties to even: "d.dddddddddddddde±x".
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t ePos = sci.find('e');
    const bool negative = sci.front() == '-';

    std::string digits; // the significant digits without trailing zeros
    for (char c : sci.substr(0, ePos)) {
        if (isDigit(c)) {
            digits += c;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    int exponent = 0;
    std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        const int intCount = exponent + 1; // digits before the separator
        if (intCount <= 0) {
            out += '0';
            out += decimalSeparator;
            out.append(static_cast<std::size_t>(-intCount), '0');
            out += digits;
        } else if (static_cast<std::size_t>(intCount) >= digits.size()) {
            out += digits;
            out.append(static_cast<std::size_t>(intCount) - digits.size(), '0');
        } else {
            out.append(digits, 0, static_cast<std::size_t>(intCount));
            out += decimalSeparator;
            out.append(digits, static_cast<std::size_t>(intCount));
        }
        return out;
    }
    out += digits.front();
    if (digits.size() > 1) {
        out += decimalSeparator;
        out.append(digits, 1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
    return out;
}

} // namespace runetally
