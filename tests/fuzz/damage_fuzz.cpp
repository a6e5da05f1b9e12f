// Calculates with arbitrary inputs and spell names near the table's. A shown result must be a
// real number; a fault must come from a step that really divides by zero or leaves the range,
// which a plain evaluation of the same steps confirms. The same spell evaluated from the inputs
// parsed all at once must give the same result.
#include "damage.h"
#include "numbers.h"
#include "spelltable.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>

using namespace runetally;

namespace {

// The same steps with bare doubles; remembers whether any step divided by zero or gave an
// infinite result. Empty when an input does not read.
struct Plain {
    const SpellInputs& in;
    char separator;
    bool faulted = false;

    std::optional<double> read(Field f) const { return ParseNumber(in.text(f), separator); }
    double step(double r) {
        faulted = faulted || !std::isfinite(r);
        return r;
    }
    double div(double a, double b) {
        faulted = faulted || b == 0;
        return step(a / b);
    }

    std::optional<double> evaluate(const SpellFormula& row) {
        const double bonus = row.bonus.value_or(0);
        auto tail = [&](double running) -> std::optional<double> {
            const auto power = read(PowerField(row.element));
            if (!power || faulted) {
                return std::nullopt;
            }
            running = step(*power * running);
            const auto resist = read(Field::varResist);
            return resist ? std::optional(div(running, *resist)) : std::nullopt;
        };
        switch (row.kind) {
        case FormulaKind::OneStat: {
            const auto stat = read(row.stat);
            if (!stat) {
                return std::nullopt;
            }
            double running = div(*stat, row.divisor);
            running = row.bonus ? step(running + bonus) : running;
            auto result = tail(running);
            if (result && row.tailScale) {
                result = div(step(*result * 15), 20);
            }
            return result;
        }
        case FormulaKind::TwoStats: {
            const auto i = read(Field::varInt);
            if (!i) {
                return std::nullopt;
            }
            const double intPart = step(div(*i, row.divisor) + bonus);
            const auto w = read(Field::varWis);
            return w ? tail(step(intPart + div(*w, row.divisor))) : std::nullopt;
        }
        case FormulaKind::FixedOverInput: {
            const auto x = read(row.overInput);
            return x ? std::optional(div(row.fixedValue, *x)) : std::nullopt;
        }
        case FormulaKind::StatOnly: {
            const auto stat = read(row.stat);
            return stat ? std::optional(step(div(*stat, row.divisor) + bonus)) : std::nullopt;
        }
        case FormulaKind::LevelScaled: {
            const auto stat = read(row.stat);
            if (!stat) {
                return std::nullopt;
            }
            auto running = tail(step(div(*stat, row.divisor) + bonus));
            if (!running || faulted) {
                return running;
            }
            running = step(*stat * *running);
            const auto level = read(Field::varLevel);
            return level ? std::optional(div(*running, step(step(*level + *level) + 20)))
                         : std::nullopt;
        }
        }
        return std::nullopt;
    }
};

std::string spellName(FuzzedDataProvider& data) {
    const auto& row = SpellTable[data.ConsumeIntegralInRange<std::size_t>(0, kSpellCount - 1)];
    std::string name(row.name);
    switch (data.ConsumeIntegralInRange(0, 4)) {
    case 0:
        return name;
    case 1:
        return name + ' ';
    case 2:
        name[0] = static_cast<char>(name[0] ^ 0x20);
        return name;
    case 3:
        return "";
    default:
        return data.ConsumeRandomLengthString(32);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const char separator = data.ConsumeBool() ? ',' : '.';
    SpellInputs in;
    in.spellName = spellName(data);
    for (int f = 0; f < kFieldCount; ++f) {
        in.text(static_cast<Field>(f)) = data.ConsumeRandomLengthString(24);
    }
    const SpellFormula* row = FindSpell(in.spellName);
    Plain plain{in, separator};
    const auto expected = row ? plain.evaluate(*row) : std::nullopt;
    const DamageResult result = CalculateDamage(in, separator);
    if (const auto* failure = std::get_if<DamageFailure>(&result)) {
        const bool isFault = std::holds_alternative<ArithmeticFault>(*failure);
        if (!row || (isFault && !plain.faulted) || (!isFault && expected && !plain.faulted)) {
            std::abort();
        }
    } else {
        const auto& outcome = std::get<DamageOutcome>(result);
        if (outcome.kind == DamageOutcome::Kind::NoChange) {
            if (row || in.spellName.empty()) {
                std::abort();
            }
            return 0;
        }
        const std::string& text = outcome.text;
        if (text.empty() || text.find("inf") != std::string::npos ||
            text.find("nan") != std::string::npos) {
            std::abort();
        }
        if (row && (!expected || plain.faulted || FormatNumber(*expected, separator) != text)) {
            std::abort();
        }
    }
    // From the inputs parsed all at once: the same number or the same failure.
    if (row) {
        const DamageValue value = EvaluateSpell(*row, ParseInputs(in, separator));
        const auto* failure = std::get_if<DamageFailure>(&value);
        const DamageResult same =
            failure ? DamageResult(*failure)
                    : DamageOutcome::ShowText(FormatNumber(std::get<double>(value), separator));
        if (same != result) {
            std::abort();
        }
    }
    return 0;
}
