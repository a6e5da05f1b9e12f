#include "plantable.h"

#include "figuretext.h"
#include "inputnames.h"
#include "numbers.h"
#include "spellorder.h"
#include "tabletext.h"

#include <algorithm>
#include <functional>
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

// Gives every row of a table in order to `take`, until it returns false. A table may be read
// twice, so rows are made as they are read rather than kept.
using Rows = std::function<void(const std::function<bool(const Row&)>& take)>;

Rows FromVector(const std::vector<Row>& rows) {
    return [&rows](const std::function<bool(const Row&)>& take) {
        for (const Row& row : rows) {
            if (!take(row)) {
                return;
            }
        }
    };
}

// Hands the text to the sink in pieces of some 64 KiB; once the sink wants no more, it is asked
// for nothing else.
class Output {
public:
    explicit Output(const TableSink& sink) : sink_(sink) {}

    Output& operator<<(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= kPiece) {
            flush();
        }
        return *this;
    }
    // Whether the sink still takes text.
    bool flush() {
        if (open_ && !buffer_.empty()) {
            open_ = sink_(buffer_);
        }
        buffer_.clear();
        return open_;
    }
    bool open() const { return open_; }

private:
    static constexpr std::size_t kPiece = std::size_t{1} << 16;

    const TableSink& sink_;
    std::string buffer_;
    bool open_ = true;
};

void Csv(const std::vector<Column>& columns, const Rows& rows, Output& out) {
    const std::vector<std::size_t> data = Data(columns);
    for (std::size_t c : data) {
        out << (c == data.front() ? "" : ",") << columns[c].key;
    }
    out << "\n";
    rows([&](const Row& row) {
        for (std::size_t c : data) {
            out << (c == data.front() ? "" : ",") << CsvField(row[c]);
        }
        out << "\n";
        return out.open();
    });
}

// One object a line, its keys in the columns' order, as the damage table writes them.
void Json(const std::vector<Column>& columns, const Rows& rows, Output& out) {
    const std::vector<std::size_t> data = Data(columns);
    bool any = false;
    out << "[";
    rows([&](const Row& row) {
        out << (any ? ",\n  {" : "\n  {");
        any = true;
        bool first = true;
        for (std::size_t c : data) {
            if (!row[c].empty()) {
                out << (first ? "" : ", ") << JsonString(columns[c].key) << ": "
                    << JsonString(row[c]);
                first = false;
            }
        }
        out << "}";
        return out.open();
    });
    out << (any ? "\n]\n" : "]\n");
}

// Columns two spaces apart; numbers line up on their decimal separator, other texts start at
// the column's left edge, as in the damage table. The widths come from a first reading of the
// rows, which keeps only the widths.
void Text(const std::vector<Column>& columns, const Rows& rows, char separator, Output& out) {
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
    // A number is padded on the left to the widest whole part: its width is that and its own
    // width from the separator on.
    std::vector<std::size_t> wholeWidth(columns.size()), fraction(columns.size()),
        plain(columns.size());
    rows([&](const Row& row) {
        for (std::size_t c : shown) {
            if (isNumber(c, row[c])) {
                wholeWidth[c] = std::max(wholeWidth[c], whole(row[c]));
                fraction[c] = std::max(fraction[c], row[c].size() - whole(row[c]));
            } else {
                plain[c] = std::max(plain[c], row[c].size());
            }
        }
        return true;
    });
    std::vector<std::size_t> width(columns.size());
    for (std::size_t c : shown) {
        width[c] = std::max({columns[c].header.size(), wholeWidth[c] + fraction[c], plain[c]});
    }
    auto line = [&](auto cellOf) {
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const std::string cell(cellOf(shown[i]));
            out << cell;
            if (i + 1 < shown.size()) {
                out << std::string(width[shown[i]] - cell.size() + 2, ' ');
            }
        }
        out << "\n";
    };
    line([&](std::size_t c) { return std::string(columns[c].header); });
    rows([&](const Row& row) {
        line([&](std::size_t c) {
            return isNumber(c, row[c]) ? std::string(wholeWidth[c] - whole(row[c]), ' ') + row[c]
                                       : row[c];
        });
        return out.open();
    });
}

void Render(const std::vector<Column>& columns, const Rows& rows, ReportFormat format,
            char separator, const TableSink& sink) {
    Output out(sink);
    switch (format) {
    case ReportFormat::Text:
        Text(columns, rows, separator, out);
        break;
    case ReportFormat::Csv:
        Csv(columns, rows, out);
        break;
    case ReportFormat::Json:
        Json(columns, rows, out);
        break;
    }
    out.flush();
}

std::string Render(const std::vector<Column>& columns, const std::vector<Row>& rows,
                   ReportFormat format, char separator) {
    std::string text;
    Render(columns, FromVector(rows), format, separator, [&](std::string_view piece) {
        text += piece;
        return true;
    });
    return text;
}

// A damage in the damage table's fields: outcome, text, field, fault, and the text table's cell.
struct DamageCells {
    std::string outcome, text, field, fault, shown;
};

DamageCells Cells(const DamageValue& figure, char separator,
                  const std::optional<Decimal>& written = std::nullopt) {
    const DamageValue value =
        std::holds_alternative<double>(figure) ? Checked(std::get<double>(figure)) : figure;
    if (const double* number = std::get_if<double>(&value)) {
        const std::string text = FigureText(*number, written, separator);
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
std::string Shown(const std::optional<DamageValue>& value, char separator,
                  const std::optional<Decimal>& written = std::nullopt) {
    return value ? Cells(*value, separator, written).shown : std::string();
}

} // namespace

std::string WriteGainTable(const std::vector<GainRow>& rows, ReportFormat format, char separator,
                           bool compared) {
    // The planner's table as it stands, so that its copy carries every column it shows.
    std::vector<Column> columns{{"spell", "Spell"},
                                {"element", "Element"},
                                {"outcome", ""},
                                {"text", ""},
                                {"field", ""},
                                {"fault", ""},
                                {"", "Damage", true},
                                {"percent_of_best", "% of best", true},
                                {"gain", "Gain", true},
                                {"percent", "Percent", true},
                                {"to_best", "To best", true}};
    if (compared) {
        columns.insert(columns.end(), {{"damage_b", "Damage B", true},
                                       {"difference", "Difference", true},
                                       {"difference_percent", "Difference percent", true}});
    }
    std::vector<Row> cells;
    for (const GainRow& row : rows) {
        const DamageCells damage = Cells(row.gain.damage, separator);
        cells.push_back({std::string(row.gain.spell->name),
                         std::string(ElementName(*row.gain.spell)), damage.outcome, damage.text,
                         damage.field, damage.fault, damage.shown,
                         row.percentOfBest ? ShareOfBestText(*row.percentOfBest, separator) : "",
                         Shown(row.gain.gain, separator, row.gain.gainWritten),
                         Shown(row.gain.percent, separator, row.gain.percentWritten),
                         row.toBest ? std::to_string(*row.toBest) : "never"});
        if (compared && row.damageB) {
            const Change change =
                row.change ? *row.change : ChangeBetween(row.gain.damage, *row.damageB);
            cells.back().insert(
                cells.back().end(),
                {Shown(row.damageB, separator),
                 Cells(change.difference, separator, change.differenceWritten).shown,
                 Shown(change.percent, separator, change.percentWritten)});
        } else if (compared) {
            cells.back().resize(columns.size());
        }
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
        const DamageCells gain = Cells(row.gain, separator, row.gainWritten);
        cells.push_back({std::string(row.spell->name), std::string(NameOf(row.input).name),
                         FigureText(row.step, separator), gain.outcome, gain.shown,
                         Shown(row.percent, separator, row.percentWritten), gain.field,
                         gain.fault});
    }
    return Render(columns, cells, format, separator);
}

std::string WriteSweepTable(const Sweep& sweep, ReportFormat format, char separator) {
    std::string text;
    const SweepDamage damage = [&sweep](std::size_t s, std::size_t v) {
        return sweep.damage(s, v);
    };
    WriteSweepTable(sweep.input, sweep.values, sweep.spells, damage, format, separator,
                    [&](std::string_view piece) {
                        text += piece;
                        return true;
                    });
    return text;
}

void WriteSweepTable(Field input, const std::vector<double>& values,
                     const std::vector<const SpellFormula*>& spells, const SweepDamage& damage,
                     ReportFormat format, char separator, const TableSink& out) {
    const std::vector<Column> columns{
        {"spell", "Spell"}, {"input", "Input"},  {"value", "Value", true},
        {"outcome", ""},    {"text", ""},        {"field", ""},
        {"fault", ""},      {"", "Damage", true}};
    const std::string name(NameOf(input).name);
    std::vector<std::string> valueTexts;
    valueTexts.reserve(values.size());
    for (double value : values) {
        valueTexts.push_back(FigureText(value, separator));
    }
    const Rows rows = [&](const std::function<bool(const Row&)>& take) {
        Row row(columns.size());
        for (std::size_t s = 0; s < spells.size(); ++s) {
            row[0] = spells[s]->name;
            row[1] = name;
            for (std::size_t v = 0; v < values.size(); ++v) {
                DamageCells cells = Cells(damage(s, v), separator);
                row[2] = valueTexts[v];
                row[3] = std::move(cells.outcome);
                row[4] = std::move(cells.text);
                row[5] = std::move(cells.field);
                row[6] = std::move(cells.fault);
                row[7] = std::move(cells.shown);
                if (!take(row)) {
                    return;
                }
            }
        }
    };
    Render(columns, rows, format, separator, out);
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
                         Cells(row.b, separator).shown,
                         Cells(change.difference, separator, change.differenceWritten).shown,
                         Shown(change.percent, separator, change.percentWritten)});
    }
    return Render(columns, cells, format, separator);
}

} // namespace runetally
