#include "damagechart.h"

#include "figuretext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace runetally {
namespace {

constexpr Rgb kInk{32, 32, 32};
constexpr Rgb kAxis{96, 96, 96};
constexpr Rgb kGrid{224, 224, 224};
constexpr Rgb kMark{128, 128, 128};
constexpr Rgb kCrossing{170, 0, 0};

// Room around the plot for the legend above, tick labels left and below, and the axis caption.
constexpr int kLeftLeast = 960; // the plot's left edge at least
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

// A tick's value, short: ticks are round, and from a million up, or below 0.0001, with an
// exponent ("1E+07", "2.5E-06"), so that every label fits beside its axis.
std::string TickText(double value, char separator) {
    const double size = std::fabs(value);
    if (size == 0 || (size < 1e6 && size >= 1e-4)) {
        return RoundedText(value, 15, separator);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2E", value); // "-2.50E+07"
    const char* exponent = std::strchr(text, 'E');
    if (exponent == nullptr) {
        return text; // not finite: never a tick of a chart drawn
    }
    std::string mantissa(static_cast<const char*>(text), exponent);
    while (mantissa.back() == '0') {
        mantissa.pop_back();
    }
    if (mantissa.back() == '.') {
        mantissa.pop_back();
    }
    std::replace(mantissa.begin(), mantissa.end(), '.', separator);
    return mantissa + exponent;
}

// Room for the widest tick label left of the plot, at about 8 pixels a character.
constexpr int kTwipsPerCharacter = 120;
// A label's width, estimated: about 7 pixels a character of the user-interface face.
constexpr int kTwipsPerLabelCharacter = 105;

// A line broken where the calculation fails, and cut where it leaves the plot.
std::vector<ChartPolyline> Pieces(const DamageChartData& data, const ChartSeries& series,
                                  const Scale& x, const Scale& y, Rgb colour, bool dashed) {
    std::vector<ChartPolyline> pieces;
    bool open = false;
    std::optional<std::pair<double, double>> last;
    const auto add = [&](double at, double damage, bool starts) {
        if (starts || !open) {
            pieces.push_back({.points = {}, .colour = colour, .width = 2, .dashed = dashed});
            open = true;
        }
        pieces.back().points.push_back({x(at), y(damage)});
    };
    for (std::size_t i = 0; i < data.at.size() && i < series.damage.size(); ++i) {
        if (!series.damage[i]) {
            open = false;
            last.reset();
            continue;
        }
        const double at = data.at[i];
        const double damage = *series.damage[i];
        if (!last) {
            if (damage >= y.low && damage <= y.high) {
                add(at, damage, true);
            }
            last = {at, damage};
            continue;
        }
        // The part of the step from the last point to this one that lies within the plot.
        const double fromAt = last->first; // not a structured binding: the lambda takes it
        const double fromDamage = last->second;
        last = {at, damage};
        const double rise = damage - fromDamage;
        double enter = 0;
        double leave = 1;
        if (!std::isfinite(rise)) {
            open = false;
            continue;
        }
        if (rise != 0) {
            const double a = (y.low - fromDamage) / rise;
            const double b = (y.high - fromDamage) / rise;
            enter = std::max(0.0, std::min(a, b));
            leave = std::min(1.0, std::max(a, b));
        } else if (damage < y.low || damage > y.high) {
            enter = 1;
            leave = 0;
        }
        if (enter > leave) {
            open = false;
            continue;
        }
        const auto point = [&](double t) {
            return std::pair{fromAt + (at - fromAt) * t, fromDamage + rise * t};
        };
        const auto [startAt, startDamage] = point(enter);
        if (enter > 0 || !open) {
            add(startAt, startDamage, true);
        }
        const auto [endAt, endDamage] = point(leave);
        add(endAt, endDamage, false);
        open = leave == 1;
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

// From 0, and through every point, but where a few points shoot far off (a pole, as the resist
// nears 0) the range keeps to where nearly all of them lie, so that the lines the player reads
// are not flattened; the crossings always show.
std::pair<double, double> DamageRange(const DamageChartData& data) {
    std::vector<double> values;
    for (const ChartSeries& series : data.lines) {
        for (const std::optional<double>& damage : series.damage) {
            if (damage) {
                values.push_back(*damage);
            }
        }
    }
    if (values.empty()) {
        return {0, 0};
    }
    std::sort(values.begin(), values.end());
    const auto share = [&](double part) {
        return values[static_cast<std::size_t>(std::lround(part * (values.size() - 1)))];
    };
    double low = std::min(0.0, values.front());
    double high = std::max(0.0, values.back());
    const double lowShare = share(0.05);
    const double highShare = share(0.95);
    const double span = highShare - lowShare;
    if (span > 0 && std::isfinite(span)) {
        if (high > highShare + 3 * span) {
            high = std::max(0.0, highShare + span / 2);
        }
        if (low < lowShare - 3 * span) {
            low = std::min(0.0, lowShare - span / 2);
        }
    }
    for (const ChartCrossing& crossing : data.crossings) {
        low = std::min(low, crossing.damage);
        high = std::max(high, crossing.damage);
    }
    return {low, high};
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
    auto [yLow, yHigh] = DamageRange(data);
    if (yHigh == yLow) {
        yHigh = yLow + 1;
    }
    const int bottom = std::max(kTop + 1, height - kBottom);
    const double yStep = TickStep(yHigh - yLow, std::max(1, (bottom - kTop) / kTwipsPerTick));
    yLow = std::floor(yLow / yStep) * yStep;
    yHigh = std::ceil(yHigh / yStep) * yStep;
    // Near the largest doubles the axes' spans themselves overflow: nothing could be placed.
    if (!std::isfinite(xHigh - xLow) || !std::isfinite(yHigh - yLow) || !(xHigh > xLow)) {
        return DrawChartMessage("The figures are too large to chart.", width, height);
    }
    std::size_t widest = 0;
    for (double tick : Ticks(yLow, yHigh, yStep)) {
        widest = std::max(widest, TickText(tick, separator).size());
    }
    const int plotLeft = std::max(kLeftLeast, static_cast<int>(widest) * kTwipsPerCharacter +
                                                  kTickLength + 2 * kGap);
    const int right = std::max(plotLeft + 1, width - kRight);
    const Scale x{xLow, xHigh, plotLeft, right};
    const Scale y{yLow, yHigh, bottom, kTop};

    for (double tick : Ticks(yLow, yHigh, yStep)) {
        const int at = y(tick);
        picture.lines.push_back({{plotLeft, at}, {right, at}, kGrid});
        picture.lines.push_back({{plotLeft - kTickLength, at}, {plotLeft, at}, kAxis});
        picture.texts.push_back({{plotLeft - kTickLength - kGap, at},
                                 TickText(tick, separator),
                                 TextAnchor::Right,
                                 kInk});
    }
    // Wider apart than on the other axis: the numbers stand side by side.
    const double xStep =
        TickStep(xHigh - xLow, std::max(1, (right - plotLeft) / (kTwipsPerTick * 3 / 2)));
    for (double tick : Ticks(xLow, xHigh, xStep)) {
        const int at = x(tick);
        picture.lines.push_back({{at, bottom}, {at, bottom + kTickLength}, kAxis});
        picture.texts.push_back(
            {{at, bottom + kTickLength}, TickText(tick, separator), TextAnchor::Top, kInk});
    }
    // The y-axis's caption, above its labels and left of the legend.
    picture.texts.push_back({{kGap, kTop - kGap}, "Damage", TextAnchor::BottomLeft, kInk});
    picture.lines.push_back({{plotLeft, kTop}, {plotLeft, bottom}, kAxis});
    picture.lines.push_back({{plotLeft, bottom}, {right, bottom}, kAxis});
    picture.texts.push_back(
        {{(plotLeft + right) / 2, height - kGap / 2}, data.input, TextAnchor::Bottom, kInk});

    const bool marked = data.current && *data.current >= xLow && *data.current <= xHigh;
    if (marked) {
        const int at = x(*data.current);
        picture.lines.push_back({{at, kTop}, {at, bottom}, kMark, 1, true});
    }

    std::string words = "Damage against " + data.input + " from " + Number(xLow, separator) +
                        " to " + Number(xHigh, separator) + ": ";
    for (std::size_t i = 0; i < data.lines.size() && i < kLineColours.size(); ++i) {
        const ChartSeries& series = data.lines[i];
        // The second line dashed: where the two are equal, the first still shows through.
        const bool dashed = i == 1;
        for (ChartPolyline& piece : Pieces(data, series, x, y, kLineColours[i], dashed)) {
            picture.polylines.push_back(std::move(piece));
        }
        // The legend: a stroke of the line's colour and dashes before the spell's name.
        const int left = plotLeft + static_cast<int>(i) * (right - plotLeft) / 2;
        picture.lines.push_back(
            {{left, kTop / 2}, {left + 300, kTop / 2}, kLineColours[i], 2, dashed});
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
        // The label stands on the side of the dot with more room; where it is longer than that
        // room, from the plot's left edge, so that it never runs out of the chart.
        const bool leftHalf = at.x < (plotLeft + right) / 2;
        const int room = leftHalf ? right - at.x - kGap : at.x - kGap - plotLeft;
        const bool fits = static_cast<int>(crossing.label.size()) * kTwipsPerLabelCharacter <= room;
        const int from = !fits ? plotLeft + kGap : at.x + (leftHalf ? kGap : -kGap);
        picture.texts.push_back(
            {{from, at.y - kGap},
             crossing.label,
             !fits || leftHalf ? TextAnchor::BottomLeft : TextAnchor::BottomRight,
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
