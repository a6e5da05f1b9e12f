#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace runetally {

// Figures worked out from numbers as the player sees them: each written to 15 significant digits
// (FormatNumber), so that subtracting the two numbers on screen gives the figure shown. The
// arithmetic is done exactly on the decimal digits, never in doubles, and rounds once.

// A decimal of at most 15 significant digits: digits × 10^exponent, the digits a whole number
// without trailing zeros (0 for 0).
struct Decimal {
    bool negative = false;
    std::uint64_t digits = 0;
    int exponent = 0;

    bool operator==(const Decimal&) const = default;
};

// The number FormatNumber writes for a finite value, exactly.
Decimal ShownDecimal(double value);

// to − from exactly, rounded to 15 significant digits, ties to even.
Decimal ShownDifference(const Decimal& from, const Decimal& to);

// difference ÷ of × 100, rounded to 15 significant digits, ties to even; none when `of` is 0.
std::optional<Decimal> ShownPercent(const Decimal& difference, const Decimal& of);

// Written as FormatNumber writes a number (the decimal holds at most 15 digits).
std::string DecimalText(const Decimal& decimal, char decimalSeparator = '.');

// The double nearest the decimal; none beyond the largest double.
std::optional<double> DecimalValue(const Decimal& decimal);

} // namespace runetally
