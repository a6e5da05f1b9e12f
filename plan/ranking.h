#pragma once

#include "damage.h"
#include "spelltable.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace runetally {

struct RankedSpell {
    const SpellFormula* spell = nullptr;
    DamageValue damage;
    // damage ÷ best × 100; empty for a failure, when no spell succeeds, when the best is 0 or
    // when the division overflows.
    std::optional<double> percentOfBest;
};

// Sorts rows by their damage, `damageOf(row)`: highest first, failures last; rows with equal
// damages, and failures, keep their order. Every table that ranks spells ranks them so.
template <class Row, class DamageOf>
void SortHighestFirst(std::vector<Row>& rows, DamageOf damageOf) {
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const double* x = std::get_if<double>(&damageOf(a));
        const double* y = std::get_if<double>(&damageOf(b));
        return x && (!y || *x > *y);
    });
}

// Every spell's damage, highest first; equal damages keep the table's order, and failures come
// last in the table's order.
std::vector<RankedSpell> RankSpells(const ParsedInputs& inputs);

// The same order for damages already computed, one per row of SpellTable: the row indices.
std::vector<int> RankOrder(const std::vector<DamageValue>& damages);

} // namespace runetally
