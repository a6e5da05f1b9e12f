#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// Whether a cell's text fits the room it has, as a front end measures it in its own font.
using TextFits = std::function<bool(std::string_view text)>;

// What marks a cell's text as shortened.
inline constexpr std::string_view kCellEllipsis = "\xE2\x80\xA6";

// The text a table cell shows in its room: the text itself when it fits. A number
// ("-1.11022302462516E-16", "169,357142857143") loses digits at the end of its mantissa, never
// its sign, its leading digit or its exponent: the fixed form first, down to one digit after the
// separator and one significant digit, then the scientific form, down to "-1…E-16". The digits
// dropped are cut, never rounded, so a shortened number never reads as more than it is. Any
// other text loses characters at its end. When nothing fits, the shortest form.
std::string FitCell(std::string_view text, const TextFits& fits);

// The shortest text FitCell makes of the text: the least room its column needs. Words, such
// as a spell's name, are kept whole: the numbers give way.
std::string ShortestCell(std::string_view text);

// The widths of a table's columns in `room`: each its `wanted` width when all fit; else the
// widest columns give up width alike, each down to its `least`, until the table fits; any
// pixel left over goes to the leftmost of them. When even the least widths do not fit, those.
std::vector<int> FitColumns(std::span<const int> wanted, std::span<const int> least, int room);

} // namespace runetally
