#include "gains.h"

#include "figuretext.h"
#include "shownnumbers.h"

#include <cmath>

namespace runetally {

Change ChangeBetween(const DamageValue& from, const DamageValue& to) {
    const double* x = std::get_if<double>(&from);
    const double* y = std::get_if<double>(&to);
    if (!x || !y) {
        return {!x ? from : to, std::nullopt};
    }
    if (!std::isfinite(*x) || !std::isfinite(*y)) {
        return {Checked(*y - *x), std::nullopt}; // no number is shown for either
    }
    // From the two numbers as they are shown, so that the player's own subtraction agrees.
    const Decimal shownFrom = ShownDecimal(*x);
    const Decimal difference = ShownDifference(shownFrom, ShownDecimal(*y));
    const std::optional<double> value = DecimalValue(difference);
    if (!value) {
        return {DamageFailure(ArithmeticFault::Overflow), std::nullopt};
    }
    Change change{*value, std::nullopt, difference};
    if (auto percent = ShownPercent(difference, shownFrom)) {
        const std::optional<double> share = DecimalValue(*percent);
        change.percent = share ? DamageValue(*share) : DamageFailure(ArithmeticFault::Overflow);
        change.percentWritten = share ? std::move(percent) : std::nullopt;
    }
    return change;
}

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
    if (!std::holds_alternative<double>(gain.damage)) {
        gain.gain = gain.damage; // the raised damage is not worked out at all
        return gain;
    }
    Change change = ChangeBetween(gain.damage, EvaluateSpell(spell, Raised(inputs, input, step)));
    gain.gain = std::move(change.difference);
    gain.percent = std::move(change.percent);
    gain.gainWritten = std::move(change.differenceWritten);
    gain.percentWritten = std::move(change.percentWritten);
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
