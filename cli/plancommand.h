#pragma once

#include "plantable.h"
#include "reportformat.h"
#include "spellinputs.h"
#include "spellorder.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace runetally {

// runetally-table's planning questions, as given on the command line; at most one of gain,
// values and sweep.
struct PlanRequest {
    SpellInputs inputs;
    std::vector<std::string> spells; // known names, as given
    char decimalSeparator = '.';
    bool sortByDamage = false;             // --sort alone
    std::optional<OrderColumn> sortColumn; // --sort COLUMN
    bool ascending = false;
    std::optional<ParsedInputs> compared; // B's, with --compare
    ReportFormat format = ReportFormat::Text;
    std::optional<std::string> gain; // the input's name
    std::optional<std::string> step; // a number, with --gain or --values
    bool values = false;
    std::optional<std::string> sweep; // "INPUT=FROM:TO:STEP"
};

struct PlanUsageError {
    std::string message; // one line, not yet made fit for a terminal
};

bool AsksToPlan(const PlanRequest& request);

// Writes the table that answers the request to `out`, as its rows are made; or gives why the
// request cannot be answered, before anything is written.
std::optional<PlanUsageError> RunPlan(const PlanRequest& request, const TableSink& out);

} // namespace runetally
