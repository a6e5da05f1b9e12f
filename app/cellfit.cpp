#include "cellfit.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <optional>

namespace runetally {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number as the tables write it: sign, digits, a separator and digits, an exponent.
struct Number {
    std::string_view sign;
    std::string_view whole;
    char separator = 0; // 0: none written
    std::string_view fraction;
    std::string_view exponent; // "E+16", or empty
};

std::size_t DigitsFrom(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end;
}

std::optional<Number> ReadNumber(std::string_view text) {
    Number number;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        number.sign = text.substr(0, 1);
        ++at;
    }
    std::size_t end = DigitsFrom(text, at);
    if (end == at) {
        return std::nullopt;
    }
    number.whole = text.substr(at, end - at);
    at = end;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        number.separator = text[at];
        end = DigitsFrom(text, at + 1);
        if (end == at + 1) {
            return std::nullopt;
        }
        number.fraction = text.substr(at + 1, end - at - 1);
        at = end;
    }
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        std::size_t digits = at + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) {
            ++digits;
        }
        end = DigitsFrom(text, digits);
        if (end == digits) {
            return std::nullopt;
        }
        number.exponent = text.substr(at, end - at);
        at = end;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return number;
}

std::string Exponent(int power) {
    const std::string digits = std::to_string(power < 0 ? -power : power);
    return std::string(power < 0 ? "E-" : "E+") + (digits.size() < 2 ? "0" : "") + digits;
}

// The shortened forms of a number, longest first.
std::vector<std::string> NumberForms(const Number& number) {
    std::vector<std::string> forms;
    const std::string sign(number.sign);
    const std::string ellipsis(kCellEllipsis);
    const char separator = number.separator != 0 ? number.separator : '.';
    const std::string digits = std::string(number.whole) + std::string(number.fraction);
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    if (number.exponent.empty()) {
        // Fixed: the whole part stays; fraction digits go while one remains and one significant
        // digit is kept.
        const std::size_t leastFraction =
            std::max<std::size_t>(1, first >= number.whole.size() && first < digits.size()
                                         ? first - number.whole.size() + 1
                                         : 1);
        for (std::size_t kept = number.fraction.size(); kept-- > leastFraction;) {
            forms.push_back(sign + std::string(number.whole) + separator +
                            std::string(number.fraction.substr(0, kept)) + ellipsis);
        }
    }
    if (first == digits.size()) {
        return forms; // zero: nothing to write in scientific form
    }
    // Scientific: one digit before the separator, the exponent kept.
    int power = static_cast<int>(number.whole.size()) - 1 - static_cast<int>(first);
    if (!number.exponent.empty()) {
        power += std::stoi(std::string(number.exponent.substr(1)));
    }
    const std::string significant = digits.substr(first);
    const std::string exponent =
        number.exponent.empty() || first != 0 ? Exponent(power) : std::string(number.exponent);
    for (std::size_t kept = significant.size() - 1; kept >= 2; --kept) {
        forms.push_back(sign + significant.substr(0, 1) + separator +
                        significant.substr(1, kept - 1) + ellipsis + exponent);
    }
    forms.push_back(sign + significant.substr(0, 1) + ellipsis + exponent);
    return forms;
}

// The shortened forms of any other text, longest first: whole characters off its end.
std::vector<std::string> TextForms(std::string_view text) {
    std::vector<std::string> forms;
    std::size_t end = text.size();
    while (end > 0) {
        do {
            --end;
        } while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80);
        if (end > 0) {
            forms.push_back(std::string(text.substr(0, end)) + std::string(kCellEllipsis));
        }
    }
    return forms;
}

std::size_t CodePoints(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::vector<std::string> Forms(std::string_view text) {
    const std::optional<Number> number = ReadNumber(text);
    return number ? NumberForms(*number) : TextForms(text);
}

// The form with the fewest characters; of equals, the first.
std::string Shortest(std::string_view text, const std::vector<std::string>& forms) {
    std::string shortest(text);
    for (const std::string& form : forms) {
        if (CodePoints(form) < CodePoints(shortest)) {
            shortest = form;
        }
    }
    return shortest;
}

} // namespace

std::string FitCell(std::string_view text, const TextFits& fits) {
    if (fits(text)) {
        return std::string(text);
    }
    const std::vector<std::string> forms = Forms(text);
    for (const std::string& form : forms) {
        if (fits(form)) {
            return form;
        }
    }
    return Shortest(text, forms);
}

std::string ShortestCell(std::string_view text) {
    const std::optional<Number> number = ReadNumber(text);
    return number ? Shortest(text, NumberForms(*number)) : std::string(text);
}

std::vector<int> FitColumns(std::span<const int> wanted, std::span<const int> least, int room) {
    std::vector<int> widths(wanted.begin(), wanted.end());
    const auto total = [&] { return std::accumulate(widths.begin(), widths.end(), 0); };
    if (widths.empty() || total() <= room) {
        return widths;
    }
    const auto floorOf = [&](std::size_t i) {
        return std::min(wanted[i], i < least.size() ? least[i] : wanted[i]);
    };
    const auto capped = [&](int cap) {
        int sum = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            sum += std::min(wanted[i], std::max(floorOf(i), cap));
        }
        return sum;
    };
    // The largest cap on the widths at which the table fits.
    int low = 0;
    int high = *std::max_element(wanted.begin(), wanted.end());
    while (low < high) {
        const int cap = (low + high + 1) / 2;
        if (capped(cap) <= room) {
            low = cap;
        } else {
            high = cap - 1;
        }
    }
    int spare = room - capped(low);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        widths[i] = std::min(wanted[i], std::max(floorOf(i), low));
        if (spare > 0 && widths[i] == low && widths[i] < wanted[i]) {
            ++widths[i];
            --spare;
        }
    }
    return widths;
}

} // namespace runetally
