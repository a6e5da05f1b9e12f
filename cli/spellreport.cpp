#include "spellreport.h"

#include "numbers.h"
#include "spelltable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>
#include <string_view>

namespace runetally {
namespace {

std::string_view OutcomeName(SpellRow::Outcome outcome) {
    switch (outcome) {
    case SpellRow::Outcome::ShowText:
        return "ShowText";
    case SpellRow::Outcome::BadInput:
        return "BadInput";
    case SpellRow::Outcome::ArithmeticFault:
        return "ArithmeticFault";
    }
    return {};
}

SpellRow Evaluate(std::string_view spell, SpellInputs inputs, char separator) {
    SpellRow row;
    row.spell = std::string(spell);
    inputs.spellName = row.spell;
    try {
        // Every name comes from the table, so the outcome always carries a text.
        row.text = CalculateDamage(inputs, separator).text;
    } catch (const CalcFailure& failure) {
        if (failure.kind() == CalcFailure::Kind::BadInput) {
            row.outcome = SpellRow::Outcome::BadInput;
            row.field = failure.field();
        } else {
            row.outcome = SpellRow::Outcome::ArithmeticFault;
            row.fault = failure.fault();
        }
    }
    return row;
}

// The damage cell of the text table: the number, or what kept the spell from having one.
std::string Cell(const SpellRow& row) {
    switch (row.outcome) {
    case SpellRow::Outcome::ShowText:
        return row.text;
    case SpellRow::Outcome::BadInput:
        return "BadInput: " + std::string(FieldName(row.field));
    case SpellRow::Outcome::ArithmeticFault:
        return "ArithmeticFault: " + std::string(FaultName(row.fault));
    }
    return {};
}

// A field quoted only when it holds a comma, a quote or a line break, quotes doubled.
std::string CsvField(std::string_view value) {
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(value);
    }
    std::string quoted = "\"";
    for (char c : value) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

// A JSON string literal. The objects around it are written by hand, so that their keys keep the
// order spell, outcome, detail and the layout stays one object a line. A byte that is no UTF-8
// becomes U+FFFD rather than an exception: the output always parses.
std::string JsonString(std::string_view value) {
    return nlohmann::json(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

SpellReport::SpellReport(const ReportOptions& options) : separator_(options.decimalSeparator) {
    for (const SpellFormula& formula : SpellTable) {
        const bool wanted = options.spells.empty() ||
                            std::find(options.spells.begin(), options.spells.end(), formula.name) !=
                                options.spells.end();
        if (wanted) {
            rows_.push_back(Evaluate(formula.name, options.inputs, separator_));
        }
    }
    if (options.sortByDamage) {
        sortByDamage();
    }
}

void SpellReport::sortByDamage() {
    // Numbers are compared, not texts: "9" is less than "10", and "1E+20" is the largest.
    auto damage = [this](const SpellRow& row) -> std::optional<double> {
        if (row.outcome != SpellRow::Outcome::ShowText) {
            return std::nullopt;
        }
        return ParseNumber(row.text, separator_);
    };
    std::stable_sort(rows_.begin(), rows_.end(), [&](const SpellRow& a, const SpellRow& b) {
        const auto x = damage(a);
        const auto y = damage(b);
        return x && (!y || *x > *y);
    });
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
        if (row.outcome == SpellRow::Outcome::ShowText) {
            wholeWidth = std::max(wholeWidth, std::min(row.text.find(separator_), row.text.size()));
        }
    }
    auto line = [&](const std::string& spell, const std::string& damage) {
        return spell + std::string(spellWidth - spell.size() + 2, ' ') + damage + '\n';
    };
    std::string out = line("Spell", "Damage");
    for (const SpellRow& row : rows_) {
        std::string cell = Cell(row);
        if (row.outcome == SpellRow::Outcome::ShowText) {
            cell.insert(0, wholeWidth - std::min(cell.find(separator_), cell.size()), ' ');
        }
        out += line(row.spell, cell);
    }
    return out;
}

std::string SpellReport::toCsv() const {
    std::string out = "spell,outcome,text,field,fault\n";
    for (const SpellRow& row : rows_) {
        const bool bad = row.outcome == SpellRow::Outcome::BadInput;
        const bool fault = row.outcome == SpellRow::Outcome::ArithmeticFault;
        out += CsvField(row.spell) + ',' + CsvField(OutcomeName(row.outcome)) + ',' +
               CsvField(row.text) + ',' + (bad ? CsvField(FieldName(row.field)) : "") + ',' +
               (fault ? CsvField(FaultName(row.fault)) : "") + '\n';
    }
    return out;
}

std::string SpellReport::toJson() const {
    std::string out = "[";
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const SpellRow& row = rows_[i];
        out += i == 0 ? "\n" : ",\n";
        out += R"(  {"spell": )" + JsonString(row.spell) + R"(, "outcome": )" +
               JsonString(OutcomeName(row.outcome));
        switch (row.outcome) {
        case SpellRow::Outcome::ShowText:
            out += R"(, "text": )" + JsonString(row.text);
            break;
        case SpellRow::Outcome::BadInput:
            out += R"(, "field": )" + JsonString(FieldName(row.field));
            break;
        case SpellRow::Outcome::ArithmeticFault:
            out += R"(, "fault": )" + JsonString(FaultName(row.fault));
            break;
        }
        out += '}';
    }
    out += rows_.empty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace runetally
