#pragma once

#include "plantable.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace runetally {

// What a table of spells can be sorted by: the planner's columns, and runetally-table's --sort.
enum class OrderColumn {
    Spell,
    Element,
    Damage,
    PercentOfBest,
    Gain,
    Percent, // the gain in percent of the damage
    ToBest,
    DamageB,
    Difference,
    DifferencePercent
};

// The names runetally-table's --sort takes, in the order of OrderColumn.
inline constexpr std::array<std::string_view, 10> kOrderColumnNames = {
    "spell",   "element", "damage",   "percent_of_best", "gain",
    "percent", "to_best", "damage_b", "difference",      "difference_percent"};

// The column of that name, in any case.
std::optional<OrderColumn> FindOrderColumn(std::string_view name);

// The element whose power a spell uses, as the planner shows it; empty for a spell that uses none.
std::string_view ElementName(const SpellFormula& spell);

// The places of `rows` in the column's order, highest (or Z) first when descending: a row whose
// cell holds no number, or no text, comes last either way, and rows with equal cells keep their
// order. Damage descending is the order of SortHighestFirst.
std::vector<std::size_t> SortedOrder(const std::vector<GainRow>& rows, OrderColumn column,
                                     bool descending);

// Each row's damage in percent of the best of every spell at these inputs, as RankSpells works
// it out.
void SetPercentOfBest(std::vector<GainRow>& rows, const ParsedInputs& inputs);

} // namespace runetally
