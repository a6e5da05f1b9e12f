#include "spellorder.h"

#include "ranking.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace runetally {
namespace {

// What a column sorts by: a text or a number, or nothing, which sorts last either way.
struct SortKey {
    bool missing = true;
    std::string_view text;
    double number = 0;
};

SortKey ByText(std::string_view text) {
    return {text.empty(), text, 0};
}

SortKey ByNumber(const double* number) {
    return {number == nullptr, {}, number ? *number : 0};
}

SortKey ByNumber(const std::optional<DamageValue>& value) {
    return ByNumber(value ? std::get_if<double>(&*value) : nullptr);
}

SortKey KeyOf(const GainRow& row, OrderColumn column) {
    switch (column) {
    case OrderColumn::Spell:
        return ByText(row.gain.spell->name);
    case OrderColumn::Element:
        return ByText(ElementName(*row.gain.spell));
    case OrderColumn::Damage:
        return ByNumber(std::get_if<double>(&row.gain.damage));
    case OrderColumn::PercentOfBest:
        return ByNumber(row.percentOfBest ? &*row.percentOfBest : nullptr);
    case OrderColumn::Gain:
        return ByNumber(std::get_if<double>(&row.gain.gain));
    case OrderColumn::Percent:
        return ByNumber(row.gain.percent);
    case OrderColumn::ToBest:
        return {!row.toBest, {}, row.toBest ? double(*row.toBest) : 0};
    case OrderColumn::DamageB:
        return ByNumber(row.damageB);
    case OrderColumn::Difference:
        return ByNumber(row.change ? std::optional(row.change->difference) : std::nullopt);
    case OrderColumn::DifferencePercent:
        return ByNumber(row.change ? row.change->percent : std::nullopt);
    }
    return {};
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::optional<OrderColumn> FindOrderColumn(std::string_view name) {
    for (std::size_t i = 0; i < kOrderColumnNames.size(); ++i) {
        const std::string_view known = kOrderColumnNames[i];
        if (known.size() == name.size() &&
            std::equal(name.begin(), name.end(), known.begin(),
                       [](char x, char y) { return Lower(x) == y; })) {
            return static_cast<OrderColumn>(i);
        }
    }
    return std::nullopt;
}

std::string_view ElementName(const SpellFormula& spell) {
    // A fixed amount over an input, and a stat alone, use no element's power.
    if (spell.kind == FormulaKind::FixedOverInput || spell.kind == FormulaKind::StatOnly) {
        return {};
    }
    switch (spell.element) {
    case Element::Light:
        return "Light";
    case Element::Earth:
        return "Earth";
    case Element::Fire:
        return "Fire";
    case Element::Air:
        return "Air";
    case Element::Water:
        return "Water";
    case Element::Dark:
        return "Dark";
    }
    return {};
}

std::vector<std::size_t> SortedOrder(const std::vector<GainRow>& rows, OrderColumn column,
                                     bool descending) {
    std::vector<SortKey> keys;
    keys.reserve(rows.size());
    for (const GainRow& row : rows) {
        keys.push_back(KeyOf(row, column));
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const SortKey& x = keys[a];
        const SortKey& y = keys[b];
        if (x.missing || y.missing) {
            return !x.missing && y.missing;
        }
        if (x.text != y.text) {
            return descending ? x.text > y.text : x.text < y.text;
        }
        return descending ? x.number > y.number : x.number < y.number;
    });
    return order;
}

void SetPercentOfBest(std::vector<GainRow>& rows, const ParsedInputs& inputs) {
    const std::vector<RankedSpell> ranked = RankSpells(inputs);
    for (GainRow& row : rows) {
        for (const RankedSpell& spell : ranked) {
            if (spell.spell == row.gain.spell) {
                row.percentOfBest = spell.percentOfBest;
            }
        }
    }
}

} // namespace runetally
