#include "spellreport.h"

#include "figuretext.h"
#include "numbers.h"
#include "ranking.h"
#include "spelltable.h"
#include "tabletext.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

namespace runetally {
namespace {

const std::string* Text(const SpellRow& row) {
    return std::get_if<std::string>(&row.damage);
}

const BadInput* Bad(const SpellRow& row) {
    const auto* failure = std::get_if<DamageFailure>(&row.damage);
    return failure ? std::get_if<BadInput>(failure) : nullptr;
}

const ArithmeticFault* Fault(const SpellRow& row) {
    const auto* failure = std::get_if<DamageFailure>(&row.damage);
    return failure ? std::get_if<ArithmeticFault>(failure) : nullptr;
}

std::string_view OutcomeName(const SpellRow& row) {
    return Text(row) ? "ShowText" : Bad(row) ? "BadInput" : "ArithmeticFault";
}

// A spell's damage as the report writes it: the number's text, or why there is none.
SpellRow Written(const SpellFormula& formula, const DamageValue& value, char separator) {
    if (const auto* failure = std::get_if<DamageFailure>(&value)) {
        return {std::string(formula.name), *failure};
    }
    return {std::string(formula.name), FigureText(value, separator)};
}

// The damage cell of the text table: the number, or what kept the spell from having one.
std::string Cell(const SpellRow& row) {
    const std::string* text = Text(row);
    return text ? *text : FailureText(std::get<DamageFailure>(row.damage));
}

} // namespace

SpellReport::SpellReport(const ReportOptions& options) : separator_(options.decimalSeparator) {
    // The inputs are parsed once for every row; each spell still fails on the first of its own
    // steps.
    const ParsedInputs inputs = ParseInputs(options.inputs, separator_);
    std::vector<std::pair<const SpellFormula*, DamageValue>> damages;
    for (const std::string& name :
         options.keepOrder ? options.spells : std::vector<std::string>{}) {
        const SpellFormula* formula = FindSpell(name);
        damages.emplace_back(formula, EvaluateSpell(*formula, inputs));
    }
    for (const SpellFormula& formula :
         options.keepOrder ? std::span<const SpellFormula>{} : std::span(SpellTable)) {
        const bool wanted = options.spells.empty() ||
                            std::find(options.spells.begin(), options.spells.end(), formula.name) !=
                                options.spells.end();
        if (wanted) {
            damages.emplace_back(&formula, EvaluateSpell(formula, inputs));
        }
    }
    if (options.sortByDamage) {
        SortHighestFirst(damages, [](const auto& row) -> const DamageValue& { return row.second; });
    }
    for (const auto& [formula, damage] : damages) {
        rows_.push_back(Written(*formula, damage, separator_));
    }
}

std::string SpellReport::render(ReportFormat format) const {
    switch (format) {
    case ReportFormat::Text:
        return toText();
    case ReportFormat::Csv:
        return toCsv();
    case ReportFormat::Json:
        return toJson();
    }
    return {};
}

std::string SpellReport::toText() const {
    // Numbers line up on their decimal separator; a failure starts at the column's left edge.
    std::size_t spellWidth = 5; // "Spell"
    std::size_t wholeWidth = 0;
    for (const SpellRow& row : rows_) {
        spellWidth = std::max(spellWidth, row.spell.size());
        if (const std::string* text = Text(row)) {
            wholeWidth = std::max(wholeWidth, std::min(text->find(separator_), text->size()));
        }
    }
    auto line = [&](const std::string& spell, const std::string& damage) {
        return spell + std::string(spellWidth - spell.size() + 2, ' ') + damage + '\n';
    };
    std::string out = line("Spell", "Damage");
    for (const SpellRow& row : rows_) {
        std::string cell = Cell(row);
        if (Text(row)) {
            cell.insert(0, wholeWidth - std::min(cell.find(separator_), cell.size()), ' ');
        }
        out += line(row.spell, cell);
    }
    return out;
}

std::string SpellReport::toCsv() const {
    std::string out = "spell,outcome,text,field,fault\n";
    for (const SpellRow& row : rows_) {
        const std::string* text = Text(row);
        const BadInput* bad = Bad(row);
        const ArithmeticFault* fault = Fault(row);
        out += CsvField(row.spell) + ',' + CsvField(OutcomeName(row)) + ',' +
               (text ? CsvField(*text) : "") + ',' + (bad ? CsvField(FieldName(bad->field)) : "") +
               ',' + (fault ? CsvField(FaultName(*fault)) : "") + '\n';
    }
    return out;
}

std::string SpellReport::toJson() const {
    std::string out = "[";
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const SpellRow& row = rows_[i];
        out += i == 0 ? "\n" : ",\n";
        out += R"(  {"spell": )" + JsonString(row.spell) + R"(, "outcome": )" +
               JsonString(OutcomeName(row));
        if (const std::string* text = Text(row)) {
            out += R"(, "text": )" + JsonString(*text);
        } else if (const BadInput* bad = Bad(row)) {
            out += R"(, "field": )" + JsonString(FieldName(bad->field));
        } else {
            out += R"(, "fault": )" + JsonString(FaultName(*Fault(row)));
        }
        out += '}';
    }
    out += rows_.empty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace runetally
