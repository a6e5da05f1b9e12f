#include "plancommand.h"

#include "inputnames.h"
#include "numbers.h"
#include "plantable.h"
#include "ranking.h"
#include "terminaltext.h"
#include "tobest.h"

#include <algorithm>

namespace runetally {
namespace {

std::string InputChoices() {
    std::string names;
    for (const InputName& input : InputNames) {
        names += names.empty() ? "" : input.field == Field::powerDark ? " or " : ", ";
        names += input.name;
    }
    return names;
}

std::variant<Field, PlanUsageError> Input(const std::string& name) {
    if (const auto field = FindInput(name)) {
        return *field;
    }
    return PlanUsageError{"unknown input " + Quoted(name) + " (use " + InputChoices() + ")"};
}

std::variant<double, PlanUsageError> Number(const std::string& option, const std::string& text,
                                            char separator) {
    if (const auto value = ParseNumber(text, separator)) {
        return *value;
    }
    return PlanUsageError{option + " takes a number, not " + Quoted(text)};
}

bool Wanted(const PlanRequest& request, std::string_view spell) {
    return request.spells.empty() ||
           std::find(request.spells.begin(), request.spells.end(), spell) != request.spells.end();
}

std::string GainTable(const PlanRequest& request, const ParsedInputs& inputs, Field input,
                      double step) {
    const std::vector<Gain> gains = InputGains(inputs, input, step);
    const auto toBest = ToBest(inputs, input); // against every spell, whichever are shown
    std::vector<GainRow> rows;
    for (std::size_t s = 0; s < gains.size(); ++s) {
        if (Wanted(request, gains[s].spell->name)) {
            rows.push_back({gains[s], toBest[s]});
            if (request.compared) {
                rows.back().damageB = EvaluateSpell(*gains[s].spell, *request.compared);
                rows.back().change = ChangeBetween(gains[s].damage, *rows.back().damageB);
            }
        }
    }
    SetPercentOfBest(rows, inputs);
    if (request.sortByDamage || request.sortColumn) {
        std::vector<GainRow> sorted;
        for (std::size_t place : SortedOrder(rows, request.sortColumn.value_or(OrderColumn::Damage),
                                             !request.ascending)) {
            sorted.push_back(rows[place]);
        }
        rows = std::move(sorted);
    }
    return WriteGainTable(rows, request.format, request.decimalSeparator,
                          request.compared.has_value());
}

std::optional<PlanUsageError> SweepTable(const PlanRequest& request, const ParsedInputs& inputs,
                                         const TableSink& out) {
    const std::string& text = *request.sweep;
    const std::size_t equals = text.find('=');
    const std::size_t colon = text.find(':', equals);
    const std::size_t colon2 = colon == std::string::npos ? colon : text.find(':', colon + 1);
    if (equals == std::string::npos || colon2 == std::string::npos ||
        text.find(':', colon2 + 1) != std::string::npos) {
        return PlanUsageError{"--sweep takes INPUT=FROM:TO:STEP, not " + Quoted(text)};
    }
    const auto input = Input(text.substr(0, equals));
    const auto from =
        Number("--sweep", text.substr(equals + 1, colon - equals - 1), request.decimalSeparator);
    const auto to =
        Number("--sweep", text.substr(colon + 1, colon2 - colon - 1), request.decimalSeparator);
    const auto step = Number("--sweep", text.substr(colon2 + 1), request.decimalSeparator);
    for (const auto* problem :
         {std::get_if<PlanUsageError>(&input), std::get_if<PlanUsageError>(&from),
          std::get_if<PlanUsageError>(&to), std::get_if<PlanUsageError>(&step)}) {
        if (problem) {
            return *problem;
        }
    }
    auto values = SweepValues(std::get<double>(from), std::get<double>(to), std::get<double>(step));
    if (const SweepProblem* problem = std::get_if<SweepProblem>(&values)) {
        switch (*problem) {
        case SweepProblem::StepNotPositive:
            return PlanUsageError{"--sweep needs a STEP above 0"};
        case SweepProblem::FromAboveTo:
            return PlanUsageError{"--sweep needs FROM no higher than TO"};
        case SweepProblem::TooManyValues:
            return PlanUsageError{"--sweep gives more than " + std::to_string(kSweepLimit) +
                                  " values"};
        }
    }
    std::vector<const SpellFormula*> spells;
    for (const SpellFormula& spell : SpellTable) {
        if (Wanted(request, spell.name)) {
            spells.push_back(&spell);
        }
    }
    // Each damage is worked out as its row is written: the table is never held whole.
    const Field field = std::get<Field>(input);
    const std::vector<double>& at = std::get<std::vector<double>>(values);
    ParsedInputs there = inputs;
    const SweepDamage damage = [&](std::size_t s, std::size_t v) {
        there.values[static_cast<std::size_t>(field)] = at[v];
        return EvaluateSpell(*spells[s], there);
    };
    WriteSweepTable(field, at, spells, damage, request.format, request.decimalSeparator, out);
    return std::nullopt;
}

} // namespace

bool AsksToPlan(const PlanRequest& request) {
    return request.gain || request.values || request.sweep || request.step;
}

std::optional<PlanUsageError> RunPlan(const PlanRequest& request, const TableSink& out) {
    if (int(request.gain.has_value()) + int(request.values) + int(request.sweep.has_value()) > 1) {
        return PlanUsageError{"--gain, --values and --sweep cannot be combined"};
    }
    if (request.step && !request.gain && !request.values) {
        return PlanUsageError{"--step needs --gain or --values"};
    }
    const ParsedInputs inputs = ParseInputs(request.inputs, request.decimalSeparator);
    if (request.sweep) {
        if (request.sortByDamage || request.sortColumn) {
            return PlanUsageError{"--sort does not apply to --sweep"};
        }
        return SweepTable(request, inputs, out);
    }

    double step = 1;
    if (request.step) {
        const auto number = Number("--step", *request.step, request.decimalSeparator);
        if (const auto* problem = std::get_if<PlanUsageError>(&number)) {
            return *problem;
        }
        step = std::get<double>(number);
    }
    if (request.gain) {
        const auto input = Input(*request.gain);
        if (const auto* problem = std::get_if<PlanUsageError>(&input)) {
            return *problem;
        }
        out(GainTable(request, inputs, std::get<Field>(input), step));
        return std::nullopt;
    }

    if (request.spells.size() != 1) {
        return PlanUsageError{"--values needs exactly one --spell"};
    }
    if (request.sortColumn || request.ascending) {
        return PlanUsageError{"--values takes --sort alone: the largest gain first"};
    }
    std::vector<Gain> rows = SpellGains(*FindSpell(request.spells.front()), inputs, step);
    if (request.sortByDamage) {
        SortHighestFirst(rows, [](const Gain& row) -> const DamageValue& { return row.gain; });
    }
    out(WriteValuesTable(rows, request.format, request.decimalSeparator));
    return std::nullopt;
}

} // namespace runetally
