#include "spelltable.h"

#include <algorithm>

namespace runetally {
namespace {

constexpr SpellFormula oneStat(std::string_view name, Field stat, int a, std::optional<int> b,
                               Element e) {
    return {name, FormulaKind::OneStat, stat, a, b, e};
}

constexpr SpellFormula oneStatScaled(std::string_view name, Field stat, int a, std::optional<int> b,
                                     Element e) {
    return {.name = name,
            .kind = FormulaKind::OneStat,
            .stat = stat,
            .divisor = a,
            .bonus = b,
            .element = e,
            .tailScale = true};
}

constexpr SpellFormula twoStats(std::string_view name, int a, int b, Element e) {
    return {name, FormulaKind::TwoStats, Field::varInt, a, b, e};
}

constexpr SpellFormula fixed(std::string_view name, int k, Field x) {
    return {.name = name, .kind = FormulaKind::FixedOverInput, .fixedValue = k, .overInput = x};
}

constexpr SpellFormula statOnly(std::string_view name, Field stat, int a, int b) {
    return {.name = name, .kind = FormulaKind::StatOnly, .stat = stat, .divisor = a, .bonus = b};
}

constexpr SpellFormula levelScaled(std::string_view name, Field stat, int a, int b, Element e) {
    return {name, FormulaKind::LevelScaled, stat, a, b, e};
}

} // namespace

constexpr std::array<SpellFormula, kSpellCount> SpellTable = {{
    oneStat("Avalanche", Field::varInt, 8, 145, Element::Water),
    oneStat("Blizzard", Field::varInt, 8, 98, Element::Water),
    oneStat("Boulders", Field::varWis, 9, 120, Element::Earth),
    twoStats("Call Lightning", 30, 39, Element::Air),
    twoStats("Chain Lightning", 28, 44, Element::Air),
    oneStat("Drain Life", Field::varInt, 30, 27, Element::Dark),
    twoStats("Dust Devil", 42, 14, Element::Air),
    oneStatScaled("Earthquake", Field::varWis, 11, 87, Element::Earth),
    fixed("Electric Shield", 1000, Field::powerAir),
    oneStat("Fire Bolt", Field::varInt, 16, 54, Element::Fire),
    oneStat("Fire Dart", Field::varInt, 23, 15, Element::Fire),
    fixed("Fire Shield", 1200, Field::varResist),
    oneStat("Fireball", Field::varInt, 14, 63, Element::Fire),
    oneStat("Firestorm", Field::varInt, 8, 157, Element::Fire),
    oneStatScaled("Flame Wave", Field::varInt, 12, 88, Element::Fire),
    oneStat("Flaming Arrow", Field::varInt, 19, 30, Element::Fire),
    oneStat("Flare", Field::varInt, 9, 94, Element::Fire),
    oneStat("Freeze", Field::varInt, 16, 31, Element::Water),
    oneStat("Glacier", Field::varInt, 10, 100, Element::Water),
    oneStat("Greater Drain", Field::varInt, 24, 44, Element::Dark),
    twoStats("Hurricane", 14, 155, Element::Air),
    oneStat("Ice Ball", Field::varInt, 11, 84, Element::Water),
    oneStat("Ice Bolt", Field::varInt, 15, 51, Element::Water),
    oneStat("Ice Shard", Field::varInt, 20, 24, Element::Water),
    fixed("Ice Shield", 2600, Field::varResist),
    oneStat("Ice Storm", Field::varInt, 9, 117, Element::Water),
    oneStat("Inferno", Field::varInt, 8, 127, Element::Fire),
    oneStat("Lesser Drain", Field::varInt, 38, 17, Element::Dark),
    twoStats("Lightning Bolt", 36, 25, Element::Air),
    statOnly("Mana Burst", Field::varInt, 13, 47),
    oneStat("Meteor", Field::varInt, 7, 204, Element::Fire),
    oneStat("Poison", Field::varInt, 21, std::nullopt, Element::Water),
    oneStat("Poison Arrow", Field::varInt, 17, 27, Element::Water),
    oneStat("Rain of Fire", Field::varInt, 10, 113, Element::Fire),
    oneStat("Shatter", Field::varWis, 17, 29, Element::Earth),
    oneStat("Soulsteal", Field::varInt, 18, 70, Element::Dark),
    oneStat("Stone Shard", Field::varWis, 22, 16, Element::Earth),
    twoStats("Tornado", 16, 139, Element::Air),
    oneStat("Tsunami", Field::varInt, 7, 126, Element::Water),
    levelScaled("Turn Undead", Field::varWis, 16, 30, Element::Light),
    twoStats("Vortex of Air", 24, 56, Element::Air),
}};

namespace {
constexpr bool byName(const SpellFormula& a, const SpellFormula& b) {
    return a.name < b.name;
}
} // namespace

// The list shows the spells in the order of their names, so a lookup can halve the table.
static_assert(std::is_sorted(SpellTable.begin(), SpellTable.end(), byName));

const SpellFormula* FindSpell(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    // The first letter settles most steps without a full comparison.
    const auto before = [](const SpellFormula& row, std::string_view n) {
        return row.name[0] != n[0] ? row.name[0] < n[0] : row.name < n;
    };
    const auto row = std::lower_bound(SpellTable.begin(), SpellTable.end(), name, before);
    return row != SpellTable.end() && row->name == name ? &*row : nullptr;
}

} // namespace runetally
