#include "damage.h"

#include "numbers.h"
#include "spelltable.h"

#include <cmath>

namespace runetally {
namespace {

// Evaluates one formula step by step. Each operation is one rounded double operation; the
// fault is judged from its operands and result, not from the floating-point flags.
class Evaluator {
public:
    Evaluator(const SpellInputs& inputs, char separator) : inputs_(inputs), separator_(separator) {}

    double convert(Field field) const {
        const auto value = ParseNumber(inputs_.text(field), separator_);
        if (!value) {
            throw CalcFailure::BadInput(field);
        }
        return *value;
    }

    static double add(double a, double b) { return checked(a + b); }
    static double mul(double a, double b) { return checked(a * b); }
    static double div(double a, double b) {
        if (b == 0.0) {
            throw CalcFailure::Fault(a == 0.0 ? ArithmeticFault::InvalidOperation
                                              : ArithmeticFault::DivideByZero);
        }
        return checked(a / b);
    }

private:
    // Operands are always finite, so an infinite result is an overflow.
    static double checked(double result) {
        if (std::isinf(result)) {
            throw CalcFailure::Fault(ArithmeticFault::Overflow);
        }
        return result;
    }

    const SpellInputs& inputs_;
    char separator_;
};

double evaluate(const SpellFormula& row, const Evaluator& in) {
    using E = Evaluator;
    // The stat divided by the row's divisor, with the bonus added when the row has one.
    auto statPart = [&](double stat) {
        const double quotient = E::div(stat, row.divisor);
        return row.bonus ? E::add(quotient, *row.bonus) : quotient;
    };
    auto timesPowerOverResist = [&](double running) {
        running = E::mul(in.convert(PowerField(row.element)), running);
        return E::div(running, in.convert(Field::varResist));
    };

    switch (row.kind) {
    case FormulaKind::OneStat: {
        double running = timesPowerOverResist(statPart(in.convert(row.stat)));
        if (row.tailScale) {
            running = E::div(E::mul(running, 15), 20);
        }
        return running;
    }
    case FormulaKind::TwoStats: {
        const double intPart = statPart(in.convert(Field::varInt));
        const double running = E::add(intPart, E::div(in.convert(Field::varWis), row.divisor));
        return timesPowerOverResist(running);
    }
    case FormulaKind::FixedOverInput:
        return E::div(row.fixedValue, in.convert(row.overInput));
    case FormulaKind::StatOnly:
        return statPart(in.convert(row.stat));
    case FormulaKind::LevelScaled: {
        // The stat multiplies again once the resist has divided.
        const double stat = in.convert(row.stat);
        const double running = E::mul(stat, timesPowerOverResist(statPart(stat)));
        const double level = in.convert(Field::varLevel);
        return E::div(running, E::add(E::add(level, level), 20));
    }
    }
    return 0.0;
}

std::string describe(CalcFailure::Kind kind, Field field, ArithmeticFault fault) {
    if (kind == CalcFailure::Kind::BadInput) {
        return "BadInput: " + std::string(FieldName(field));
    }
    return "ArithmeticFault: " + std::string(FaultName(fault));
}

} // namespace

std::string_view FaultName(ArithmeticFault fault) {
    switch (fault) {
    case ArithmeticFault::DivideByZero:
        return "DivideByZero";
    case ArithmeticFault::InvalidOperation:
        return "InvalidOperation";
    case ArithmeticFault::Overflow:
        return "Overflow";
    }
    return {};
}

CalcFailure::CalcFailure(Kind kind, Field field, ArithmeticFault fault, const std::string& what)
    : std::runtime_error(what), kind_(kind), field_(field), fault_(fault) {}

CalcFailure CalcFailure::BadInput(Field field) {
    return {Kind::BadInput, field, ArithmeticFault::DivideByZero,
            describe(Kind::BadInput, field, {})};
}

CalcFailure CalcFailure::Fault(ArithmeticFault fault) {
    return {Kind::ArithmeticFault, Field::varLevel, fault,
            describe(Kind::ArithmeticFault, {}, fault)};
}

DamageOutcome CalculateDamage(const SpellInputs& inputs, char decimalSeparator) {
    if (inputs.spellName.empty()) {
        return DamageOutcome::ShowText("No Spell Selected");
    }
    const SpellFormula* row = FindSpell(inputs.spellName);
    if (!row) {
        return DamageOutcome::NoChange();
    }
    const Evaluator evaluator(inputs, decimalSeparator);
    return DamageOutcome::ShowText(FormatNumber(evaluate(*row, evaluator), decimalSeparator));
}

} // namespace runetally
