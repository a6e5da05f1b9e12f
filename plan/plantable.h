#pragma once

#include "gains.h"
#include "reportformat.h"
#include "sweep.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runetally {

// One row of the gain table: a spell's damage, its gain and how far it is from being best; and
// while comparing, B's damage and how far it lies from A's.
struct GainRow {
    Gain gain;
    std::optional<int> toBest = std::nullopt;           // empty: never
    std::optional<double> percentOfBest = std::nullopt; // empty: no best to compare with
    std::optional<DamageValue> damageB = std::nullopt;
    std::optional<Change> change = std::nullopt; // from the damage to B's
};

// The tables of runetally-table's --gain, --values and --sweep, as the tool prints them and the
// planner copies them. Numbers are written as the result box writes them. With `compared`, the
// gain table also has B's damage, the difference and its percent, as the compare table does.
std::string WriteGainTable(const std::vector<GainRow>& rows, ReportFormat format, char separator,
                           bool compared = false);
std::string WriteValuesTable(const std::vector<Gain>& rows, ReportFormat format, char separator);
std::string WriteSweepTable(const Sweep& sweep, ReportFormat format, char separator);

// Takes a table a piece at a time as it is written; false when nothing more is wanted (the
// reader has gone), and the writing stops.
using TableSink = std::function<bool(std::string_view)>;

// A damage of a sweep: of its s-th spell at its v-th value.
using SweepDamage = std::function<DamageValue(std::size_t s, std::size_t v)>;

// The sweep's table, written to `out` as its rows are made, so that no more than a row is kept
// whatever the count: the same text as the Sweep's above. The aligned text table reads the
// damages twice, first for the widths of its columns.
void WriteSweepTable(Field input, const std::vector<double>& values,
                     const std::vector<const SpellFormula*>& spells, const SweepDamage& damage,
                     ReportFormat format, char separator, const TableSink& out);

// One spell's damage for two characters, A and B.
struct CompareRow {
    const SpellFormula* spell = nullptr;
    DamageValue a;
    DamageValue b;
};

// The damage table with B's damage, B − A and (B − A) ÷ A × 100 beside A's. A failure on either
// side shows in the difference, A's first; the percent is empty when A is 0.
std::string WriteCompareTable(const std::vector<CompareRow>& rows, ReportFormat format,
                              char separator);

} // namespace runetally
