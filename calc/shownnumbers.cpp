#include "shownnumbers.h"

#include "numbers.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace runetally {
namespace {

constexpr std::size_t kSignificant = 15;

std::uint64_t Whole(std::string_view digits) {
    std::uint64_t whole = 0;
    for (char c : digits) {
        whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return whole;
}

// The digits of a decimal as text; none for 0.
std::string Digits(const Decimal& decimal) {
    return decimal.digits == 0 ? std::string() : std::to_string(decimal.digits);
}

// At most 15 digits: leading zeros go; trailing zeros move into the exponent.
Decimal Trimmed(bool negative, std::string_view digits, int exponent) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) {
        return {};
    }
    digits.remove_prefix(first);
    const std::size_t last = digits.find_last_not_of('0');
    exponent += static_cast<int>(digits.size() - last - 1);
    return {negative, Whole(digits.substr(0, last + 1)), exponent};
}

// To 15 significant digits, ties to even; `beyond` tells that something non-zero follows the
// digits given.
Decimal Rounded(bool negative, std::string digits, int exponent, bool beyond = false) {
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, first);
    if (digits.size() > kSignificant) {
        const char next = digits[kSignificant];
        beyond = beyond || digits.find_first_not_of('0', kSignificant + 1) != std::string::npos;
        exponent += static_cast<int>(digits.size() - kSignificant);
        digits.resize(kSignificant);
        const bool odd = (digits.back() - '0') % 2 == 1;
        if (next > '5' || (next == '5' && (beyond || odd))) {
            std::size_t i = digits.size();
            while (i > 0 && digits[i - 1] == '9') {
                digits[--i] = '0';
            }
            if (i == 0) {
                digits.insert(digits.begin(), '1'); // 999... became 1000...
            } else {
                ++digits[i - 1];
            }
        }
    }
    return Trimmed(negative, digits, exponent);
}

// Whether the digits, of equal length, make a smaller whole number.
bool Less(const std::string& a, const std::string& b) {
    return a < b;
}

// a + b or a − b (a ≥ b) on digit strings of equal length, one place wider for a carry.
std::string Add(const std::string& a, const std::string& b) {
    std::string sum(a.size() + 1, '0');
    int carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const int d = (a[i] - '0') + (b[i] - '0') + carry;
        sum[i + 1] = static_cast<char>('0' + d % 10);
        carry = d / 10;
    }
    sum[0] = static_cast<char>('0' + carry);
    return sum;
}

std::string Subtract(const std::string& a, const std::string& b) {
    std::string difference(a.size(), '0');
    int borrow = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        int d = (a[i] - '0') - (b[i] - '0') - borrow;
        borrow = d < 0;
        difference[i] = static_cast<char>('0' + (d < 0 ? d + 10 : d));
    }
    return difference;
}

} // namespace

Decimal ShownDecimal(double value) {
    // FormatNumber's text read back: "[-]digits[.digits][E±xx]".
    const std::string text = FormatNumber(value);
    const bool negative = text.front() == '-';
    std::string digits;
    int scale = 0; // digits after the separator
    bool fraction = false;
    std::size_t i = negative ? 1 : 0;
    for (; i < text.size() && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            fraction = true;
        } else {
            digits += text[i];
            scale += fraction ? 1 : 0;
        }
    }
    int exponent = 0;
    for (std::size_t e = i + 2; e < text.size(); ++e) {
        exponent = exponent * 10 + (text[e] - '0');
    }
    exponent = i + 1 < text.size() && text[i + 1] == '-' ? -exponent : exponent;
    return Trimmed(negative, digits, exponent - scale);
}

Decimal ShownDifference(const Decimal& from, const Decimal& to) {
    if (from.digits == 0 || to.digits == 0) {
        Decimal d = from.digits == 0 ? to : from;
        d.negative = d.digits != 0 && (from.digits == 0 ? d.negative : !d.negative);
        return d;
    }
    // Both as whole numbers of the smaller unit, as long as the longer of the two.
    const int unit = std::min(from.exponent, to.exponent);
    std::string a = Digits(from) + std::string(static_cast<std::size_t>(from.exponent - unit), '0');
    std::string b = Digits(to) + std::string(static_cast<std::size_t>(to.exponent - unit), '0');
    const std::size_t width = std::max(a.size(), b.size());
    a.insert(0, width - a.size(), '0');
    b.insert(0, width - b.size(), '0');
    // to − from = to + (−from).
    const bool fromNegated = !from.negative;
    if (to.negative == fromNegated) {
        return Rounded(to.negative, Add(b, a), unit);
    }
    if (Less(b, a)) {
        return Rounded(fromNegated, Subtract(a, b), unit);
    }
    return Rounded(to.negative, Subtract(b, a), unit);
}

std::optional<Decimal> ShownPercent(const Decimal& difference, const Decimal& of) {
    if (of.digits == 0) {
        return std::nullopt;
    }
    if (difference.digits == 0) {
        return Decimal{};
    }
    // Long division of the digits, one quotient digit for each digit of the dividend and then of
    // the zeros after it, until there are two digits more than are kept: the remainder tells the
    // rest. Both have at most 15 digits, so remainder × 10 + 9 stays below 2^64.
    const std::uint64_t divisor = of.digits;
    const std::string dividend = Digits(difference);
    std::uint64_t remainder = 0;
    std::string quotient;
    std::size_t taken = 0;
    std::size_t significant = 0;
    while (taken < dividend.size() || significant < kSignificant + 2) {
        const std::uint64_t next =
            taken < dividend.size() ? std::uint64_t(dividend[taken] - '0') : 0;
        ++taken;
        remainder = remainder * 10 + next;
        const auto digit = static_cast<char>('0' + remainder / divisor);
        remainder %= divisor;
        if (significant > 0 || digit != '0') {
            quotient += digit;
            ++significant;
        }
    }
    // difference ÷ of = quotient × 10^(digits − taken), times 10^(exponents' difference + 2).
    const int exponent = static_cast<int>(dividend.size()) - static_cast<int>(taken) +
                         difference.exponent - of.exponent + 2;
    return Rounded(difference.negative != of.negative, std::move(quotient), exponent,
                   remainder != 0);
}

std::string DecimalText(const Decimal& decimal, char decimalSeparator) {
    const std::string digits = Digits(decimal);
    const int leading = decimal.exponent + static_cast<int>(digits.size()) - 1;
    return WriteSignificant(decimal.negative, digits, leading, decimalSeparator);
}

std::optional<double> DecimalValue(const Decimal& decimal) {
    if (decimal.digits == 0) {
        return 0.0;
    }
    const std::string text =
        (decimal.negative ? "-" : "") + Digits(decimal) + "E" + std::to_string(decimal.exponent);
    return ParseNumber(text);
}

} // namespace runetally
