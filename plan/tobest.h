#pragma once

#include "damage.h"
#include "spelltable.h"

#include <array>
#include <optional>
#include <vector>

namespace runetally {

// How far an input is raised at most when looking for the point where a spell becomes best.
inline constexpr int kToBestLimit = 1'000'000;

// For each row of SpellTable: the least whole n from 0 to kToBestLimit for which the spell is
// best with `input` raised by n (see Raised), or empty for never. Exact: no raise below the
// answer is passed over without bounds of the calculation itself that rule it out.
std::array<std::optional<int>, kSpellCount> ToBest(const ParsedInputs& inputs, Field input);

// The least value of `input` from `from` to `to` at which spells a and b both succeed and a
// deals at least as much as b, or empty when there is none, found the same way to the exact
// double. Where the two keep within their rounding of each other over a long range, the answer
// may instead be one double at which a reaches b after one at which it does not.
std::optional<double> Crossing(const SpellFormula& a, const SpellFormula& b,
                               const ParsedInputs& inputs, Field input, double from, double to);

// Where one of two spells passes the other along `input`: from `from`, where both deal damage, up
// to `to`, the one behind first deals as much as the one ahead (as Crossing finds it); then the
// lead may change hands again, up to `most` times.
struct LeadChange {
    double at;                   // the input's value
    double damage;               // of the one that passes, there
    const SpellFormula* passing; // the one behind until there
    const SpellFormula* passed;
};
std::vector<LeadChange> LeadChanges(const SpellFormula& a, const SpellFormula& b,
                                    const ParsedInputs& inputs, Field input, double from, double to,
                                    int most);

} // namespace runetally
