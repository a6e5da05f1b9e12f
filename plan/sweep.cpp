#include "sweep.h"

#include "gains.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace runetally {
namespace {

double UnitInTheLastPlace(double magnitude) {
    if (!(magnitude >= std::numeric_limits<double>::min())) {
        return std::numeric_limits<double>::denorm_min(); // 0 or subnormal
    }
    return std::ldexp(1.0, std::ilogb(magnitude) - std::numeric_limits<double>::digits + 1);
}

} // namespace

std::variant<std::vector<double>, SweepProblem> SweepValues(double from, double to, double step) {
    if (!(step > 0)) {
        return SweepProblem::StepNotPositive;
    }
    if (from > to) {
        return SweepProblem::FromAboveTo;
    }
    std::vector<double> values{from};
    for (int k = 1;; ++k) {
        // In halves where the whole would overflow: halving is exact there, and so is the
        // doubling back of a value that is listed.
        const bool halved = !std::isfinite(k * step) || !std::isfinite(from + k * step);
        const double scale = halved ? 0.5 : 1;
        const double start = from * scale;
        const double offset = k * (step * scale);
        const double end = to * scale;
        const double value = start + offset;
        // A decimal step is rounded, and so is each value: a few units in the last place of
        // the largest term, but never half a step, so that two values cannot both be TO.
        const double largest = std::max({std::abs(start), std::abs(offset), std::abs(end)});
        const double slack = std::min(4 * UnitInTheLastPlace(largest), step * scale / 2);
        if (value > end && value - end > slack) {
            break;
        }
        if (values.size() == kSweepLimit) {
            return SweepProblem::TooManyValues;
        }
        if (end - value <= slack) {
            values.push_back(to); // TO lies on the grid
            break;
        }
        values.push_back(value / scale);
    }
    return values;
}

Sweep SweepInput(const ParsedInputs& inputs, Field input, std::vector<double> values,
                 std::vector<const SpellFormula*> spells) {
    Sweep sweep{input, std::move(spells), std::move(values), {}};
    sweep.damages.reserve(sweep.spells.size() * sweep.values.size());
    ParsedInputs at = inputs;
    for (const SpellFormula* spell : sweep.spells) {
        for (double value : sweep.values) {
            at.values[static_cast<std::size_t>(input)] = value;
            sweep.damages.push_back(EvaluateSpell(*spell, at));
        }
    }
    return sweep;
}

} // namespace runetally
