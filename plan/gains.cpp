#include "gains.h"

#include <cmath>

namespace runetally {
namespace {

// The calculation's own rule: a finite step whose result is infinite overflows.
DamageValue Checked(double value) {
    if (std::isinf(value)) {
        return DamageFailure(ArithmeticFault::Overflow);
    }
    return value;
}

} // namespace

ParsedInputs Raised(const ParsedInputs& inputs, Field input, double by) {
    ParsedInputs raised = inputs;
    std::optional<double>& value = raised.values[static_cast<std::size_t>(input)];
    if (value) {
        *value += by;
    }
    return raised;
}

Gain SpellGain(const SpellFormula& spell, const ParsedInputs& inputs, Field input, double step) {
    Gain gain{&spell, input, step, EvaluateSpell(spell, inputs), {}, std::nullopt};
    const double* damage = std::get_if<double>(&gain.damage);
    if (!damage) {
        gain.gain = gain.damage;
        return gain;
    }
    const DamageValue raised = EvaluateSpell(spell, Raised(inputs, input, step));
    const double* raisedDamage = std::get_if<double>(&raised);
    if (!raisedDamage) {
        gain.gain = raised;
        return gain;
    }
    gain.gain = Checked(*raisedDamage - *damage);
    if (const double* difference = std::get_if<double>(&gain.gain); difference && *damage != 0) {
        gain.percent = Checked(*difference / *damage * 100);
    }
    return gain;
}

std::vector<Gain> InputGains(const ParsedInputs& inputs, Field input, double step) {
    std::vector<Gain> gains;
    gains.reserve(SpellTable.size());
    for (const SpellFormula& spell : SpellTable) {
        gains.push_back(SpellGain(spell, inputs, input, step));
    }
    return gains;
}

std::vector<Gain> SpellGains(const SpellFormula& spell, const ParsedInputs& inputs, double step) {
    std::vector<Gain> gains;
    gains.reserve(kFieldCount);
    for (int i = 0; i < kFieldCount; ++i) {
        gains.push_back(SpellGain(spell, inputs, static_cast<Field>(i), step));
    }
    return gains;
}

} // namespace runetally
