#pragma once

#include "spellinputs.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace runetally {

// What the result box is to show after a calculation.
struct DamageOutcome {
    enum class Kind { ShowText, NoChange };
    Kind kind = Kind::NoChange;
    std::string text; // ShowText only

    static DamageOutcome ShowText(std::string text) { return {Kind::ShowText, std::move(text)}; }
    static DamageOutcome NoChange() { return {Kind::NoChange, {}}; }
    bool operator==(const DamageOutcome&) const = default;
};

enum class ArithmeticFault { DivideByZero, InvalidOperation, Overflow };

std::string_view FaultName(ArithmeticFault fault);

// Raised instead of an outcome; carries what went wrong and no message for the player.
class CalcFailure : public std::runtime_error {
public:
    enum class Kind { BadInput, ArithmeticFault };

    static CalcFailure BadInput(Field field);
    static CalcFailure Fault(ArithmeticFault fault);

    Kind kind() const { return kind_; }
    Field field() const { return field_; }           // BadInput only
    ArithmeticFault fault() const { return fault_; } // ArithmeticFault only

private:
    CalcFailure(Kind kind, Field field, ArithmeticFault fault, const std::string& what);
    Kind kind_;
    Field field_;
    ArithmeticFault fault_;
};

// The damage of the selected spell for the texts as typed. An empty spell name gives
// "No Spell Selected"; a name not in the table changes nothing.
DamageOutcome CalculateDamage(const SpellInputs& inputs, char decimalSeparator = '.');

} // namespace runetally
