#include "damagebounds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace runetally {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kTiniest = std::numeric_limits<double>::denorm_min();
// Each rounding is within half a unit in the last place: 2^-53 of the result. The bounds of
// errors and slopes are worked out in rounded arithmetic too, so each is widened by more.
const double kUnit = std::ldexp(1.0, -52);
const double kWiden = std::ldexp(1.0, -45);

double Up(double x) {
    return std::isinf(x) ? x : x + std::abs(x) * kWiden + kTiniest;
}

double Down(double x) {
    return std::isinf(x) ? x : x - std::abs(x) * kWiden - kTiniest;
}

// A range of values, both ends included.
struct Interval {
    double lo;
    double hi;
};

Interval Widened(double lo, double hi) {
    if (std::isnan(lo) || std::isnan(hi)) {
        return {-kInfinity, kInfinity};
    }
    return {Down(lo), Up(hi)};
}

Interval operator+(Interval x, Interval y) {
    return Widened(x.lo + y.lo, x.hi + y.hi);
}

Interval operator-(Interval x, Interval y) {
    return Widened(x.lo - y.hi, x.hi - y.lo);
}

bool IsZero(Interval x) {
    return x.lo == 0 && x.hi == 0;
}

// A term that does not depend on the input is 0, whatever it is multiplied by.
Interval operator*(Interval x, Interval y) {
    if (IsZero(x) || IsZero(y)) {
        return {0, 0};
    }
    const auto [lo, hi] = std::minmax({x.lo * y.lo, x.lo * y.hi, x.hi * y.lo, x.hi * y.hi});
    return Widened(lo, hi);
}

// y must not hold 0.
Interval operator/(Interval x, Interval y) {
    if (IsZero(x)) {
        return {0, 0};
    }
    const auto [lo, hi] = std::minmax({x.lo / y.lo, x.lo / y.hi, x.hi / y.lo, x.hi / y.hi});
    return Widened(lo, hi);
}

// One step's value over the range of the input: the rounded results from lo to hi; how far they
// may lie from the exact step's; and the exact step's slope against the input.
struct Span {
    double lo;
    double hi;
    double error = 0;
    Interval slope{0, 0};

    double largest() const { return std::max(std::abs(lo), std::abs(hi)); }
    double smallest() const { return lo > 0 ? lo : hi < 0 ? -hi : 0; }
    // Where the step is exact, as the input and the constants are, so is the range.
    Interval exact() const {
        return error == 0 ? Interval{lo, hi} : Interval{Down(lo - error), Up(hi + error)};
    }
};

Span Point(double value) {
    return {value, value};
}

// The calculation's steps over spans of operands, in the order and with the failures of
// EvaluateSpell: a step that overflows or divides by zero for every value fails the spell; one
// that may do so for some leaves the outcome open.
class Bounder {
public:
    Bounder(const ParsedInputs& inputs, Field input, double lo, double hi)
        : inputs_(inputs), input_(input), range_{lo, hi, 0, {1, 1}} {}

    Span convert(Field field) {
        if (field == input_) {
            return range_;
        }
        if (!inputs_[field]) {
            fails_ = true; // a box that holds no number fails the spell whatever the value
            return Point(0);
        }
        return Point(*inputs_[field]);
    }

    Span add(Span x, Span y) {
        Span z = corners(x, y, [](double a, double b) { return a + b; });
        // A sum is exact where it is subnormal: no absolute part.
        z.error = Up(x.error + y.error + kUnit * z.largest());
        z.slope = x.slope + y.slope;
        return z;
    }
    Span mul(Span x, Span y) {
        Span z = corners(x, y, [](double a, double b) { return a * b; });
        z.error = Up(x.largest() * y.error + y.largest() * x.error + x.error * y.error +
                     kUnit * z.largest() + kTiniest);
        z.slope = x.slope * y.exact() + x.exact() * y.slope;
        return z;
    }
    Span div(Span x, Span y) {
        if (y.lo == 0 && y.hi == 0 && !open_) {
            fails_ = true;
            return Point(0);
        }
        if (y.lo <= 0 && y.hi >= 0) {
            open_ = true; // 0 lies between: some value divides by it
            return {-kInfinity, kInfinity};
        }
        Span z = corners(x, y, [](double a, double b) { return a / b; });
        // The exact divisor lies at least this far from 0.
        const double least = y.error == 0 ? y.smallest() : Down(y.smallest() - y.error);
        if (least > 0) {
            const double divisorPart =
                y.error == 0 ? 0 : (x.largest() / y.smallest()) * (y.error / least);
            z.error = Up(x.error / least + divisorPart + kUnit * z.largest() + kTiniest);
            const Interval divisor = y.exact();
            z.slope = x.slope / divisor - x.exact() * y.slope / (divisor * divisor);
        } else {
            z.error = kInfinity;
            z.slope = {-kInfinity, kInfinity};
        }
        return z;
    }

    DamageBounds result(const Span& value) const {
        if (fails_) {
            return {DamageBounds::Kind::Fails};
        }
        if (open_) {
            return {DamageBounds::Kind::Either};
        }
        const bool told =
            !std::isnan(value.error) && !std::isnan(value.slope.lo) && !std::isnan(value.slope.hi);
        return {DamageBounds::Kind::Succeeds,
                value.lo,
                value.hi,
                told ? value.error : kInfinity,
                told ? value.slope.lo : -kInfinity,
                told ? value.slope.hi : kInfinity};
    }

private:
    // Each step is monotonic in each operand while the other is held, so the rounded results at
    // the corners of the box bound those inside it.
    template <class Op> Span corners(Span x, Span y, Op op) {
        const auto [lo, hi] =
            std::minmax({op(x.lo, y.lo), op(x.lo, y.hi), op(x.hi, y.lo), op(x.hi, y.hi)});
        if (std::isinf(lo) || std::isinf(hi)) {
            // Past a step that may already have failed the spans mean nothing more.
            if (!open_ && lo == hi) {
                fails_ = true; // every value overflows here
            }
            open_ = true;
        }
        return {lo, hi};
    }

    const ParsedInputs& inputs_;
    Field input_;
    Span range_;
    bool fails_ = false;
    bool open_ = false;
};

} // namespace

DamageBounds BoundDamage(const SpellFormula& row, const ParsedInputs& inputs, Field input,
                         double lo, double hi) {
    Bounder in(inputs, input, lo, hi);
    auto c = [](double constant) { return Point(constant); };
    auto statPart = [&](Span stat) {
        const Span quotient = in.div(stat, c(row.divisor));
        return row.bonus ? in.add(quotient, c(*row.bonus)) : quotient;
    };
    auto timesPowerOverResist = [&](Span running) {
        running = in.mul(in.convert(PowerField(row.element)), running);
        return in.div(running, in.convert(Field::varResist));
    };

    Span value = c(0);
    switch (row.kind) {
    case FormulaKind::OneStat:
        value = timesPowerOverResist(statPart(in.convert(row.stat)));
        if (row.tailScale) {
            value = in.div(in.mul(value, c(15)), c(20));
        }
        break;
    case FormulaKind::TwoStats: {
        const Span intPart = statPart(in.convert(Field::varInt));
        const Span wisPart = in.div(in.convert(Field::varWis), c(row.divisor));
        value = timesPowerOverResist(in.add(intPart, wisPart));
        break;
    }
    case FormulaKind::FixedOverInput:
        value = in.div(c(row.fixedValue), in.convert(row.overInput));
        break;
    case FormulaKind::StatOnly:
        value = statPart(in.convert(row.stat));
        break;
    case FormulaKind::LevelScaled: {
        const Span stat = in.convert(row.stat);
        const Span running = in.mul(stat, timesPowerOverResist(statPart(stat)));
        const Span level = in.convert(Field::varLevel);
        value = in.div(running, in.add(in.add(level, level), c(20)));
        break;
    }
    }
    return in.result(value);
}

bool AlwaysBelow(const DamageBounds& b, const DamageBounds& a, double damageB, double damageA,
                 double lo, double c, double hi) {
    if (a.kind != DamageBounds::Kind::Succeeds || b.kind != DamageBounds::Kind::Succeeds) {
        return false;
    }
    // a − b exactly at c, at least; then over the range, less what the slopes can take away.
    const double gap = Down(damageA - damageB);
    const double slopes =
        Up(std::max(std::abs(a.slopeMost - b.slopeLeast), std::abs(a.slopeLeast - b.slopeMost)));
    const double reach = Up(std::max(c - lo, hi - c));
    const double lost = Up(Up(2 * (a.error + b.error)) + Up(slopes * reach));
    return gap > lost; // false for NaN
}

} // namespace runetally
