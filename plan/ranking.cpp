#include "ranking.h"

#include <cmath>
#include <numeric>

namespace runetally {

std::vector<int> RankOrder(const std::vector<DamageValue>& damages) {
    std::vector<int> order(damages.size());
    std::iota(order.begin(), order.end(), 0);
    SortHighestFirst(order, [&](int place) -> const DamageValue& {
        return damages[static_cast<std::size_t>(place)];
    });
    return order;
}

std::vector<RankedSpell> RankSpells(const ParsedInputs& inputs) {
    std::vector<DamageValue> damages;
    damages.reserve(SpellTable.size());
    for (const SpellFormula& spell : SpellTable) {
        damages.push_back(EvaluateSpell(spell, inputs));
    }
    const std::vector<int> order = RankOrder(damages);
    const double* best = std::get_if<double>(&damages[static_cast<std::size_t>(order.front())]);

    std::vector<RankedSpell> ranked;
    ranked.reserve(order.size());
    for (int index : order) {
        const auto i = static_cast<std::size_t>(index);
        RankedSpell row{&SpellTable[i], damages[i], std::nullopt};
        if (const double* damage = std::get_if<double>(&damages[i]); damage && best && *best != 0) {
            const double percent = *damage / *best * 100;
            if (std::isfinite(percent)) {
                row.percentOfBest = percent;
            }
        }
        ranked.push_back(std::move(row));
    }
    return ranked;
}

} // namespace runetally
