#include "sweep.h"

#include "gains.h"

#include <cmath>

namespace runetally {

std::variant<std::vector<double>, SweepProblem> SweepValues(double from, double to, double step) {
    if (!(step > 0)) {
        return SweepProblem::StepNotPositive;
    }
    if (from > to) {
        return SweepProblem::FromAboveTo;
    }
    std::vector<double> values;
    for (int k = 0;; ++k) {
        const double value = from + k * step;
        if (value > to) {
            break;
        }
        if (values.size() == kSweepLimit) {
            return SweepProblem::TooManyValues;
        }
        values.push_back(value);
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
