#pragma once

#include "damage.h"
#include "reportformat.h"
#include "spellinputs.h"

#include <string>
#include <variant>
#include <vector>

namespace runetally {

// What the report is asked for. The inputs' spellName is not used: each row sets its own.
struct ReportOptions {
    SpellInputs inputs;
    std::vector<std::string> spells; // empty: every spell; otherwise only these, in table order
    char decimalSeparator = '.';
    bool sortByDamage = false;
    bool keepOrder = false; // the spells, known names, in the order given instead
};

// One spell's line of the report: the text of its damage, or why there is none.
struct SpellRow {
    std::string spell;
    std::variant<std::string, DamageFailure> damage;
};

// The damage of many spells for one set of inputs, computed once and written in any format.
class SpellReport {
public:
    explicit SpellReport(const ReportOptions& options);

    const std::vector<SpellRow>& rows() const { return rows_; }

    std::string render(ReportFormat format) const;
    std::string toText() const;
    std::string toCsv() const;
    std::string toJson() const;

private:
    char separator_;
    std::vector<SpellRow> rows_;
};

} // namespace runetally
