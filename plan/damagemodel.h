#pragma once

#include "damage.h"
#include "spelltable.h"

#include <array>
#include <optional>
#include <vector>

namespace runetally {

// A polynomial in one input's value u: coefficients of 1, u, u², u³.
using Polynomial = std::array<double, 4>;

// A spell's damage as a function of one input, the others held: numerator over denominator.
// Its coefficients are rounded, so it only tells where to look; answers come from the
// calculation.
struct DamageModel {
    Polynomial numerator{};
    Polynomial denominator{};
};

// Empty when the spell fails whatever the input's value: another input it uses is not a
// number, or a divisor that does not depend on the input is 0.
std::optional<DamageModel> ModelDamage(const SpellFormula& spell, const ParsedInputs& inputs,
                                       Field input);

// The real roots of p in [lo, hi], ascending. A polynomial that is 0 everywhere has none.
std::vector<double> RootsIn(const Polynomial& p, double lo, double hi);

// Where a's damage less b's can change sign: the roots of the difference's numerator and the
// poles of both, in [lo, hi], ascending.
std::vector<double> SignChanges(const DamageModel& a, const DamageModel& b, double lo, double hi);

} // namespace runetally
