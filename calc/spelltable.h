#pragma once

#include "spellinputs.h"

#include <array>
#include <optional>
#include <string_view>

namespace runetally {

enum class FormulaKind { OneStat, TwoStats, FixedOverInput, StatOnly, LevelScaled };

// One spell's formula; which fields matter depends on the kind.
struct SpellFormula {
    std::string_view name;
    FormulaKind kind;
    Field stat = Field::varInt; // OneStat, StatOnly, LevelScaled
    int divisor = 1;
    std::optional<int> bonus = std::nullopt; // none: the addition is not made at all
    Element element = Element::Light;
    int fixedValue = 0;                 // FixedOverInput: k
    Field overInput = Field::varResist; // FixedOverInput: what k is divided by
    bool tailScale = false;             // OneStat: then times 15, then divided by 20
};

inline constexpr int kSpellCount = 41;

// Every spell the game knows, in the order the spell list shows them.
extern const std::array<SpellFormula, kSpellCount> SpellTable;

// The row whose name is identical to `name`, character for character.
const SpellFormula* FindSpell(std::string_view name);

} // namespace runetally
