#include "damagechart.h"

#include "figuretext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace runetally {
namespace {

constexpr Rgb kInk{32, 32, 32};
constexpr Rgb kAxis{96, 96, 96};
constexpr Rgb kGrid{224, 224, 224};
constexpr Rgb kMark{128, 128, 128};
constexpr Rgb kCrossing{170, 0, 0};

// Room around the plot for the legend above, tick labels left and below, and the axis caption.
constexpr int kLeft = 960;
constexpr int kRight = 240;
constexpr int kTop = 420;
constexpr int kBottom = 600;
constexpr int kTickLength = 60;
constexpr int kGap = 60;
constexpr int kTwipsPerTick = 600; // ticks no closer than 40 pixels at 96 dpi

// One axis: values from low to high onto twips from `from` to `to`.
struct Scale {
    double low;
    double high;
    int from;
    int to;

    int operator()(double value) const {
        return from + static_cast<int>(std::lround((value - low) / (high - low) * (to - from)));
    }
};

std::vector<double> Ticks(double low, double high, double step) {
    constexpr int kMostTicks = 100;
    std::vector<double> ticks;
    for (double k = std::ceil(low / step);
         k * step <= high + step / 1024 && ticks.size() < kMostTicks; ++k) {
        ticks.push_back(k * step == 0 ? 0.0 : k * step); // no "-0"
    }
    return ticks;
}

std::string Number(double value, char separator) {
    return FigureText(value, separator);
}

// A line broken where the calculation fails.
std::vector<ChartPolyline> Pieces(const DamageChartData& data, const ChartSeries& series,
                                  const Scale& x, const Scale& y, Rgb colour) {
    std::vector<ChartPolyline> pieces;
    bool open = false;
    for (std::size_t i = 0; i < data.at.size() && i < series.damage.size(); ++i) {
        if (!series.damage[i]) {
            open = false;
            continue;
        }
        if (!open) {
            pieces.push_back({.points = {}, .colour = colour, .width = 2});
            open = true;
        }
        pieces.back().points.push_back({x(data.at[i]), y(*series.damage[i])});
    }
    return pieces;
}

// "Fireball, from 67.5 to 81.78": the line's damage at the ends of the range, where it has one.
std::string LineInWords(const ChartSeries& series, char separator) {
    std::optional<double> first;
    std::optional<double> last;
    for (const std::optional<double>& damage : series.damage) {
        if (damage) {
            first = first ? first : damage;
            last = damage;
        }
    }
    if (!first) {
        return series.spell + ", no damage in this range";
    }
    return series.spell + ", from " + Number(*first, separator) + " to " + Number(*last, separator);
}

} // namespace

double TickStep(double span, int most) {
    if (!(span > 0) || most < 1) {
        return 1;
    }
    const double least = span / most;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (double factor : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= least) {
            return factor * power;
        }
    }
    return 10 * power;
}

ChartPicture DrawDamageChart(const DamageChartData& data, int width, int height, char separator) {
    if (data.at.size() < 2 || data.lines.empty()) {
        return DrawChartMessage("", width, height);
    }
    ChartPicture picture;
    const double xLow = data.at.front();
    const double xHigh = data.at.back();
    double yLow = 0;
    double yHigh = 0;
    for (const ChartSeries& series : data.lines) {
        for (const std::optional<double>& damage : series.damage) {
            if (damage) {
                yLow = std::min(yLow, *damage);
                yHigh = std::max(yHigh, *damage);
            }
        }
    }
    if (yHigh == yLow) {
        yHigh = yLow + 1;
    }
    const int right = std::max(kLeft + 1, width - kRight);
    const int bottom = std::max(kTop + 1, height - kBottom);
    const double yStep = TickStep(yHigh - yLow, std::max(1, (bottom - kTop) / kTwipsPerTick));
    yLow = std::floor(yLow / yStep) * yStep;
    yHigh = std::ceil(yHigh / yStep) * yStep;
    // Near the largest doubles the axes' spans themselves overflow: nothing could be placed.
    if (!std::isfinite(xHigh - xLow) || !std::isfinite(yHigh - yLow) || !(xHigh > xLow)) {
        return DrawChartMessage("The figures are too large to chart.", width, height);
    }
    const Scale x{xLow, xHigh, kLeft, right};
    const Scale y{yLow, yHigh, bottom, kTop};

    for (double tick : Ticks(yLow, yHigh, yStep)) {
        const int at = y(tick);
        picture.lines.push_back({{kLeft, at}, {right, at}, kGrid});
        picture.lines.push_back({{kLeft - kTickLength, at}, {kLeft, at}, kAxis});
        picture.texts.push_back(
            {{kLeft - kTickLength - kGap, at}, Number(tick, separator), TextAnchor::Right, kInk});
    }
    // Wider apart than on the other axis: the numbers stand side by side.
    const double xStep =
        TickStep(xHigh - xLow, std::max(1, (right - kLeft) / (kTwipsPerTick * 3 / 2)));
    for (double tick : Ticks(xLow, xHigh, xStep)) {
        const int at = x(tick);
        picture.lines.push_back({{at, bottom}, {at, bottom + kTickLength}, kAxis});
        picture.texts.push_back(
            {{at, bottom + kTickLength}, Number(tick, separator), TextAnchor::Top, kInk});
    }
    picture.lines.push_back({{kLeft, kTop}, {kLeft, bottom}, kAxis});
    picture.lines.push_back({{kLeft, bottom}, {right, bottom}, kAxis});
    picture.texts.push_back(
        {{(kLeft + right) / 2, height - kGap / 2}, data.input, TextAnchor::Bottom, kInk});

    const bool marked = data.current && *data.current >= xLow && *data.current <= xHigh;
    if (marked) {
        const int at = x(*data.current);
        picture.lines.push_back({{at, kTop}, {at, bottom}, kMark, 1, true});
    }

    std::string words = "Damage against " + data.input + " from " + Number(xLow, separator) +
                        " to " + Number(xHigh, separator) + ": ";
    for (std::size_t i = 0; i < data.lines.size() && i < kLineColours.size(); ++i) {
        const ChartSeries& series = data.lines[i];
        for (ChartPolyline& piece : Pieces(data, series, x, y, kLineColours[i])) {
            picture.polylines.push_back(std::move(piece));
        }
        // The legend: a stroke of the line's colour before the spell's name.
        const int left = kLeft + static_cast<int>(i) * (right - kLeft) / 2;
        picture.lines.push_back({{left, kTop / 2}, {left + 300, kTop / 2}, kLineColours[i], 2});
        picture.texts.push_back(
            {{left + 300 + kGap, kTop / 2}, series.spell, TextAnchor::Left, kLineColours[i]});
        words += (i == 0 ? "" : "; ") + LineInWords(series, separator);
    }
    words += '.';
    if (marked) {
        words += " The current value, " + Number(*data.current, separator) + ", is marked.";
    }

    for (const ChartCrossing& crossing : data.crossings) {
        const PointTwips at{x(crossing.at), y(crossing.damage)};
        picture.dots.push_back({at, 60, kCrossing});
        // The label stands on the side of the dot with more room.
        const bool leftHalf = at.x < (kLeft + right) / 2;
        picture.texts.push_back({{at.x + (leftHalf ? kGap : -kGap), at.y - kGap},
                                 crossing.label,
                                 leftHalf ? TextAnchor::BottomLeft : TextAnchor::BottomRight,
                                 kCrossing});
        words += ' ' + crossing.label + '.';
    }
    picture.description = std::move(words);
    return picture;
}

ChartPicture DrawChartMessage(std::string_view text, int width, int height) {
    ChartPicture picture;
    if (!text.empty()) {
        picture.texts.push_back(
            {{width / 2, height / 2}, std::string(text), TextAnchor::Centre, kInk});
    }
    picture.description = std::string(text);
    return picture;
}

} // namespace runetally
