#pragma once

#include "damage.h"
#include "shownnumbers.h"
#include "spelltable.h"

#include <optional>
#include <vector>

namespace runetally {

// The inputs with one of them raised by `by`, added in double. An input that is not a number
// stays one that is not.
ParsedInputs Raised(const ParsedInputs& inputs, Field input, double by);

// How far `to` lies from `from`: to − from, and that as a share of `from` in percent, each worked
// out exactly from the two numbers as shown (15 significant digits) and rounded to 15 significant
// digits (ShownDifference, ShownPercent), so that they carry no noise of a subtraction in
// doubles. The difference is the failure of the first of the two that failed, or Overflow when
// it is too large itself; the percent is empty when the difference failed or `from` is 0,
// Overflow when too large.
struct Change {
    DamageValue difference;
    std::optional<DamageValue> percent;
    // Each as it is to be written where it is a number: a double below 2.2E-308 holds fewer
    // than the 15 digits worked out.
    std::optional<Decimal> differenceWritten = std::nullopt;
    std::optional<Decimal> percentWritten = std::nullopt;
};

Change ChangeBetween(const DamageValue& from, const DamageValue& to);

// What raising one input by a step does to one spell's damage. Both damages come from the
// calculation itself.
struct Gain {
    const SpellFormula* spell = nullptr;
    Field input = Field::varInt;
    double step = 1;
    DamageValue damage; // at the inputs as they are
    // The raised damage less the damage, as ChangeBetween works it out; or the failure of the
    // first of the two that failed, or Overflow when the difference itself is too large.
    DamageValue gain;
    // gain ÷ damage × 100, as ChangeBetween works it out. Empty when the gain failed or the
    // damage is 0; Overflow when the quotient is too large.
    std::optional<DamageValue> percent;
    std::optional<Decimal> gainWritten = std::nullopt; // as Change's
    std::optional<Decimal> percentWritten = std::nullopt;
};

Gain SpellGain(const SpellFormula& spell, const ParsedInputs& inputs, Field input, double step);

// One input raised, every spell, in the table's order.
std::vector<Gain> InputGains(const ParsedInputs& inputs, Field input, double step);

// One spell, each input raised in turn, in the order of Field.
std::vector<Gain> SpellGains(const SpellFormula& spell, const ParsedInputs& inputs, double step);

} // namespace runetally
