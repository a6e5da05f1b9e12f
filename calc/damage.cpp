#include "damage.h"

#include "numbers.h"

#include <cmath>

namespace runetally {
namespace {

// Where a formula's inputs come from: read() gives a field's number, or false when its text is
// not one. The number comes back through a reference: an optional returned through the evaluator
// went by way of the stack, which cost the calculation a fifth of its time.
class TextSource {
public:
    TextSource(const SpellInputs& inputs, char separator)
        : inputs_(inputs), separator_(separator) {}

    bool read(Field field, double& value) const {
        const std::optional<double> number = ParseNumber(inputs_.text(field), separator_);
        if (!number) {
            return false;
        }
        value = *number;
        return true;
    }

private:
    const SpellInputs& inputs_;
    char separator_;
};

class ParsedSource {
public:
    explicit ParsedSource(const ParsedInputs& inputs) : inputs_(inputs) {}

    bool read(Field field, double& value) const {
        const std::optional<double>& number = inputs_[field];
        if (!number) {
            return false;
        }
        value = *number;
        return true;
    }

private:
    const ParsedInputs& inputs_;
};

// Evaluates one formula step by step, reading each field from the source when its step comes.
// Each operation is one rounded double operation; the fault is judged from its operands and
// result, not from the floating-point flags. The first failure is kept: no field is read after
// it, and the values of the steps after it are never used.
template <class Source> class Evaluator {
public:
    explicit Evaluator(const Source& source) : source_(source) {}

    double convert(Field field) {
        double value = 0.0;
        if (!failure_ && !source_.read(field, value)) {
            fail(BadInput{field});
        }
        return value;
    }

    double add(double a, double b) { return checked(a + b); }
    double mul(double a, double b) { return checked(a * b); }
    double div(double a, double b) {
        if (b == 0.0) {
            fail(a == 0.0 ? ArithmeticFault::InvalidOperation : ArithmeticFault::DivideByZero);
            return 0.0;
        }
        return checked(a / b);
    }

    DamageValue result(double value) const {
        if (failure_) {
            return *failure_;
        }
        return value;
    }

private:
    // Until a step fails, operands are finite, so an infinite result is an overflow.
    double checked(double result) {
        if (std::isinf(result)) {
            fail(ArithmeticFault::Overflow);
        }
        return result;
    }

    void fail(DamageFailure failure) {
        if (!failure_) {
            failure_ = failure;
        }
    }

    const Source& source_;
    std::optional<DamageFailure> failure_;
};

template <class Source> DamageValue evaluate(const SpellFormula& row, const Source& source) {
    Evaluator<Source> in(source);
    // The stat divided by the row's divisor, with the bonus added when the row has one.
    auto statPart = [&](double stat) {
        const double quotient = in.div(stat, row.divisor);
        return row.bonus ? in.add(quotient, *row.bonus) : quotient;
    };
    auto timesPowerOverResist = [&](double running) {
        running = in.mul(in.convert(PowerField(row.element)), running);
        return in.div(running, in.convert(Field::varResist));
    };

    double value = 0.0;
    switch (row.kind) {
    case FormulaKind::OneStat:
        value = timesPowerOverResist(statPart(in.convert(row.stat)));
        if (row.tailScale) {
            value = in.div(in.mul(value, 15), 20);
        }
        break;
    case FormulaKind::TwoStats: {
        const double intPart = statPart(in.convert(Field::varInt));
        const double wisPart = in.div(in.convert(Field::varWis), row.divisor);
        value = timesPowerOverResist(in.add(intPart, wisPart));
        break;
    }
    case FormulaKind::FixedOverInput:
        value = in.div(row.fixedValue, in.convert(row.overInput));
        break;
    case FormulaKind::StatOnly:
        value = statPart(in.convert(row.stat));
        break;
    case FormulaKind::LevelScaled: {
        // The stat multiplies again once the resist has divided.
        const double stat = in.convert(row.stat);
        const double running = in.mul(stat, timesPowerOverResist(statPart(stat)));
        const double level = in.convert(Field::varLevel);
        value = in.div(running, in.add(in.add(level, level), 20));
        break;
    }
    }
    return in.result(value);
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

std::string FailureText(const DamageFailure& failure) {
    if (const auto* bad = std::get_if<BadInput>(&failure)) {
        return "BadInput: " + std::string(FieldName(bad->field));
    }
    return "ArithmeticFault: " + std::string(FaultName(std::get<ArithmeticFault>(failure)));
}

ParsedInputs ParseInputs(const SpellInputs& inputs, char decimalSeparator) {
    ParsedInputs parsed;
    for (int i = 0; i < kFieldCount; ++i) {
        parsed.values[static_cast<std::size_t>(i)] =
            ParseNumber(inputs.text(static_cast<Field>(i)), decimalSeparator);
    }
    return parsed;
}

DamageValue EvaluateSpell(const SpellFormula& formula, const ParsedInputs& inputs) {
    return evaluate(formula, ParsedSource(inputs));
}

DamageResult CalculateDamage(const SpellInputs& inputs, char decimalSeparator) {
    if (inputs.spellName.empty()) {
        return DamageOutcome::ShowText("No Spell Selected");
    }
    const SpellFormula* row = FindSpell(inputs.spellName);
    if (!row) {
        return DamageOutcome::NoChange();
    }
    // Only the fields the formula reaches are converted, as their steps come: two to four of ten.
    const DamageValue value = evaluate(*row, TextSource(inputs, decimalSeparator));
    if (const auto* failure = std::get_if<DamageFailure>(&value)) {
        return *failure;
    }
    // Built in place, so that the text is moved once.
    return DamageResult(std::in_place_type<DamageOutcome>, DamageOutcome::Kind::ShowText,
                        FormatNumber(std::get<double>(value), decimalSeparator));
}

} // namespace runetally
