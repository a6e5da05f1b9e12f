#pragma once

#include "damage.h"
#include "shownnumbers.h"

#include <optional>
#include <string>

namespace runetally {

// A figure worked out from the calculation's results (a gain, a difference, a percent), checked
// as the calculation checks each of its own steps: an infinite result is an Overflow, and one
// that is no number an InvalidOperation.
DamageValue Checked(double value);

// The one text of every figure the planner and the tables show: a number as the result box
// writes it, a failure as the damage table shows it ("ArithmeticFault: Overflow"). A number
// that is not finite is shown as the failure Checked makes of it, so no figure can fail to
// be written.
std::string FigureText(const DamageValue& value, char separator);

// The same for a figure worked out on the decimal digits: a number is written from its decimal,
// where it has one.
std::string FigureText(const DamageValue& value, const std::optional<Decimal>& written,
                       char separator);

// A percent to a tenth, which tells spells apart where fifteen digits would not help. From
// 2^52 up a double holds no fraction, so it is written as it is; and that is the only way a
// percent too large to be multiplied by ten is written.
std::string TenthsText(double percent, char separator);

// A spell's damage in percent of the best's, as TenthsText writes it; but "100" only for exactly
// 100, which a quotient of two doubles is only when they are equal: a spell below the best gets
// as many more decimals as it takes not to read 100 ("99.99").
std::string ShareOfBestText(double percent, char separator);

// A finite number rounded to `digits` significant digits, written as the result box writes
// numbers (plain from 0.0001 up to 10^15, with an exponent outside), trailing zeros left out.
std::string RoundedText(double value, int digits, char separator);

// Where a chart's lines cross: to four significant digits, or as many more as it takes not to
// read as the input's current value.
std::string CrossingText(double at, double current, char separator);

} // namespace runetally
