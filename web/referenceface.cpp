#include "referenceface.h"

#include <array>
#include <cmath>
#include <string>

namespace runetally::web {
namespace {

constexpr int kUnitsPerEm = 2048;
constexpr double kCssDpi = 96;
constexpr double kLineSpacing = 1.25; // the labels' line height, as the style sheet sets it

// DejaVu Sans's advance widths of ' ' to '~', in font units; others as an 'M'.
constexpr std::array<short, 95> kAdvances{
    651,  821,  942,  1716, 1303, 1946, 1597, 563,  799,  799,  1024, 1716, 651,  739,  651,  690,
    1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 690,  690,  1716, 1716, 1716, 1087,
    2048, 1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604,  604,  1343, 1141, 1767, 1532, 1612,
    1235, 1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403, 799,  690,  799,  1716, 1024,
    1024, 1255, 1300, 1126, 1300, 1260, 721,  1300, 1298, 569,  569,  1186, 569,  1995, 1298, 1253,
    1300, 1300, 842,  1067, 803,  1298, 1212, 1675, 1212, 1212, 1075, 1303, 690,  1303, 1716};

} // namespace

int ReferenceFaceMeasure::width(std::string_view text, double points) {
    long units = 0;
    for (const char c : text) {
        units += c >= ' ' && c <= '~' ? kAdvances[static_cast<std::size_t>(c - ' ')] : 1767;
    }
    return static_cast<int>(std::ceil(units * (points * kCssDpi / 72) / kUnitsPerEm));
}

int ReferenceFaceMeasure::wrappedHeight(std::string_view text, double points, int width) {
    return PageWrappedHeight(*this, text, points, width);
}

int PageWrappedHeight(TextMeasure& measure, std::string_view text, double points, int width) {
    int lines = 0;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string word(text.substr(start, end - start));
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure.width(longer, points) > width) {
            ++lines;
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    lines += line.empty() ? 0 : 1;
    return static_cast<int>(std::ceil(lines * points * kCssDpi / 72 * kLineSpacing));
}

} // namespace runetally::web
