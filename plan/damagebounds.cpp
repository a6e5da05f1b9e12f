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

// A range of slopes as two mantissas times one power of two. A step's slope is the product of
// its constants, which can lie far beyond the doubles (a power of 1e-300 over a resist of 1e-320)
// while the damage's own slope is an ordinary number; plain doubles would lose it.
struct Slope {
    double lo = 0;
    double hi = 0;
    int exponent = 0;
};

constexpr Slope kAnySlope{-kInfinity, kInfinity, 0};

bool Told(const Slope& s) {
    return std::isfinite(s.lo) && std::isfinite(s.hi);
}

// Mantissas kept within 2^±400 by a power of two, so that products and quotients of two never
// leave the doubles; widened for the rounding that made them.
Slope Normal(double lo, double hi, long exponent) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        return kAnySlope;
    }
    const double largest = std::max(std::abs(lo), std::abs(hi));
    if (largest == 0) {
        return {};
    }
    int shift = 0;
    if (largest > 0x1p400 || largest < 0x1p-400) {
        shift = std::ilogb(largest);
        lo = std::ldexp(lo, -shift);
        hi = std::ldexp(hi, -shift);
    }
    exponent += shift;
    if (exponent > 1'000'000 || exponent < -1'000'000) {
        return kAnySlope;
    }
    return {Down(lo), Up(hi), static_cast<int>(exponent)};
}

Slope Scaled(Interval x) {
    return Normal(x.lo, x.hi, 0);
}

Slope operator*(Slope x, Interval value) {
    const Slope y = Scaled(value);
    if (!Told(x) || !Told(y)) {
        return kAnySlope;
    }
    const auto [lo, hi] = std::minmax({x.lo * y.lo, x.lo * y.hi, x.hi * y.lo, x.hi * y.hi});
    return lo == 0 && hi == 0 ? Slope{} : Normal(lo, hi, long{x.exponent} + y.exponent);
}

// The value must not hold 0.
Slope operator/(Slope x, Interval value) {
    const Slope y = Scaled(value);
    if (!Told(x) || !Told(y)) {
        return kAnySlope;
    }
    if (x.lo == 0 && x.hi == 0) {
        return {};
    }
    const auto [lo, hi] = std::minmax({x.lo / y.lo, x.lo / y.hi, x.hi / y.lo, x.hi / y.hi});
    return Normal(lo, hi, long{x.exponent} - y.exponent);
}

// The smaller brought to the larger's power of two: what it loses there is below the widening.
Slope operator+(Slope x, Slope y) {
    if (!Told(x) || !Told(y)) {
        return kAnySlope;
    }
    if (x.lo == 0 && x.hi == 0) {
        return y;
    }
    if (y.lo == 0 && y.hi == 0) {
        return x;
    }
    const int exponent = std::max(x.exponent, y.exponent);
    const auto at = [&](double m, int e) {
        return e == exponent ? m : std::ldexp(m, e - exponent);
    };
    return Normal(at(x.lo, x.exponent) + at(y.lo, y.exponent),
                  at(x.hi, x.exponent) + at(y.hi, y.exponent), exponent);
}

Slope operator-(Slope x, Slope y) {
    return x + Slope{-y.hi, -y.lo, y.exponent};
}

Interval Plain(Slope s) {
    if (!Told(s)) {
        return {-kInfinity, kInfinity};
    }
    if (s.exponent == 0) {
        return {s.lo, s.hi};
    }
    return Widened(std::ldexp(s.lo, s.exponent), std::ldexp(s.hi, s.exponent));
}

// One step's value over the range of the input: the rounded results from lo to hi; how far they
// may lie from the exact step's; and the exact step's slope against the input.
struct Span {
    double lo;
    double hi;
    double error = 0;
    Slope slope{};
    bool variable = false; // depends on the input
    bool input = false;    // is the input itself

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
    Bounder(const ParsedInputs& inputs, Field input, double lo, double hi, bool precise)
        : inputs_(inputs), input_(input), range_{lo, hi, 0, {1, 1, 0}, true, true},
          precise_(precise) {}

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
        follow('+', x, y, z);
        if (precise_) {
            // A sum is exact where it is subnormal: no absolute part.
            z.error = Up(x.error + y.error + kUnit * z.largest());
            z.slope = x.slope + y.slope;
        }
        return z;
    }
    Span mul(Span x, Span y) {
        Span z = corners(x, y, [](double a, double b) { return a * b; });
        follow('*', x, y, z);
        if (precise_) {
            z.error = Up(x.largest() * y.error + y.largest() * x.error + x.error * y.error +
                         kUnit * z.largest() + kTiniest);
            z.slope = x.slope * y.exact() + y.slope * x.exact();
        }
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
        follow('/', x, y, z);
        if (!precise_) {
            return z;
        }
        // The exact divisor lies at least this far from 0.
        const double least = y.error == 0 ? y.smallest() : Down(y.smallest() - y.error);
        if (least > 0) {
            const double divisorPart =
                y.error == 0 ? 0 : (x.largest() / y.smallest()) * (y.error / least);
            z.error = Up(x.error / least + divisorPart + kUnit * z.largest() + kTiniest);
            const Interval divisor = y.exact();
            z.slope = x.slope / divisor - y.slope * x.exact() / divisor / divisor;
        } else {
            z.error = kInfinity;
            z.slope = kAnySlope;
        }
        return z;
    }

    DamageBounds result(const Span& value) const {
        DamageBounds bounds;
        if (fails_ || open_) {
            bounds.kind = fails_ ? DamageBounds::Kind::Fails : DamageBounds::Kind::Either;
            return bounds;
        }
        const Interval slope = Plain(value.slope);
        const bool told =
            precise_ && !std::isnan(value.error) && !std::isnan(slope.lo) && !std::isnan(slope.hi);
        bounds.kind = DamageBounds::Kind::Succeeds;
        bounds.least = value.lo;
        bounds.most = value.hi;
        bounds.error = told ? value.error : kInfinity;
        bounds.slopeLeast = told ? slope.lo : -kInfinity;
        bounds.slopeMost = told ? slope.hi : kInfinity;
        if (!broken_ && chain_.count > 0) {
            bounds.chain = chain_;
            bounds.chain.known = true;
        }
        return bounds;
    }

private:
    // Records the steps from where the input enters: a value that does not depend on it times,
    // plus or divided by the input, then the result of each step with a constant or the input.
    // Anything else (the input twice, the input as a dividend) has no such chain.
    void follow(char op, const Span& x, const Span& y, Span& z) {
        z.variable = x.variable || y.variable;
        if (!z.variable || broken_) {
            return;
        }
        const bool running = x.variable && !x.input && !y.variable;
        const bool entering = chain_.count == 0 && !(x.variable && y.variable) &&
                              (op == '/' ? y.input : x.input || y.input);
        if (chain_.count < static_cast<int>(chain_.steps.size()) && entering) {
            chain_.head = x.input ? y.lo : x.lo;
            chain_.steps[static_cast<std::size_t>(chain_.count++)] = {op, true, 0};
        } else if (chain_.count > 0 && chain_.count < static_cast<int>(chain_.steps.size()) &&
                   (running || (op != '/' && y.variable && !y.input && !x.variable))) {
            chain_.steps[static_cast<std::size_t>(chain_.count++)] = {op, false,
                                                                      running ? y.lo : x.lo};
        } else {
            broken_ = true;
        }
    }

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
    bool precise_;
    DamageBounds::Chain chain_;
    bool broken_ = false;
};

} // namespace

DamageBounds BoundDamage(const SpellFormula& row, const ParsedInputs& inputs, Field input,
                         double lo, double hi, bool precise) {
    Bounder in(inputs, input, lo, hi, precise);
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
    // a − b exactly at c, at least; then on either side of c, less what the slope of the
    // difference can take away there: only a falling slope above c, a rising one below it.
    const double gap = Down(damageA - damageB);
    const double fallingSlope = Up(std::max(0.0, b.slopeMost - a.slopeLeast));
    const double risingSlope = Up(std::max(0.0, a.slopeMost - b.slopeLeast));
    const double taken = std::max(Up(fallingSlope * Up(hi - c)), Up(risingSlope * Up(c - lo)));
    const double lost = Up(Up(2 * (a.error + b.error)) + taken);
    return gap > lost; // false for NaN
}

bool BelowAlongTheSameSteps(const DamageBounds& b, const DamageBounds& a, double lo, double hi) {
    if (a.kind != DamageBounds::Kind::Succeeds || b.kind != DamageBounds::Kind::Succeeds ||
        !a.chain.known || !b.chain.known || a.chain.count != b.chain.count ||
        !std::equal(a.chain.steps.begin(), a.chain.steps.begin() + a.chain.count,
                    b.chain.steps.begin())) {
        return false;
    }
    // How far a's value lies above b's after each step (negative: below), at least, and how
    // large either may be: each step scales the gap by its operand, and its rounding of each
    // value can take away half a unit in the last place and the least subnormal.
    const double first = a.chain.head - b.chain.head;
    double sign = first > 0 ? 1 : -1;
    double gap = Down(std::abs(first));
    double largest = Up(std::max(std::abs(a.chain.head), std::abs(b.chain.head)));
    for (int i = 0; i < a.chain.count && gap > 0; ++i) {
        const DamageBounds::Step& step = a.chain.steps[static_cast<std::size_t>(i)];
        const double from = step.input ? lo : step.constant;
        const double to = step.input ? hi : step.constant;
        if (step.op != '+') {
            if (!(from > 0 || to < 0)) {
                return false; // a factor of 0 between can make the two equal
            }
            sign = from > 0 ? sign : -sign;
        }
        const double least = std::min(std::abs(from), std::abs(to));
        const double most = std::max(std::abs(from), std::abs(to));
        switch (step.op) {
        case '*':
            gap = Down(gap * least);
            largest = Up(largest * most);
            break;
        case '/':
            gap = Down(gap / most);
            largest = Up(largest / least);
            break;
        default:
            largest = Up(largest + most);
            break;
        }
        gap = Down(gap - Up(2 * (kUnit * largest + kTiniest)));
    }
    return gap > 0 && sign > 0; // false for NaN
}

} // namespace runetally
