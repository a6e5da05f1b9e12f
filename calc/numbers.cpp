#include "numbers.h"

#include "floatchars.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace runetally {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

std::size_t skipSign(std::string_view text, std::size_t i) {
    return i < text.size() && (text[i] == '+' || text[i] == '-') ? i + 1 : i;
}

// Whether a number that DoubleFromChars found out of range lies above the largest double rather
// than below the smallest. Its value is 0.d... times ten to `place`; nothing in range lies so
// far out that the sign of place plus exponent could be wrong.
bool isHuge(std::string_view number, std::size_t exponentStart) {
    const std::string_view mantissa = number.substr(0, exponentStart);
    const std::size_t first = mantissa.find_first_of("123456789");
    const std::size_t separator = mantissa.find_first_not_of("+-0123456789");
    const auto place = separator == std::string_view::npos || first < separator
                           ? static_cast<std::int64_t>(std::min(separator, mantissa.size()) - first)
                           : -static_cast<std::int64_t>(first - separator - 1);
    std::int64_t exponent = 0;
    if (exponentStart < number.size()) {
        const std::size_t digits = skipSign(number, exponentStart + 1);
        for (std::size_t i = digits; i < number.size() && exponent < 1'000'000'000; ++i) {
            exponent = exponent * 10 + (number[i] - '0');
        }
        exponent = number[digits - 1] == '-' ? -exponent : exponent;
    }
    return place + exponent > 0;
}

// The common case of a few digits without an exponent: the digits form a whole number below
// 2^53 and the power of ten is exact, so the one division rounds correctly by itself.
double exactlyRounded(std::string_view number, std::size_t fracDigits) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t whole = 0;
    for (char c : number) {
        if (isDigit(c)) {
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    const double value = static_cast<double>(whole) / kPowersOfTen[fracDigits];
    return number.front() == '-' ? -value : value;
}

} // namespace

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    const std::string_view number = text.substr(begin, end - begin);

    const std::size_t intStart = skipSign(number, 0);
    std::size_t i = skipDigits(number, intStart);
    std::size_t digits = i - intStart;
    std::size_t fracDigits = 0;
    if (i < number.size() && number[i] == decimalSeparator) {
        const std::size_t fracStart = i + 1;
        i = skipDigits(number, fracStart);
        fracDigits = i - fracStart;
        digits += fracDigits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    const std::size_t exponentStart = i;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        const std::size_t expDigits = skipSign(number, i + 1);
        i = skipDigits(number, expDigits);
        if (i == expDigits) {
            return std::nullopt;
        }
    }
    if (i != number.size()) {
        return std::nullopt;
    }

    if (exponentStart == number.size() && digits <= 15) {
        return exactlyRounded(number, fracDigits);
    }

    // DoubleFromChars reads '.' as the separator and takes no '+': other texts are rewritten.
    std::string rewritten;
    std::string_view readable = number;
    if (decimalSeparator != '.' || number.front() == '+') {
        rewritten.assign(number.substr(number.front() == '+' ? 1 : 0));
        if (const auto sep = rewritten.find(decimalSeparator); sep != std::string::npos) {
            rewritten[sep] = '.';
        }
        readable = rewritten;
    }
    double value = 0.0;
    const auto [last, error] =
        DoubleFromChars(readable.data(), readable.data() + readable.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (isHuge(number, exponentStart)) {
            return std::nullopt;
        }
        return number.front() == '-' ? -0.0 : 0.0; // below the smallest double: rounds to zero
    }
    if (error != std::errc() || last != readable.data() + readable.size()) {
        return std::nullopt;
    }
    return value;
}

std::string WriteSignificant(bool negative, std::string_view digits, int exponent,
                             char decimalSeparator) {
    if (digits.empty()) {
        return "0";
    }
    const auto count = static_cast<int>(digits.size());
    char out[40];
    char* o = out;
    if (negative) {
        *o++ = '-';
    }
    if (exponent >= -4 && exponent < 15) {
        const int intCount = exponent + 1; // digits before the separator
        if (intCount <= 0) {
            *o++ = '0';
            *o++ = decimalSeparator;
            o = std::fill_n(o, -intCount, '0');
            o = std::copy_n(digits.data(), count, o);
        } else if (intCount >= count) {
            o = std::copy_n(digits.data(), count, o);
            o = std::fill_n(o, intCount - count, '0');
        } else {
            o = std::copy_n(digits.data(), intCount, o);
            *o++ = decimalSeparator;
            o = std::copy_n(digits.data() + intCount, count - intCount, o);
        }
        return std::string(out, o);
    }
    *o++ = digits[0];
    if (count > 1) {
        *o++ = decimalSeparator;
        o = std::copy_n(digits.data() + 1, count - 1, o);
    }
    *o++ = 'E';
    *o++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        *o++ = '0';
    }
    o = std::to_chars(o, out + sizeof out, magnitude).ptr;
    return std::string(out, o);
}

std::string FormatNumber(double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        throw std::domain_error("FormatNumber needs a finite value");
    }
    if (value == 0.0) {
        return "0"; // negative zero too
    }
    // Exactly rounded to 15 significant digits, ties to even: "[-]d.dddddddddddddde±x..".
    char sci[32];
    const char* sciEnd = DoubleToScientific(sci, sci + sizeof sci, value, 14).ptr;
    const bool negative = sci[0] == '-';
    const char* mantissa = sci + (negative ? 1 : 0);
    char digits[15];
    digits[0] = mantissa[0];
    std::memcpy(digits + 1, mantissa + 2, 14);
    int count = 15;
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }
    const char* e = mantissa + 16;
    int exponent = 0;
    std::from_chars(e + 2, sciEnd, exponent);
    exponent = e[1] == '-' ? -exponent : exponent;

    return WriteSignificant(negative, std::string_view(digits, count), exponent, decimalSeparator);
}

} // namespace runetally
