#pragma once

#include "damage.h"
#include "spelltable.h"

#include <variant>
#include <vector>

namespace runetally {

inline constexpr int kSweepLimit = 10'001;

enum class SweepProblem { StepNotPositive, FromAboveTo, TooManyValues };

// from + k × step for k = 0, 1, ... up to the last that is not past `to`: each value computed as
// such, not by adding the step again and again, and none overflows. A decimal step is rounded,
// so "not past" allows a few units in the last place of the largest of from, k × step and to
// (0.1 × 3 is 0.30000000000000004); a value that close to `to` is listed as `to` itself, and is
// the last. At most kSweepLimit values.
std::variant<std::vector<double>, SweepProblem> SweepValues(double from, double to, double step);

// Spells' damages along one input.
struct Sweep {
    Field input = Field::varInt;
    std::vector<const SpellFormula*> spells;
    std::vector<double> values;
    std::vector<DamageValue> damages; // spells.size() × values.size(), one spell after the other

    const DamageValue& damage(std::size_t spell, std::size_t value) const {
        return damages[spell * values.size() + value];
    }
};

Sweep SweepInput(const ParsedInputs& inputs, Field input, std::vector<double> values,
                 std::vector<const SpellFormula*> spells);

} // namespace runetally
