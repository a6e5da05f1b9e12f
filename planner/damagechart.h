#pragma once

#include "chartpicture.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace runetally {

// One spell's damage along the chart's input, at each of the chart's points; none where the
// calculation fails.
struct ChartSeries {
    std::string spell;
    std::vector<std::optional<double>> damage;
};

// Where one line passes the other.
struct ChartCrossing {
    double at = 0;     // the input's value
    double damage = 0; // where the dot stands
    std::string label; // "Fireball passes Meteor at 137"
};

// What the damage chart shows: damage against one input over a range of its values.
struct DamageChartData {
    std::string input;              // the input's caption, "Inteligence"
    std::vector<double> at;         // the input's values, ascending, first and last the range
    std::vector<ChartSeries> lines; // one or two: the chosen spell first
    std::optional<double> current;  // marked where it lies in the range
    std::vector<ChartCrossing> crossings;
};

// The colours of the chart's two lines, the chosen spell's first.
inline constexpr std::array<Rgb, 2> kLineColours{Rgb{0, 90, 180}, Rgb{215, 95, 0}};

// The step between ticks on an axis that spans `span` with at most `most` steps: 1, 2 or 5
// times a power of ten, the least that needs no more steps than that.
double TickStep(double span, int most);

// The chart drawn into a rectangle of that size in twips, numbers written with the separator;
// its description says the same in words.
ChartPicture DrawDamageChart(const DamageChartData& data, int width, int height, char separator);

// A chart that shows one line of text in place of the figures, and says it.
ChartPicture DrawChartMessage(std::string_view text, int width, int height);

} // namespace runetally
