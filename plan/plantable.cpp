#include "plantable.h"

#include "figuretext.h"
#include "inputnames.h"
#include "numbers.h"
#include "tabletext.h"

#include <algorithm>
#include <string_view>

namespace runetally {
namespace {

struct Column {
    std::string_view key;    // CSV header and JSON key; empty: only in the text table
    std::string_view header; // text header; empty: not in the text table
    bool numbers = false;    // numbers line up on their decimal separator
};

std::vector<std::size_t> Data(const std::vector<Column>& columns) {
    std::vector<std::size_t> data;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!columns[c].key.empty()) {
            data.push_back(c);
        }
    }
    return data;
}

// Cells in the columns' order; an empty cell is left out of JSON and blank elsewhere.
using Row = std::vector<std::string>;

std::string Csv(const std::vector<Column>& columns, const std::vector<Row>& rows) {
    const std::vector<std::size_t> data = Data(columns);
    std::string out;
    for (std::size_t c : data) {
        out += (c == data.front() ? "" : ",") + std::string(columns[c].key);
    }
    out += '\n';
    for (const Row& row : rows) {
        for (std::size_t c : data) {
            out += (c == data.front() ? "" : ",") + CsvField(row[c]);
        }
        out += '\n';
    }
    return out;
}

// One object a line, its keys in the columns' order, as the damage table writes them.
std::string Json(const std::vector<Column>& columns, const std::vector<Row>& rows) {
    std::string out = "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r == 0 ? "\n  {" : ",\n  {";
        bool first = true;
        for (std::size_t c : Data(columns)) {
            if (!rows[r][c].empty()) {
                out += (first ? "" : ", ") + JsonString(columns[c].key) + ": " +
                       JsonString(rows[r][c]);
                first = false;
            }
        }
        out += '}';
    }
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

// Columns two spaces apart; numbers line up on their decimal separator, other texts start at
// the column's left edge, as in the damage table.
std::string Text(const std::vector<Column>& columns, const std::vector<Row>& rows, char separator) {
    std::vector<std::size_t> shown;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!columns[c].header.empty()) {
            shown.push_back(c);
        }
    }
    auto isNumber = [&](std::size_t c, const std::string& cell) {
        return columns[c].numbers && ParseNumber(cell, separator).has_value();
    };
    auto whole = [&](const std::string& cell) {
        return std::min(cell.find(separator), cell.size());
    };
    std::vector<Row> cells(rows.size(), Row(columns.size()));
    std::vector<std::size_t> width(columns.size());
    for (std::size_t c : shown) {
        std::size_t wholeWidth = 0;
        for (const Row& row : rows) {
            if (isNumber(c, row[c])) {
                wholeWidth = std::max(wholeWidth, whole(row[c]));
            }
        }
        width[c] = columns[c].header.size();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            cells[r][c] = rows[r][c];
            if (isNumber(c, rows[r][c])) {
                cells[r][c].insert(0, wholeWidth - whole(rows[r][c]), ' ');
            }
            width[c] = std::max(width[c], cells[r][c].size());
        }
    }
    auto line = [&](auto cellOf) {
        std::string out;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const std::string cell(cellOf(shown[i]));
            out += cell;
            if (i + 1 < shown.size()) {
                out += std::string(width[shown[i]] - cell.size() + 2, ' ');
            }
        }
        return out + '\n';
    };
    std::string out = line([&](std::size_t c) { return columns[c].header; });
    for (const Row& row : cells) {
        out += line([&](std::size_t c) { return row[c]; });
    }
    return out;
}

std::string Render(const std::vector<Column>& columns, const std::vector<Row>& rows,
                   ReportFormat format, char separator) {
    switch (format) {
    case ReportFormat::Text:
        return Text(columns, rows, separator);
    case ReportFormat::Csv:
        return Csv(columns, rows);
    case ReportFormat::Json:
        return Json(columns, rows);
    }
    return {};
}

// A damage in the damage table's fields: outcome, text, field, fault, and the text table's cell.
struct DamageCells {
    std::string outcome, text, field, fault, shown;
};

DamageCells Cells(const DamageValue& figure, char separator) {
    const DamageValue value =
        std::holds_alternative<double>(figure) ? Checked(std::get<double>(figure)) : figure;
    if (const double* number = std::get_if<double>(&value)) {
        const std::string text = FigureText(*number, separator);
        return {"ShowText", text, {}, {}, text};
    }
    const DamageFailure& failure = std::get<DamageFailure>(value);
    if (const BadInput* bad = std::get_if<BadInput>(&failure)) {
        return {"BadInput", {}, std::string(FieldName(bad->field)), {}, FailureText(failure)};
    }
    return {"ArithmeticFault",
            {},
            {},
            std::string(FaultName(std::get<ArithmeticFault>(failure))),
            FailureText(failure)};
}

// A gain or a percent: the number, or the failure as the text table shows one.
std::string Shown(const std::optional<DamageValue>& value, char separator) {
    return value ? Cells(*value, separator).shown : std::string();
}

} // namespace

std::string WriteGainTable(const std::vector<GainRow>& rows, ReportFormat format, char separator) {
    const std::vector<Column> columns{{"spell", "Spell"},
                                      {"outcome", ""},
                                      {"text", ""},
                                      {"field", ""},
                                      {"fault", ""},
                                      {"", "Damage", true},
                                      {"gain", "Gain", true},
                                      {"percent", "Percent", true},
                                      {"to_best", "To best", true}};
    std::vector<Row> cells;
    for (const GainRow& row : rows) {
        const DamageCells damage = Cells(row.gain.damage, separator);
        cells.push_back({std::string(row.gain.spell->name), damage.outcome, damage.text,
                         damage.field, damage.fault, damage.shown, Shown(row.gain.gain, separator),
                         Shown(row.gain.percent, separator),
                         row.toBest ? std::to_string(*row.toBest) : "never"});
    }
    return Render(columns, cells, format, separator);
}

// The failure fields describe the gain: a damage at either end that failed, or the difference.
std::string WriteValuesTable(const std::vector<Gain>& rows, ReportFormat format, char separator) {
    const std::vector<Column> columns{{"spell", "Spell"},     {"input", "Input"},
                                      {"step", "Step", true}, {"outcome", ""},
                                      {"gain", "Gain", true}, {"percent", "Percent", true},
                                      {"field", ""},          {"fault", ""}};
    std::vector<Row> cells;
    for (const Gain& row : rows) {
        const DamageCells gain = Cells(row.gain, separator);
        cells.push_back({std::string(row.spell->name), std::string(NameOf(row.input).name),
                         FigureText(row.step, separator), gain.outcome, gain.shown,
                         Shown(row.percent, separator), gain.field, gain.fault});
    }
    return Render(columns, cells, format, separator);
}

std::string WriteSweepTable(const Sweep& sweep, ReportFormat format, char separator) {
    const std::vector<Column> columns{
        {"spell", "Spell"}, {"input", "Input"},  {"value", "Value", true},
        {"outcome", ""},    {"text", ""},        {"field", ""},
        {"fault", ""},      {"", "Damage", true}};
    const std::string input(NameOf(sweep.input).name);
    std::vector<std::string> values;
    for (double value : sweep.values) {
        values.push_back(FigureText(value, separator));
    }
    std::vector<Row> cells;
    cells.reserve(sweep.damages.size());
    for (std::size_t s = 0; s < sweep.spells.size(); ++s) {
        const std::string spell(sweep.spells[s]->name);
        for (std::size_t v = 0; v < sweep.values.size(); ++v) {
            DamageCells damage = Cells(sweep.damage(s, v), separator);
            cells.push_back({spell, input, values[v], std::move(damage.outcome),
                             std::move(damage.text), std::move(damage.field),
                             std::move(damage.fault), std::move(damage.shown)});
        }
    }
    return Render(columns, cells, format, separator);
}

std::string WriteCompareTable(const std::vector<CompareRow>& rows, ReportFormat format,
                              char separator) {
    const std::vector<Column> columns{{"spell", "Spell"},
                                      {"outcome", ""},
                                      {"text", ""},
                                      {"field", ""},
                                      {"fault", ""},
                                      {"", "Damage", true},
                                      {"damage_b", "Damage B", true},
                                      {"difference", "Difference", true},
                                      {"difference_percent", "Percent", true}};
    std::vector<Row> cells;
    for (const CompareRow& row : rows) {
        const DamageCells a = Cells(row.a, separator);
        const Change change = ChangeBetween(row.a, row.b);
        cells.push_back({std::string(row.spell->name), a.outcome, a.text, a.field, a.fault, a.shown,
                         Cells(row.b, separator).shown, Cells(change.difference, separator).shown,
                         Shown(change.percent, separator)});
    }
    return Render(columns, cells, format, separator);
}

} // namespace runetally
