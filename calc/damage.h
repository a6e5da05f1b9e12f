#pragma once

#include "spellinputs.h"
#include "spelltable.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace runetally {

// What the result box is to show after a calculation.
struct DamageOutcome {
    enum class Kind { ShowText, NoChange };
    Kind kind = Kind::NoChange;
    std::string text; // ShowText only

    DamageOutcome() = default;
    // Takes the text to keep, so that a result built in place moves it once.
    DamageOutcome(Kind kind_, std::string&& text_) : kind(kind_), text(std::move(text_)) {}

    static DamageOutcome ShowText(std::string text) { return {Kind::ShowText, std::move(text)}; }
    static DamageOutcome NoChange() { return {Kind::NoChange, {}}; }
    bool operator==(const DamageOutcome&) const = default;
};

enum class ArithmeticFault { DivideByZero, InvalidOperation, Overflow };

std::string_view FaultName(ArithmeticFault fault);

// A box whose text is not a number.
struct BadInput {
    Field field;
    bool operator==(const BadInput&) const = default;
};

// Why a calculation has no outcome: the first step that failed. No message for the player.
using DamageFailure = std::variant<BadInput, ArithmeticFault>;

// "BadInput: varInt", "ArithmeticFault: Overflow".
std::string FailureText(const DamageFailure& failure);

// The one result of a calculation: what the result box shows, or why it shows nothing new.
using DamageResult = std::variant<DamageOutcome, DamageFailure>;

// The damage of the selected spell for the texts as typed. An empty spell name gives
// "No Spell Selected"; a name not in the table changes nothing.
DamageResult CalculateDamage(const SpellInputs& inputs, char decimalSeparator = '.');

// The ten boxes read as numbers once, for evaluating many spells; a text that is not a number
// is empty here and fails only a spell that uses it.
struct ParsedInputs {
    std::array<std::optional<double>, kFieldCount> values;

    const std::optional<double>& operator[](Field field) const {
        return values[static_cast<std::size_t>(field)];
    }
};

ParsedInputs ParseInputs(const SpellInputs& inputs, char decimalSeparator = '.');

// A spell's damage as a number, or its first failing step: the same steps, in the same order,
// with the same failures as CalculateDamage on the texts the inputs were parsed from.
using DamageValue = std::variant<double, DamageFailure>;

DamageValue EvaluateSpell(const SpellFormula& formula, const ParsedInputs& inputs);

} // namespace runetally
